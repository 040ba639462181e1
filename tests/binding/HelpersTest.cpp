// The capability-mask and message-number helpers.
#include <gtest/gtest.h>

#include "binding/Cspublic.h"

using namespace Cspublic;

TEST(CapabilityMask, ByteIndexCountsFromTheEnd) {
    const struct { CS_INT Bit, Index; } cases[] = {{0, 15}, {7, 15}, {8, 14}, {9, 14}, {64, 7}, {120, 0}, {127, 0}};
    for (const auto& c : cases) EXPECT_EQ(CS_CAP_IDX(c.Bit), c.Index) << "bit " << c.Bit;
}

TEST(CapabilityMask, SetTestAndClearOneBit) {
    CS_CAP_TYPE mask{};
    CS_SET_CAPMASK(mask, 9);
    EXPECT_EQ(mask.mask[14], 2);
    EXPECT_EQ(CS_TST_CAPMASK(mask, 9), 2); // the bit's own value, not 1
    EXPECT_EQ(CS_TST_CAPMASK(mask, 8), 0);

    CS_SET_CAPMASK(mask, 8);
    CS_SET_CAPMASK(mask, 15);
    CS_CLR_CAPMASK(mask, 9);
    EXPECT_EQ(mask.mask[14], 0x81); // the other bits of the byte stay
    EXPECT_EQ(CS_TST_CAPMASK(mask, 9), 0);
    EXPECT_EQ(CS_TST_CAPMASK(mask, 15), 128);

    CS_SET_CAPMASK(mask, 0);
    CS_SET_CAPMASK(mask, 127);
    EXPECT_EQ(mask.mask[15], 1);
    EXPECT_EQ(mask.mask[0], 0x80);
    for (int i = 1; i < 14; ++i) EXPECT_EQ(mask.mask[i], 0) << "byte " << i;
}

TEST(CapabilityMask, BitsOutsideTheMaskTouchNothing) {
    // Guarded in a larger block so that a stray write would show.
    struct {
        CS_BYTE Before[16];
        CS_CAP_TYPE Mask;
        CS_BYTE After[16];
    } block{};
    for (CS_INT bit : {-1, -8, 128, 135, 1000}) {
        CS_SET_CAPMASK(block.Mask, bit);
        EXPECT_EQ(CS_TST_CAPMASK(block.Mask, bit), 0) << "bit " << bit;
    }
    CS_SET_CAPMASK(block.Mask, 3);
    CS_CLR_CAPMASK(block.Mask, -5);
    CS_CLR_CAPMASK(block.Mask, 131);
    EXPECT_EQ(CS_TST_CAPMASK(block.Mask, 3), 8);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(block.Before[i], 0);
        EXPECT_EQ(block.After[i], 0);
        EXPECT_EQ(block.Mask.mask[i], i == 15 ? 8 : 0);
    }
}

TEST(MessageNumber, SplitsIntoFourUnsignedBytes) {
    const struct { uint32_t Number; CS_INT Layer, Origin, Severity, Num; } cases[] = {
        {0x04030201u, 4, 3, 2, 1},
        {0xFF000000u, 255, 0, 0, 0},
        {0xFFFFFFFFu, 255, 255, 255, 255},
        {0x80FE7F00u, 128, 254, 127, 0},
        {0x00000000u, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const CS_INT n = static_cast<CS_INT>(c.Number);
        EXPECT_EQ(CS_LAYER(n), c.Layer) << std::hex << c.Number;
        EXPECT_EQ(CS_ORIGIN(n), c.Origin) << std::hex << c.Number;
        EXPECT_EQ(CS_SEVERITY(n), c.Severity) << std::hex << c.Number;
        EXPECT_EQ(CS_NUMBER(n), c.Num) << std::hex << c.Number;
    }
}
