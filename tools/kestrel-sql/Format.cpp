#include "tools/kestrel-sql/Format.h"

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <vector>

#include "binding/Cstypes.h"
#include "components/SybConnect.h"
#include "components/SybConnect/ClientField.h"
#include "tools/kestrel-sql/Text.h"
#include "vcl/DB.h"

namespace KestrelSql {

using namespace Cstypes;

namespace {

TCell TextCell(std::string text) {
    TCell c;
    c.Null = false;
    c.Text = std::move(text);
    return c;
}

TCell NumberCell(std::string text, double number) {
    TCell c = TextCell(std::move(text));
    c.HasNumber = true;
    c.Number = number;
    return c;
}

std::string RealText(double v, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

// Rounded to the column's scale: the store keeps numerics as doubles.
std::string ScaledText(double v, int scale) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", scale, v);
    return buf;
}

template <typename T> T Read(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The numeric record: precision, scale, then sign and a big-endian magnitude
// as long as the precision needs.
std::string NumericText(const uint8_t* p) {
    const int precision = p[0], scale = p[1];
    const bool negative = p[2] != 0;
    const int bytes = static_cast<int>(std::ceil(precision * std::log2(10.0) / 8.0));
    std::vector<uint8_t> mag(p + 3, p + 3 + std::min(bytes, 32));
    std::string digits;
    // Repeated division by ten of the big-endian magnitude.
    for (bool nonzero = true; nonzero;) {
        unsigned rem = 0;
        nonzero = false;
        for (uint8_t& b : mag) {
            const unsigned cur = rem * 256 + b;
            b = static_cast<uint8_t>(cur / 10);
            rem = cur % 10;
            if (b) nonzero = true;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + rem));
    }
    while (static_cast<int>(digits.size()) <= scale) digits.insert(digits.begin(), '0');
    if (scale > 0) digits.insert(digits.end() - scale, '.');
    return (negative ? "-" : "") + digits;
}

vcl::TDateTime FromServerDays(double days, double dayFraction) {
    // Server days count from 1900-01-01, which is day 2 of TDateTime.
    const double date = days + 2;
    return date < 0 ? date - dayFraction : date + dayFraction;
}

} // namespace

std::string DateTimeText(vcl::TDateTime Value) {
    uint16_t y, mo, d, h, mi, s, ms;
    vcl::DecodeDate(Value, y, mo, d);
    vcl::DecodeTime(Value, h, mi, s, ms);
    char buf[64];
    if (ms)
        std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u", y, mo, d, h, mi, s, ms);
    else
        std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", y, mo, d, h, mi, s);
    return buf;
}

std::string MoneyText(int64_t TenThousandths) {
    const bool negative = TenThousandths < 0;
    const uint64_t mag = negative ? 0 - static_cast<uint64_t>(TenThousandths) : static_cast<uint64_t>(TenThousandths);
    char frac[8];
    std::snprintf(frac, sizeof frac, "%04u", static_cast<unsigned>(mag % 10000));
    std::string f = frac;
    while (f.size() > 2 && f.back() == '0') f.pop_back();
    return (negative ? "-" : "") + std::to_string(mag / 10000) + "." + f;
}

bool IsNumericField(const vcl::TField& Field) {
    switch (Field.DataType()) {
    case vcl::ftSmallint:
    case vcl::ftInteger:
    case vcl::ftWord:
    case vcl::ftFloat:
    case vcl::ftCurrency:
    case vcl::ftBCD:
    case vcl::ftAutoInc:
    case vcl::ftLargeint: return true;
    default: return false;
    }
}

TCell FieldCell(vcl::TField& Field, int ServerType, int Scale) {
    if (Field.IsNull()) return TCell{};
    switch (Field.DataType()) {
    case vcl::ftSmallint:
    case vcl::ftInteger:
    case vcl::ftWord:
    case vcl::ftAutoInc:
    case vcl::ftLargeint: return NumberCell(Field.AsString(), Field.AsFloat());
    case vcl::ftFloat:
    case vcl::ftCurrency:
    case vcl::ftBCD: {
        const double v = Field.AsFloat();
        switch (ServerType) {
        case CS_MONEY_TYPE:
        case CS_MONEY4_TYPE: return NumberCell(MoneyText(std::llround(v * 10000)), v);
        case CS_NUMERIC_TYPE:
        case CS_DECIMAL_TYPE: return NumberCell(ScaledText(v, Scale), v);
        case CS_REAL_TYPE: return NumberCell(RealText(v, 7), v);
        default: return NumberCell(RealText(v, 15), v);
        }
    }
    case vcl::ftBoolean: return NumberCell(Field.AsBoolean() ? "1" : "0", Field.AsBoolean() ? 1 : 0);
    case vcl::ftDate:
    case vcl::ftTime:
    case vcl::ftDateTime: {
        const vcl::TDateTime v = Field.AsDateTime();
        return NumberCell(DateTimeText(v), v);
    }
    case vcl::ftBytes:
    case vcl::ftVarBytes:
    case vcl::ftBlob:
    case vcl::ftGraphic: return TextCell(HexBytes(Field.AsString()));
    default: return TextCell(Printable(Field.AsString()));
    }
}

TCell ParamCell(const SybConnect::TSybClientField& Param) {
    const uint8_t* p = Param.GetDataPointer();
    if (Param.GetIndicator() == -1) return TCell{};
    if (!p) return TextCell("(value of server type " + std::to_string(Param.GetDataType()) + " not read)");
    const int length = Param.GetDataLength();
    switch (Param.GetDataType()) {
    case CS_TINYINT_TYPE: return NumberCell(std::to_string(*p), *p);
    case CS_BIT_TYPE: return NumberCell(*p ? "1" : "0", *p ? 1 : 0);
    case CS_SMALLINT_TYPE: {
        const auto v = Read<int16_t>(p);
        return NumberCell(std::to_string(v), v);
    }
    case CS_INT_TYPE: {
        const auto v = Read<int32_t>(p);
        return NumberCell(std::to_string(v), v);
    }
    case CS_REAL_TYPE: {
        const auto v = Read<float>(p);
        return NumberCell(RealText(v, 7), v);
    }
    case CS_FLOAT_TYPE: {
        const auto v = Read<double>(p);
        return NumberCell(RealText(v, 15), v);
    }
    case CS_MONEY_TYPE: {
        const int64_t v = (static_cast<int64_t>(Read<int32_t>(p)) << 32) | Read<uint32_t>(p + 4);
        return NumberCell(MoneyText(v), static_cast<double>(v) / 10000);
    }
    case CS_MONEY4_TYPE: {
        const auto v = Read<int32_t>(p);
        return NumberCell(MoneyText(v), v / 10000.0);
    }
    case CS_DATETIME_TYPE: {
        const vcl::TDateTime v = FromServerDays(Read<int32_t>(p), Read<int32_t>(p + 4) / 300.0 / 86400.0);
        return NumberCell(DateTimeText(v), v);
    }
    case CS_DATETIME4_TYPE: {
        const vcl::TDateTime v = FromServerDays(Read<uint16_t>(p), Read<uint16_t>(p + 2) / 1440.0);
        return NumberCell(DateTimeText(v), v);
    }
    case CS_NUMERIC_TYPE:
    case CS_DECIMAL_TYPE: {
        const std::string t = NumericText(p);
        return NumberCell(t, std::strtod(t.c_str(), nullptr));
    }
    case CS_BINARY_TYPE:
    case CS_VARBINARY_TYPE:
    case CS_LONGBINARY_TYPE:
    case CS_IMAGE_TYPE: return TextCell(HexBytes(std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(length))));
    default: return TextCell(Printable(std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(length))));
    }
}

} // namespace KestrelSql
