// Numbers to text and back, with the locale's decimal separator.
#include <charconv>
#include <cmath>

#include "vcl/DateTime.h"
#include "vcl/SysUtils.h"

namespace vcl {

namespace {

std::string GeneralFloat(double value, char separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    // 15 significant digits, rounded once; then the shortest layout of them.
    // to_chars, unlike printf, never looks at the process locale.
    char buf[40];
    const auto printed = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string s(buf, printed.ptr);
    const bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    const size_t e = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
    // "e+15" / "e-05": from_chars takes no '+'.
    const size_t expStart = e + (s[e + 1] == '+' ? 2 : 1);
    int exponent = 0;
    std::from_chars(s.data() + expStart, s.data() + s.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent > 14 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += separator;
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(exponent);
    } else if (exponent < 0) {
        out += '0';
        out += separator;
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, intDigits);
            out += separator;
            out.append(digits, intDigits, std::string::npos);
        }
    }
    return out;
}

[[noreturn]] void NotInteger(const std::string& s) {
    throw EConvertError(Format("'%s' is not a valid integer value", {s}));
}

} // namespace

std::string FloatToStr(double Value) {
    return GeneralFloat(Value, FormatSettings.DecimalSeparator);
}

std::string FloatToStrDot(double Value) {
    return GeneralFloat(Value, '.');
}

bool TryStrToFloat(const std::string& S, double& Value) {
    const std::string t = Trim(S);
    // Validate the shape by hand (sign, digits, separator, digits, exponent),
    // then let from_chars do the exact conversion of the '.' form.
    std::string norm;
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    bool anyDigit = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') norm += t[i++], anyDigit = true;
    if (i < t.size() && t[i] == FormatSettings.DecimalSeparator) {
        norm += '.';
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') norm += t[i++], anyDigit = true;
    }
    if (!anyDigit) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        norm += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) norm += t[i++];
        bool expDigit = false;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') norm += t[i++], expDigit = true;
        if (!expDigit) return false;
    }
    if (i != t.size()) return false;
    double v = 0;
    const auto r = std::from_chars(norm.data(), norm.data() + norm.size(), v);
    if (r.ec != std::errc() || r.ptr != norm.data() + norm.size()) return false;
    Value = negative ? -v : v;
    return true;
}

double StrToFloat(const std::string& S) {
    double v;
    if (!TryStrToFloat(S, v)) throw EConvertError(Format("'%s' is not a valid floating point value", {S}));
    return v;
}

bool TryStrToInt64(const std::string& S, int64_t& Value) {
    const std::string t = Trim(S);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size()) return false;
    uint64_t magnitude = 0;
    const auto r = std::from_chars(t.data() + i, t.data() + t.size(), magnitude, base);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    if (negative) {
        if (magnitude > static_cast<uint64_t>(INT64_MAX) + 1) return false;
        Value = static_cast<int64_t>(0 - magnitude);
    } else {
        if (magnitude > static_cast<uint64_t>(INT64_MAX)) return false;
        Value = static_cast<int64_t>(magnitude);
    }
    return true;
}

bool TryStrToInt(const std::string& S, int& Value) {
    int64_t v;
    if (!TryStrToInt64(S, v) || v < INT32_MIN || v > INT32_MAX) return false;
    Value = static_cast<int>(v);
    return true;
}

int StrToInt(const std::string& S) {
    int v;
    if (!TryStrToInt(S, v)) NotInteger(S);
    return v;
}

int64_t StrToInt64(const std::string& S) {
    int64_t v;
    if (!TryStrToInt64(S, v)) NotInteger(S);
    return v;
}

int StrToIntDef(const std::string& S, int Default) {
    int v;
    return TryStrToInt(S, v) ? v : Default;
}

} // namespace vcl
