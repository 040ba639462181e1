// Exact decimal numbers for numeric/decimal and money: parsing with rounding to
// a scale, and the unsigned big-endian magnitudes of the wire.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox::sql {

struct Decimal {
    bool negative = false;
    std::string digits = "0";  // the unscaled value, no leading zeros
};

// "  -12.345 " at scale 2 gives -1235 (half away from zero); nullopt when the
// text is not a plain decimal number (an exponent is accepted).
std::optional<Decimal> DecimalFromText(std::string_view text, int scale);
Decimal DecimalFromInt(int64_t v, int scale);
std::optional<Decimal> DecimalFromReal(double v, int scale);

// Bytes of a numeric of this precision on the wire, sign byte included.
int NumericBytes(int precision);

// The magnitude in exactly `bytes` bytes, or nullopt when it does not fit.
std::optional<std::vector<uint8_t>> DigitsToBigEndian(const std::string& digits, size_t bytes);
std::string BigEndianToDigits(const uint8_t* data, size_t size);

// "-12.34" from (true, "1234", 2).
std::string FormatScaled(const Decimal& d, int scale);

}  // namespace sandbox::sql
