// One SQL value as SQLite holds it: a view into a statement's current row, or
// an owned copy (variables, parameters).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;
struct sqlite3_value;

namespace sandbox::sql {

enum class VType { Null, Int, Real, Text, Blob };

struct ValueView {
    VType type = VType::Null;
    int64_t i = 0;
    double d = 0;
    std::string_view bytes;  // Text and Blob

    static ValueView FromColumn(sqlite3_stmt* stmt, int column);
};

struct Value {
    VType type = VType::Null;
    int64_t i = 0;
    double d = 0;
    std::string bytes;

    static Value Int(int64_t v) { Value x; x.type = VType::Int; x.i = v; return x; }
    static Value Real(double v) { Value x; x.type = VType::Real; x.d = v; return x; }
    static Value Text(std::string v) { Value x; x.type = VType::Text; x.bytes = std::move(v); return x; }
    static Value Blob(std::string v) { Value x; x.type = VType::Blob; x.bytes = std::move(v); return x; }
    static Value From(const ValueView& v) {
        Value x;
        x.type = v.type, x.i = v.i, x.d = v.d, x.bytes = std::string(v.bytes);
        return x;
    }
    ValueView View() const { return ValueView{type, i, d, bytes}; }
    // The value as print shows it.
    std::string ToText() const;
};

void BindValue(sqlite3_stmt* stmt, int index, const Value& v);

}  // namespace sandbox::sql
