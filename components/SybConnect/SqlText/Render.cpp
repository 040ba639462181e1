// Parameter values as SQL literals.
#include <cmath>

#include "components/SybConnect/internal/SqlText.h"
#include "vcl/SysUtils.h"

namespace SybConnect {

namespace {

[[noreturn]] void Refuse(const vcl::TParam& Param, const std::string& why) {
    throw vcl::Exception(vcl::Format("Param '%s' cannot be sent: %s", {Param.Name(), why}));
}

std::string QuotedString(const vcl::TParam& Param, const std::string& value) {
    // Many servers and every C-string consumer on the way would end the
    // statement at a NUL byte, leaving an open literal; refuse it instead.
    if (value.find('\0') != std::string::npos) Refuse(Param, "the string value holds a NUL character");
    return "'" + PrepareStringValue(value) + "'";
}

std::string FloatLiteral(const vcl::TParam& Param) {
    const double value = Param.AsFloat();
    // NAN or INF would reach the server as a name, not as a number.
    if (!std::isfinite(value)) Refuse(Param, "the float value is not a finite number");
    return FloatToSqlText(value);
}

std::string DateTimeLiteral(const vcl::TParam& Param, int DateFormat) {
    const vcl::TDateTime value = Param.AsDateTime();
    // Outside the calendar the text would be zeros or a five-digit year that
    // no server reads back as the value.
    uint16_t year = 0, month, day;
    if (std::isfinite(value)) vcl::DecodeDate(value, year, month, day);
    if (year < 1 || year > 9999) Refuse(Param, "the date-time value is out of range");
    const std::string text = DateTimeAsString(value, DateFormat);
    // A time separator set to the quote or NUL would end the literal early.
    for (const char c : text)
        if (c == '"' || c == '\0') Refuse(Param, "the time separator cannot stand in a date literal");
    return "\"" + text + "\"";
}

} // namespace

std::string ParamStrValue(const vcl::TParam& Param, int DateFormat) {
    if (Param.IsNull()) return "NULL";
    switch (Param.DataType()) {
    case vcl::ftString:
    case vcl::ftMemo: return QuotedString(Param, Param.AsString());
    // AsBlob is AsString for a string value and also takes a byte array.
    case vcl::ftBytes: return QuotedString(Param, Param.AsBlob());
    case vcl::ftSmallint:
    case vcl::ftInteger:
    case vcl::ftBoolean: return vcl::IntToStr(Param.AsInteger());
    case vcl::ftFloat:
    case vcl::ftCurrency: return FloatLiteral(Param);
    case vcl::ftDateTime: return DateTimeLiteral(Param, DateFormat);
    case vcl::ftBlob: {
        std::string bytes(static_cast<size_t>(Param.GetDataSize()), '\0');
        if (!bytes.empty()) Param.GetData(bytes.data());
        return PrepareBinaryValue(bytes);
    }
    default: throw vcl::Exception("Param datatype unsupported");
    }
}

std::string PrepareStringValue(const std::string& Value) {
    std::string out;
    out.reserve(Value.size() + 2);
    for (const char c : Value) {
        out += c;
        if (c == '\'') out += c;
    }
    return out;
}

std::string PrepareBinaryValue(const std::string& Bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "0x";
    out.reserve(2 + 2 * Bytes.size());
    for (const char c : Bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

} // namespace SybConnect
