#include "sandbox/sql/Value.h"

#include <cstdio>
#include <sqlite3.h>

namespace sandbox::sql {

ValueView ValueView::FromColumn(sqlite3_stmt* stmt, int column) {
    ValueView v;
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER: v.type = VType::Int, v.i = sqlite3_column_int64(stmt, column); break;
        case SQLITE_FLOAT: v.type = VType::Real, v.d = sqlite3_column_double(stmt, column); break;
        case SQLITE_TEXT: {
            v.type = VType::Text;
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            v.bytes = std::string_view(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
            break;
        }
        case SQLITE_BLOB: {
            v.type = VType::Blob;
            const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, column));
            v.bytes = std::string_view(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
            break;
        }
        default: break;
    }
    return v;
}

std::string Value::ToText() const {
    char buf[64];
    switch (type) {
        case VType::Null: return "";
        case VType::Int: std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(i)); return buf;
        case VType::Real: std::snprintf(buf, sizeof buf, "%.15g", d); return buf;
        default: return bytes;
    }
}

void BindValue(sqlite3_stmt* stmt, int index, const Value& v) {
    switch (v.type) {
        case VType::Null: sqlite3_bind_null(stmt, index); break;
        case VType::Int: sqlite3_bind_int64(stmt, index, v.i); break;
        case VType::Real: sqlite3_bind_double(stmt, index, v.d); break;
        case VType::Text:
            sqlite3_bind_text64(stmt, index, v.bytes.data(), v.bytes.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        case VType::Blob: sqlite3_bind_blob64(stmt, index, v.bytes.data(), v.bytes.size(), SQLITE_TRANSIENT); break;
    }
}

}  // namespace sandbox::sql
