// Floats as SQL number text. std::to_chars reads no locale, so neither the
// process's C locale nor the framework's decimal separator can reach the
// literal, and nothing process-wide is touched.
#include <charconv>
#include <system_error>

#include "components/SybConnect/internal/SqlText.h"
#include "vcl/SysUtils.h"

namespace SybConnect {

std::string FloatToSqlText(double Value) {
    if (Value == 0) return "0";
    // 15 significant digits, rounded once: d.dddddddddddddde[+-]x.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, Value, std::chars_format::scientific, 14);
    if (r.ec != std::errc()) throw vcl::Exception("Float value cannot be formatted");
    const std::string s(buf, r.ptr);
    const bool negative = s[0] == '-';
    const size_t first = negative ? 1 : 0;
    const size_t e = s.find('e');
    std::string digits = s.substr(first, 1) + s.substr(first + 2, e - first - 2);
    int exponent = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent > 14 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) out += '.' + digits.substr(1);
        out += 'E' + std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits + std::string(whole - digits.size(), '0');
        } else {
            out += digits.substr(0, whole) + '.' + digits.substr(whole);
        }
    }
    return out;
}

} // namespace SybConnect
