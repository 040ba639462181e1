// Numeric scaling: the quotient is the one dividing by std::pow gives, to the bit.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include "components/SybConnect/Decode/Decode.h"

namespace {

using Record = std::array<uint8_t, 35>;

TEST(NumericScale, EveryScaleMatchesDivisionByPow) {
    std::mt19937_64 random(20240611);
    // Precision and its magnitude bytes: from one byte to the widest.
    const struct {
        uint8_t Precision;
        int Bytes;
    } widths[] = {{2, 1}, {9, 4}, {19, 8}, {20, 9}, {38, 16}};
    int checked = 0;
    for (const auto& w : widths) {
        for (int n = 0; n < 200; ++n) {
            Record rec{};
            rec[0] = w.Precision;
            rec[2] = static_cast<uint8_t>(n & 1);
            // Leading zero bytes now and then, for small magnitudes too.
            const int used = 1 + static_cast<int>(random() % static_cast<uint64_t>(w.Bytes));
            for (int k = w.Bytes - used; k < w.Bytes; ++k)
                rec[static_cast<size_t>(3 + k)] = static_cast<uint8_t>(random());
            const double unscaled = SybConnect::Decode::DecodeNumeric(rec.data());
            // Past 38 too: the scale byte is not checked against the precision.
            for (int scale = 0; scale <= 45; ++scale) {
                rec[1] = static_cast<uint8_t>(scale);
                // At run time, as the decoder used to: a folded pow is rounded afresh.
                const volatile int exponent = scale;
                const double expected = scale > 0 ? unscaled / std::pow(10.0, exponent) : unscaled;
                ASSERT_EQ(std::bit_cast<uint64_t>(SybConnect::Decode::DecodeNumeric(rec.data())),
                          std::bit_cast<uint64_t>(expected))
                    << "precision " << int{w.Precision} << " scale " << scale << " value " << unscaled;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 5 * 200 * 46);
}

} // namespace
