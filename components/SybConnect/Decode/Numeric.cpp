// Numeric and decimal values as doubles.
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
    if (scale > 0) value /= std::pow(10.0, scale);
    return value;
}

} // namespace SybConnect::Decode
