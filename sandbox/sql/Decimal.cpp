#include "sandbox/sql/Decimal.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace sandbox::sql {

namespace {

std::string StripZeros(std::string s) {
    const size_t nz = s.find_first_not_of('0');
    return nz == std::string::npos ? "0" : s.substr(nz);
}

}  // namespace

std::optional<Decimal> DecimalFromText(std::string_view t, int scale) {
    size_t i = 0;
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i]))) ++i;
    size_t end = t.size();
    while (end > i && std::isspace(static_cast<unsigned char>(t[end - 1]))) --end;
    t = t.substr(i, end - i);
    if (t.empty() || t.size() > 400) return std::nullopt;
    Decimal d;
    size_t p = 0;
    if (t[p] == '+' || t[p] == '-') d.negative = t[p++] == '-';
    if (p < t.size() && t[p] == '$') ++p;  // money literals
    std::string intPart, frac;
    while (p < t.size() && std::isdigit(static_cast<unsigned char>(t[p]))) intPart += t[p++];
    if (p < t.size() && t[p] == '.') {
        ++p;
        while (p < t.size() && std::isdigit(static_cast<unsigned char>(t[p]))) frac += t[p++];
    }
    if (intPart.empty() && frac.empty()) return std::nullopt;
    int exponent = 0;
    if (p < t.size() && (t[p] == 'e' || t[p] == 'E')) {
        ++p;
        bool neg = false;
        if (p < t.size() && (t[p] == '+' || t[p] == '-')) neg = t[p++] == '-';
        std::string e;
        while (p < t.size() && std::isdigit(static_cast<unsigned char>(t[p]))) e += t[p++];
        if (e.empty() || e.size() > 3) return std::nullopt;
        exponent = std::stoi(e) * (neg ? -1 : 1);
    }
    if (p != t.size()) return std::nullopt;
    // Shift the decimal point by the exponent.
    std::string all = intPart + frac;
    int point = static_cast<int>(intPart.size()) + exponent;
    if (point < 0) {
        all = std::string(static_cast<size_t>(-point), '0') + all;
        point = 0;
    }
    if (point > static_cast<int>(all.size())) all += std::string(static_cast<size_t>(point) - all.size(), '0');
    std::string whole = all.substr(0, static_cast<size_t>(point));
    std::string fraction = all.substr(static_cast<size_t>(point));
    bool roundUp = false;
    if (static_cast<int>(fraction.size()) > scale) {
        roundUp = fraction[static_cast<size_t>(scale)] >= '5';
        fraction.resize(static_cast<size_t>(scale));
    } else {
        fraction += std::string(static_cast<size_t>(scale) - fraction.size(), '0');
    }
    std::string digits = whole + fraction;
    if (roundUp) {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<size_t>(k)] == '9') digits[static_cast<size_t>(k--)] = '0';
        if (k < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[static_cast<size_t>(k)];
    }
    d.digits = StripZeros(digits);
    if (d.digits == "0") d.negative = false;
    return d;
}

Decimal DecimalFromInt(int64_t v, int scale) {
    Decimal d;
    d.negative = v < 0;
    const uint64_t mag = v < 0 ? static_cast<uint64_t>(-(v + 1)) + 1 : static_cast<uint64_t>(v);
    d.digits = std::to_string(mag);
    if (d.digits != "0") d.digits += std::string(static_cast<size_t>(scale), '0');
    return d;
}

std::optional<Decimal> DecimalFromReal(double v, int scale) {
    if (!std::isfinite(v)) return std::nullopt;
    // 15 significant digits give back the decimal a person typed (SQLite keeps
    // numeric values as doubles); the rounding is then decimal, half away from zero.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return DecimalFromText(buf, scale);
}

int NumericBytes(int precision) {
    static const int kBytes[] = {2, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 6, 7, 7, 8, 8, 9, 9, 9,
                                 10, 10, 11, 11, 11, 12, 12, 13, 13, 14, 14, 14, 15, 15, 16, 16, 16, 17, 17};
    if (precision < 1) precision = 1;
    if (precision > 38) precision = 38;
    return kBytes[precision];
}

std::optional<std::vector<uint8_t>> DigitsToBigEndian(const std::string& digits, size_t bytes) {
    std::vector<uint8_t> le;  // little-endian base 256
    for (char c : digits) {
        unsigned carry = static_cast<unsigned>(c - '0');
        for (auto& b : le) {
            const unsigned v = b * 10u + carry;
            b = static_cast<uint8_t>(v & 0xFF);
            carry = v >> 8;
        }
        while (carry) {
            le.push_back(static_cast<uint8_t>(carry & 0xFF));
            carry >>= 8;
        }
    }
    if (le.size() > bytes) return std::nullopt;
    std::vector<uint8_t> be(bytes, 0);
    for (size_t k = 0; k < le.size(); ++k) be[bytes - 1 - k] = le[k];
    return be;
}

std::string BigEndianToDigits(const uint8_t* data, size_t size) {
    std::string dec = "0";  // decimal digits, most significant first
    for (size_t k = 0; k < size; ++k) {
        unsigned carry = data[k];
        for (size_t j = dec.size(); j-- > 0;) {
            const unsigned v = static_cast<unsigned>(dec[j] - '0') * 256u + carry;
            dec[j] = static_cast<char>('0' + v % 10);
            carry = v / 10;
        }
        while (carry) {
            dec.insert(dec.begin(), static_cast<char>('0' + carry % 10));
            carry /= 10;
        }
    }
    return StripZeros(dec);
}

std::string FormatScaled(const Decimal& d, int scale) {
    std::string digits = d.digits;
    if (static_cast<int>(digits.size()) <= scale) digits = std::string(static_cast<size_t>(scale) + 1 - digits.size(), '0') + digits;
    std::string out = d.negative ? "-" : "";
    out += digits.substr(0, digits.size() - static_cast<size_t>(scale));
    if (scale > 0) out += "." + digits.substr(digits.size() - static_cast<size_t>(scale));
    return out;
}

}  // namespace sandbox::sql
