// Numeric and decimal values as doubles.
#include <array>
#include <cmath>

#include "components/SybConnect.h"
#include "components/SybConnect/Decode/Decode.h"

namespace SybConnect::Decode {

namespace {
// Magnitude bytes for a precision; 0 where the table has no entry.
int MagnitudeBytes(int Precision) {
    if (Precision >= 1 && Precision <= 2) return 1;
    if (Precision >= 3 && Precision <= 4) return 2;
    if (Precision >= 5 && Precision <= 7) return 3;
    if (Precision >= 8 && Precision <= 9) return 4;
    if (Precision >= 10 && Precision <= 12) return 5;
    if (Precision >= 13 && Precision <= 14) return 6;
    if (Precision >= 15 && Precision <= 16) return 7;
    if (Precision >= 17 && Precision <= 19) return 8;
    if (Precision == 20) return 9;
    if (Precision == 38) return 16;
    return 0;
}

// 10^0 .. 10^22 are exact doubles, and pow gives exactly them; from 10^23
// on the correctly rounded constant and pow's result can differ by an ulp
// (10^23 does), so those scales keep pow and the quotient stays the same.
constexpr std::array<double, 23> ExactPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

double PowerOfTen(int Scale) {
    if (Scale < static_cast<int>(ExactPowersOfTen.size())) return ExactPowersOfTen[static_cast<size_t>(Scale)];
    return std::pow(10.0, Scale);
}
} // namespace

double DecodeNumeric(const uint8_t* Value) {
    const int precision = Value[0];
    const int scale = Value[1];
    const bool negative = Value[2] != 0;
    const int m = MagnitudeBytes(precision);
    if (m == 0) throw ESybQueryError(vcl::Format("Precision %d not supported for numeric types", {precision}));
    double value = 0.0;
    double weight = 1.0;
    // From the least significant byte up.
    for (int k = m; k >= 1; --k) {
        value += Value[2 + k] * weight;
        weight *= 256.0;
    }
    if (negative) value = -value;
    if (scale > 0) value /= PowerOfTen(scale);
    return value;
}

} // namespace SybConnect::Decode
