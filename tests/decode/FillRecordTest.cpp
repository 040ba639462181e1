// Row decoding: the conversion of every mapped type, nulls, and failures.
#include <cmath>

#include "tests/decode/DecodeStore.h"

namespace DecodeTests {

using FakeOC::Column;
using FakeOC::Value;

namespace {
constexpr double MsPerDay = 86400000.0;
// 1/300-second ticks.
constexpr int32_t Ticks(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 300; }
} // namespace

TEST_F(DecodeTest, EveryMappedTypeDecodesIntoItsRecordFormat) {
    // numeric(38,0): 16 magnitude bytes, 2^120 + 2^72.
    std::vector<uint8_t> big(17, 0);
    big[1] = 1;
    big[16 - 9] = 1;
    const std::vector<Column> columns = {
        Column::Of("money", CS_MONEY_TYPE),         Column::Of("smallmoney", CS_MONEY4_TYPE),
        Column::Numeric("n52", 5, 2),               Column::Numeric("n380", 38, 0),
        Column::Numeric("d", 10, 4, true),          Column::Of("dt1900", CS_DATETIME_TYPE),
        Column::Of("dt1753", CS_DATETIME_TYPE),     Column::Of("sdt", CS_DATETIME4_TYPE),
        Column::Of("tiny", CS_TINYINT_TYPE),        Column::Of("small", CS_SMALLINT_TYPE),
        Column::Of("int", CS_INT_TYPE),             Column::Of("real", CS_REAL_TYPE),
        Column::Of("float", CS_FLOAT_TYPE),         Column::Of("bit", CS_BIT_TYPE),
        Column::Of("char", CS_CHAR_TYPE, 8),        Column::Of("bin", CS_BINARY_TYPE, 4),
    };
    const std::vector<Value> row = {
        Value::Money(-1, 4294957296u), Value::Money4(12345),
        Value::Numeric(5, 2, {1, 0x00, 0x30, 0x39}), Value::Numeric(38, 0, big),
        Value::NumericOf(10, 4, 123456789), Value::DateTime(0, 0),
        Value::DateTime(-53690, Ticks(10, 0, 0)), Value::DateTime4(1, 90),
        Value::TinyInt(200), Value::SmallInt(-32768),
        Value::Int(-2000000000), Value::Real(1.5f),
        Value::Float(-2.25e300), Value::Bit(true),
        Value::Char("abcdefgh"), Value::Binary(std::string("\0\xff\0\x01", 4)),
    };
    auto store = NewStore();
    ASSERT_EQ(OpenOn(*store, columns, {row}), "");
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) EXPECT_EQ(store->Flag(0, i), 255) << i;
    EXPECT_EQ(store->Value<double>(0, 0), -1.0);
    EXPECT_EQ(store->Value<double>(0, 1), 1.2345);
    EXPECT_EQ(store->Value<double>(0, 2), -123.45);
    EXPECT_EQ(store->Value<double>(0, 3), std::ldexp(1.0, 120) + std::ldexp(1.0, 72));
    EXPECT_EQ(store->Value<double>(0, 4), 12345.6789);
    EXPECT_EQ(store->Value<double>(0, 5), 693596.0 * MsPerDay);
    // 1753-01-01 10:00: day 693596 - 53690, its ten o'clock kept.
    EXPECT_EQ(store->Value<double>(0, 6), (693596.0 - 53690.0) * MsPerDay + 10 * 3600000.0);
    EXPECT_EQ(store->Value<double>(0, 7), 693597.0 * MsPerDay + 90 * 60000.0);
    EXPECT_EQ(store->Value<int16_t>(0, 8), 200);
    EXPECT_EQ(store->Value<int16_t>(0, 9), -32768);
    EXPECT_EQ(store->Value<int32_t>(0, 10), -2000000000);
    EXPECT_EQ(store->Value<double>(0, 11), 1.5);
    EXPECT_EQ(store->Value<double>(0, 12), -2.25e300);
    EXPECT_EQ(store->Value<int16_t>(0, 13), 1);
    EXPECT_EQ(std::string(store->Slot(0, 14) + 1, 9), std::string("abcdefgh\0", 9));
    EXPECT_EQ(std::string(store->Slot(0, 15) + 1, 5), std::string("\0\xff\0\x01\0", 5));
}

TEST_F(DecodeTest, NullLeavesFlagAndDataZeroAnEmptyCharIsAValue) {
    auto store = NewStore();
    ASSERT_EQ(OpenOn(*store,
                     {Column::Of("c", CS_CHAR_TYPE, 5), Column::Of("i", CS_INT_TYPE), Column::Of("d", CS_DATETIME_TYPE)},
                     {{Value::Char("xyz"), Value::Int(7), Value::DateTime(1, 0)},
                      {Value::Null(), Value::Null(), Value::Null()},
                      {Value::Char(""), Value::Int(0), Value::DateTime(0, 0)}}),
              "");
    // The bound buffers keep the first row's bytes under a NULL: none of them
    // may reach the record.
    const int widths[] = {6, 4, 8};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(store->Flag(1, i), 0) << i;
        EXPECT_EQ(std::string(store->Slot(1, i) + 1, widths[i]), std::string(widths[i], '\0')) << i;
    }
    EXPECT_EQ(store->Flag(2, 0), 255);
    EXPECT_EQ(std::string(store->Slot(2, 0) + 1, 6), std::string(6, '\0'));
    EXPECT_EQ(store->Flag(2, 1), 255);
    // cs_dt_crack runs only for values.
    EXPECT_EQ(FakeOC::Count("cs_dt_crack"), 2);
}

TEST_F(DecodeTest, FailureNamesQueryAndFieldAndLeavesTheRowHalfDecoded) {
    // Field 2 fails; field 3 is never reached.
    auto store = NewStore();
    const std::string error =
        OpenOn(*store, {Column::Of("a", CS_INT_TYPE), Column::Of("b", CS_INT_TYPE), Column::Numeric("n", 25, 0),
                        Column::Of("d", CS_INT_TYPE)},
               {{Value::Int(1), Value::Int(2), Value::Numeric(25, 0, std::vector<uint8_t>(12, 1)), Value::Int(4)}});
    EXPECT_EQ(error, "Q1._InternalFillRecord failed for field 2: Precision 25 not supported for numeric types");
    ASSERT_EQ(store->FailedRecords.size(), 1u);
    const std::string& rec = store->FailedRecords[0];
    // Slots of 1 + 4, 1 + 4, 1 + 8, 1 + 4 bytes.
    EXPECT_EQ(rec.substr(0, 10), std::string("\xff\x01\0\0\0\xff\x02\0\0\0", 10));
    EXPECT_EQ(rec.substr(10, 9), std::string("\xff\0\0\0\0\0\0\0\0", 9));
    EXPECT_EQ(rec.substr(19, 5), std::string(5, '\0'));
    EXPECT_FALSE(store->Active());
}

TEST_F(DecodeTest, DateFailuresArriveWrapped) {
    const struct {
        bool Context;
        std::string Name;
        bool FailCrack;
        std::string Message;
    } cases[] = {
        {false, "Q1", false, "Q1._InternalFillRecord failed for field 1: Connection not defined"},
        // A query an execution created has no name.
        {false, "", false, "._InternalFillRecord failed for field 1: Connection not defined"},
        {true, "Q1", true, "Q1._InternalFillRecord failed for field 1: cs_dt_crack failed."},
    };
    for (const auto& c : cases) {
        if (c.FailCrack) FakeOC::FailCall("cs_dt_crack", 0);
        auto store = NewStore(c.Context, c.Name);
        EXPECT_EQ(OpenOn(*store, {Column::Of("i", CS_INT_TYPE), Column::Of("d", CS_DATETIME4_TYPE)},
                         {{Value::Int(1), Value::DateTime4(0, 0)}}),
                  c.Message);
    }
}

TEST_F(DecodeTest, PrecisionTableBoundaries) {
    // Supported precisions decode; their neighbours outside the table fail.
    for (int p : {1, 2, 3, 9, 10, 19, 20, 38}) {
        auto store = NewStore();
        ASSERT_EQ(OpenOn(*store, {Column::Numeric("n", p, 0)}, {{Value::NumericOf(static_cast<uint8_t>(p), 0, -7)}}),
                  "")
            << p;
        EXPECT_EQ(store->Value<double>(0, 0), -7.0) << p;
    }
    for (int p : {0, 21, 37, 39}) {
        std::vector<uint8_t> array(17, 0);
        auto store = NewStore();
        EXPECT_EQ(OpenOn(*store, {Column::Numeric("n", 38, 0)}, {{Value::Numeric(static_cast<uint8_t>(p), 0, array)}}),
                  "Q1._InternalFillRecord failed for field 0: Precision " + std::to_string(p) +
                      " not supported for numeric types");
    }
}

} // namespace DecodeTests
