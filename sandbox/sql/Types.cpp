#include "sandbox/sql/Types.h"

#include <cctype>
#include <string>

namespace sandbox::sql {

namespace {

std::string Normalize(std::string_view s) {
    std::string out;
    bool space = false;
    for (char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isspace(u)) {
            space = !out.empty();
            continue;
        }
        if (space && c != '(' && c != ')' && c != ',' && !out.empty() && out.back() != '(' && out.back() != ',') out += ' ';
        space = false;
        out += static_cast<char>(std::tolower(u));
    }
    return out;
}

}  // namespace

std::optional<ColumnType> TypeFromDeclared(std::string_view declared) {
    const std::string d = Normalize(declared);
    std::string name = d;
    int args[2] = {-1, -1};
    const size_t open = d.find('(');
    if (open != std::string::npos) {
        const size_t close = d.find(')', open);
        if (close == std::string::npos) return std::nullopt;
        name = d.substr(0, open);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        const std::string inner = d.substr(open + 1, close - open - 1);
        const size_t comma = inner.find(',');
        try {
            args[0] = std::stoi(inner.substr(0, comma));
            if (comma != std::string::npos) args[1] = std::stoi(inner.substr(comma + 1));
        } catch (...) {
            return std::nullopt;
        }
        if (args[0] < 0 || (comma != std::string::npos && args[1] < 0)) return std::nullopt;
    }
    ColumnType t;
    auto sized = [&](Kind k, int unsizedLength) {
        t.kind = k;
        const int n = args[0] < 0 ? unsizedLength : args[0];
        t.length = static_cast<uint32_t>(n < 1 ? 1 : (n > static_cast<int>(kMaxCharLength) ? kMaxCharLength : n));
        return t;
    };
    if (name == "char" || name == "character" || name == "nchar") return sized(Kind::Char, 1);
    if (name == "varchar" || name == "character varying" || name == "nvarchar" || name == "sysname" ||
        name == "char varying")
        return sized(Kind::VarChar, name == "sysname" ? 30 : 255);
    if (name == "binary") return sized(Kind::Binary, 1);
    if (name == "varbinary") return sized(Kind::VarBinary, 255);
    if (name == "text" || name == "ntext" || name == "clob") return t.kind = Kind::Text, t;
    if (name == "image" || name == "blob") return t.kind = Kind::Image, t;
    if (name == "tinyint") return t.kind = Kind::TinyInt, t;
    if (name == "smallint") return t.kind = Kind::SmallInt, t;
    if (name == "int" || name == "integer") return t.kind = Kind::Int, t;
    if (name == "bigint") return t.kind = Kind::BigInt, t;
    if (name == "real") return t.kind = Kind::Real, t;
    if (name == "float") {
        // ASE: float(p) with p below 16 is a real.
        t.kind = args[0] >= 1 && args[0] < 16 ? Kind::Real : Kind::Float;
        return t;
    }
    if (name == "double" || name == "double precision") return t.kind = Kind::Float, t;
    if (name == "bit") return t.kind = Kind::Bit, t;
    if (name == "datetime" || name == "date" || name == "time" || name == "timestamp") return t.kind = Kind::DateTime, t;
    if (name == "smalldatetime") return t.kind = Kind::SmallDateTime, t;
    if (name == "money") return t.kind = Kind::Money, t;
    if (name == "smallmoney") return t.kind = Kind::SmallMoney, t;
    if (name == "numeric" || name == "decimal" || name == "dec") {
        t.kind = name == "numeric" ? Kind::Numeric : Kind::Decimal;
        const int p = args[0] < 0 ? 18 : args[0];
        const int s = args[1] < 0 ? 0 : args[1];
        if (p < 1 || p > 38 || s > p) return std::nullopt;
        t.precision = static_cast<uint8_t>(p);
        t.scale = static_cast<uint8_t>(s);
        return t;
    }
    return std::nullopt;
}

std::string TypeName(Kind kind) {
    switch (kind) {
        case Kind::Char: return "CHAR";
        case Kind::VarChar: return "VARCHAR";
        case Kind::Binary: return "BINARY";
        case Kind::VarBinary: return "VARBINARY";
        case Kind::Text: return "TEXT";
        case Kind::Image: return "IMAGE";
        case Kind::TinyInt: return "TINYINT";
        case Kind::SmallInt: return "SMALLINT";
        case Kind::Int: return "INT";
        case Kind::BigInt: return "BIGINT";
        case Kind::Real: return "REAL";
        case Kind::Float: return "FLOAT";
        case Kind::Bit: return "BIT";
        case Kind::DateTime: return "DATETIME";
        case Kind::SmallDateTime: return "SMALLDATETIME";
        case Kind::Money: return "MONEY";
        case Kind::SmallMoney: return "SMALLMONEY";
        case Kind::Numeric: return "NUMERIC";
        case Kind::Decimal: return "DECIMAL";
    }
    return "?";
}

}  // namespace sandbox::sql
