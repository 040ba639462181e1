// The ASE data types the sandbox sends, and how a declared column type
// (SQLite keeps the text of the declaration) maps to one of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sandbox::sql {

enum class Kind {
    Char, VarChar, Binary, VarBinary, Text, Image,
    TinyInt, SmallInt, Int, BigInt, Real, Float, Bit,
    DateTime, SmallDateTime, Money, SmallMoney, Numeric, Decimal
};

struct ColumnType {
    Kind kind = Kind::VarChar;
    uint32_t length = 0;    // char/binary kinds: declared length
    uint8_t precision = 0;  // numeric/decimal
    uint8_t scale = 0;
    bool nullable = true;
};

// "varchar(20)", "NUMERIC(10, 2)", "int", "double precision", ...; nullopt for
// a name the sandbox does not map (such a column is typed by its values).
// Unsized char/binary are 1 long as in ASE; unsized varchar/varbinary 255.
std::optional<ColumnType> TypeFromDeclared(std::string_view declared);

// Upper-case ASE name for messages: "INT", "VARCHAR", ...
std::string TypeName(Kind kind);

constexpr uint32_t kMaxCharLength = 16384;  // longest char/varchar/binary declared length kept

}  // namespace sandbox::sql
