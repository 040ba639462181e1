#include "sandbox/engine/ResultSet.h"

#include <limits>
#include <optional>
#include <sqlite3.h>

#include "sandbox/engine/Messages.h"
#include "sandbox/sql/Types.h"
#include "sandbox/tds/Wire.h"

namespace sandbox::engine {

namespace {

constexpr uint32_t kMaxExpressionLength = 1024 * 1024;

// What the values of an untyped column need, from narrowest to widest.
enum class Seen { Nothing, Int, BigInt, Real, Text, Blob };

struct Measure {
    Seen seen = Seen::Nothing;
    size_t maxBytes = 0;
    bool numbers = false;
};

void Observe(Measure& m, sqlite3_stmt* stmt, int i) {
    Seen s = Seen::Nothing;
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER: {
            const int64_t v = sqlite3_column_int64(stmt, i);
            s = v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max() ? Seen::BigInt : Seen::Int;
            break;
        }
        case SQLITE_FLOAT: s = Seen::Real; break;
        case SQLITE_TEXT: s = Seen::Text; break;
        case SQLITE_BLOB: s = Seen::Blob; break;
        default: return;
    }
    if (s > m.seen) m.seen = s;
    if (s == Seen::Int || s == Seen::BigInt || s == Seen::Real) m.numbers = true;
    // Only text and blobs: asking a number for its bytes converts it in place.
    if (s != Seen::Text && s != Seen::Blob) return;
    const size_t n = static_cast<size_t>(sqlite3_column_bytes(stmt, i));
    if (n > m.maxBytes) m.maxBytes = n;
}

sql::ColumnType FromMeasure(const Measure& m) {
    sql::ColumnType t;
    const uint32_t len = static_cast<uint32_t>(m.maxBytes < 1 ? 1 : (m.maxBytes > kMaxExpressionLength ? kMaxExpressionLength : m.maxBytes));
    switch (m.seen) {
        case Seen::Nothing:
        case Seen::Int: t.kind = sql::Kind::Int; break;
        case Seen::BigInt: t.kind = sql::Kind::BigInt; break;
        case Seen::Real: t.kind = sql::Kind::Float; break;
        // Numbers mixed into a text column are shown as text: leave room for their digits.
        case Seen::Text: t.kind = sql::Kind::VarChar, t.length = m.numbers && len < 24 ? 24 : len; break;
        case Seen::Blob: t.kind = sql::Kind::VarBinary, t.length = len; break;
    }
    return t;
}

bool NotNullColumn(sqlite3* db, sqlite3_stmt* stmt, int i) {
    const char* table = sqlite3_column_table_name(stmt, i);
    const char* column = sqlite3_column_origin_name(stmt, i);
    const char* schema = sqlite3_column_database_name(stmt, i);
    if (!table || !column) return false;
    int notNull = 0;
    if (sqlite3_table_column_metadata(db, schema, table, column, nullptr, nullptr, &notNull, nullptr, nullptr) != SQLITE_OK)
        return false;
    return notNull != 0;
}

}  // namespace

std::vector<ColumnInfo> DescribeColumns(sqlite3* db, sqlite3_stmt* stmt, int& rc, Reply& reply,
                                        const std::vector<ColumnHint>& hints) {
    const int n = sqlite3_column_count(stmt);
    std::vector<ColumnInfo> cols(static_cast<size_t>(n));
    std::vector<std::optional<sql::ColumnType>> declared(static_cast<size_t>(n));
    bool untyped = false;
    for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        cols[static_cast<size_t>(i)].name = name ? name : "";
        if (const char* decl = sqlite3_column_decltype(stmt, i)) declared[static_cast<size_t>(i)] = sql::TypeFromDeclared(decl);
        auto& d = declared[static_cast<size_t>(i)];
        if (static_cast<size_t>(i) < hints.size()) {
            const ColumnHint& h = hints[static_cast<size_t>(i)];
            if (h.type) {
                d = h.type;
                d->nullable = true;
            }
            if (!sqlite3_column_origin_name(stmt, i) && cols[static_cast<size_t>(i)].name == h.expressionText)
                cols[static_cast<size_t>(i)].name.clear();
        }
        if (!d) {
            untyped = true;
        } else if (d->kind == sql::Kind::Bit) {
            // A bit that can be NULL needs the nullable bit code; ASE's own are NOT NULL.
            d->nullable = !NotNullColumn(db, stmt, i);
        }
    }
    std::vector<Measure> measures(static_cast<size_t>(n));
    if (untyped && rc == SQLITE_ROW) {
        if (sqlite3_stmt_readonly(stmt)) {
            int64_t rows = 0;
            while (rc == SQLITE_ROW) {
                for (int i = 0; i < n; ++i)
                    if (!declared[static_cast<size_t>(i)]) Observe(measures[static_cast<size_t>(i)], stmt, i);
                if (++rows % 256 == 0) reply.ThrowIfCancelled();
                rc = sqlite3_step(stmt);
            }
            if (rc != SQLITE_DONE) throw FromSqlite(rc, sqlite3_errmsg(db));
            sqlite3_reset(stmt);
            rc = sqlite3_step(stmt);
        } else {
            for (int i = 0; i < n; ++i)
                if (!declared[static_cast<size_t>(i)]) {
                    Observe(measures[static_cast<size_t>(i)], stmt, i);
                    auto& m = measures[static_cast<size_t>(i)];
                    if (m.maxBytes < 255) m.maxBytes = 255;
                }
        }
    }
    for (int i = 0; i < n; ++i) {
        auto& c = cols[static_cast<size_t>(i)];
        c.type = declared[static_cast<size_t>(i)] ? *declared[static_cast<size_t>(i)] : FromMeasure(measures[static_cast<size_t>(i)]);
    }
    return cols;
}

int64_t StreamRows(sqlite3* db, sqlite3_stmt* stmt, int rc, Reply& reply, const tds::EncodeContext& ctx, int64_t limit,
                   const std::vector<ColumnHint>& hints) {
    const std::vector<ColumnInfo> cols = DescribeColumns(db, stmt, rc, reply, hints);
    reply.RowFormat(cols, ctx);
    int64_t rows = 0;
    while (rc == SQLITE_ROW) {
        if (limit > 0 && rows >= limit) break;
        const size_t mark = reply.Mark();
        tds::Buffer& b = reply.Token();
        tds::PutU8(b, tds::kTokRow);
        try {
            for (size_t i = 0; i < cols.size(); ++i)
                tds::PutValue(b, cols[i].type, sql::ValueView::FromColumn(stmt, static_cast<int>(i)), ctx);
        } catch (...) {
            reply.CutTo(mark);
            throw;
        }
        ++rows;
        reply.Checkpoint();
        if (reply.Cancelled()) throw Cancelled{};
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw FromSqlite(rc, sqlite3_errmsg(db));
    return rows;
}

}  // namespace sandbox::engine
