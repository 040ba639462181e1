// Values on the wire: the byte layouts FreeTDS reads, and the conversions that
// must fail rather than send a wrong value.
#include <gtest/gtest.h>

#include "sandbox/sql/Decimal.h"
#include "sandbox/sql/SqlError.h"
#include "sandbox/tds/Decode.h"
#include "sandbox/tds/Encode.h"

using namespace sandbox;
using sql::ColumnType;
using sql::Kind;
using sql::Value;

namespace {

ColumnType Type(Kind k, uint32_t length = 0, uint8_t p = 0, uint8_t s = 0, bool nullable = true) {
    ColumnType t;
    t.kind = k, t.length = length, t.precision = p, t.scale = s, t.nullable = nullable;
    return t;
}

std::vector<uint8_t> Encode(const ColumnType& t, const Value& v) {
    tds::Buffer b;
    tds::PutValue(b, t, v.View(), tds::EncodeContext{});
    return b;
}

int ErrorOf(const ColumnType& t, const Value& v) {
    try {
        Encode(t, v);
    } catch (const SqlError& e) {
        return e.Number;
    }
    return 0;
}

}  // namespace

TEST(SandboxEncoding, ValuesUseAseWireLayouts) {
    using B = std::vector<uint8_t>;
    struct Case {
        const char* what;
        ColumnType type;
        Value value;
        B bytes;
    } cases[] = {
        {"numeric(5,2) -123.45", Type(Kind::Numeric, 0, 5, 2), Value::Text("-123.45"), {4, 1, 0, 0x30, 0x39}},
        {"numeric rounds half away", Type(Kind::Numeric, 0, 5, 2), Value::Text("1.005"), {4, 0, 0, 0, 101}},
        {"numeric from an integer", Type(Kind::Numeric, 0, 3, 0), Value::Int(255), {3, 0, 0, 0xFF}},
        {"money -1", Type(Kind::Money, 0, 0, 0, false), Value::Int(-1), {0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xD8, 0xFF, 0xFF}},
        {"moneyn 1.5", Type(Kind::Money), Value::Real(1.5), {8, 0, 0, 0, 0, 0x98, 0x3A, 0, 0}},
        {"smallmoney", Type(Kind::SmallMoney), Value::Text("1.0001"), {4, 0x11, 0x27, 0, 0}},
        {"intn(4)", Type(Kind::Int), Value::Int(-2), {4, 0xFE, 0xFF, 0xFF, 0xFF}},
        {"int4 fixed", Type(Kind::Int, 0, 0, 0, false), Value::Int(1), {1, 0, 0, 0}},
        {"tinyint from text", Type(Kind::TinyInt), Value::Text("200"), {1, 200}},
        {"NULL intn", Type(Kind::Int), Value{}, {0}},
        {"char pads with blanks", Type(Kind::Char, 5), Value::Text("ab"), {5, 'a', 'b', ' ', ' ', ' '}},
        {"varchar keeps trailing blanks", Type(Kind::VarChar, 10), Value::Text("a  "), {3, 'a', ' ', ' '}},
        {"empty varchar is one blank", Type(Kind::VarChar, 10), Value::Text(""), {1, ' '}},
        {"varchar cut to its length", Type(Kind::VarChar, 2), Value::Text("abc"), {2, 'a', 'b'}},
        {"binary pads with zeros", Type(Kind::Binary, 3), Value::Blob("\x01"), {3, 1, 0, 0}},
        {"long varchar", Type(Kind::VarChar, 300), Value::Text("x"), {1, 0, 0, 0, 'x'}},
        {"datetimn", Type(Kind::DateTime), Value::Text("1900-01-02 00:00:01"), {8, 1, 0, 0, 0, 0x2C, 1, 0, 0}},
        {"smalldatetime", Type(Kind::SmallDateTime, 0, 0, 0, false), Value::Text("1900-01-01 00:02"), {0, 0, 2, 0}},
        {"bitn", Type(Kind::Bit), Value::Int(5), {1, 1}},
        {"NULL text", Type(Kind::Text), Value{}, {0}},
    };
    for (const Case& c : cases) EXPECT_EQ(Encode(c.type, c.value), c.bytes) << c.what;
}

TEST(SandboxEncoding, TextCarriesAPointerAndIsCutToTheTextSize) {
    tds::Buffer b;
    tds::PutValue(b, Type(Kind::Text), Value::Text("abcdef").View(), tds::EncodeContext{sql::DateOrder::MDY, 4});
    ASSERT_EQ(b.size(), 1u + 16 + 8 + 4 + 4);
    EXPECT_EQ(b[0], 16);
    EXPECT_EQ(b[25], 4);
    EXPECT_EQ(std::string(b.end() - 4, b.end()), "abcd");
}

TEST(SandboxEncoding, ValuesThatDoNotFitFailInsteadOfWrapping) {
    EXPECT_EQ(ErrorOf(Type(Kind::SmallInt), Value::Int(40000)), 247);
    EXPECT_EQ(ErrorOf(Type(Kind::TinyInt), Value::Int(-1)), 247);
    EXPECT_EQ(ErrorOf(Type(Kind::Int), Value::Int(1LL << 40)), 247);
    EXPECT_EQ(ErrorOf(Type(Kind::Numeric, 0, 4, 2), Value::Text("123.4")), 247);
    EXPECT_EQ(ErrorOf(Type(Kind::SmallMoney), Value::Int(300000)), 247);
    EXPECT_EQ(ErrorOf(Type(Kind::SmallDateTime), Value::Text("2080-01-01")), 247);
    EXPECT_EQ(ErrorOf(Type(Kind::Int), Value::Text("12abc")), 249);
    EXPECT_EQ(ErrorOf(Type(Kind::DateTime), Value::Text("not a date")), 249);
    EXPECT_EQ(ErrorOf(Type(Kind::Money), Value::Blob("x")), 249);
}

TEST(SandboxEncoding, NumericMagnitudesRoundTrip) {
    const std::string digits = "12345678901234567890123456789012345678";  // 38 digits
    const auto be = sql::DigitsToBigEndian(digits, 16);
    ASSERT_TRUE(be.has_value());
    EXPECT_EQ(sql::BigEndianToDigits(be->data(), be->size()), digits);
    EXPECT_FALSE(sql::DigitsToBigEndian("256", 1).has_value());
    EXPECT_EQ(sql::NumericBytes(1), 2);
    EXPECT_EQ(sql::NumericBytes(9), 5);
    EXPECT_EQ(sql::NumericBytes(38), 17);
    const auto d = sql::DecimalFromText(" -0.5e1 ", 2);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(sql::FormatScaled(*d, 2), "-5.00");
    EXPECT_FALSE(sql::DecimalFromText("1.2.3", 2).has_value());
}

TEST(SandboxDecoding, ClientParametersAsFreeTdsSendsThem) {
    // EC len count | @in 00 usertype INTN(4) locale | @out 01 usertype CHAR(20) locale | D7 values
    const uint8_t msg[] = {0xEC, 0x1B, 0x00, 0x02, 0x00, 0x03, '@', 'i', 'n', 0x00, 0, 0, 0, 0, 0x26, 0x04, 0x00,
                           0x04, '@', 'o', 'u', 't', 0x01, 0, 0, 0, 0, 0x2F, 0x14, 0x00,
                           0xD7, 0x04, 0x07, 0x00, 0x00, 0x00, 0x03, 'a', 'b', 'c'};
    tds::Reader r(msg, sizeof msg);
    const auto params = tds::ReadParams(r);
    ASSERT_EQ(params.size(), 2u);
    EXPECT_EQ(params[0].name, "@in");
    EXPECT_FALSE(params[0].output);
    EXPECT_EQ(params[0].value.i, 7);
    EXPECT_EQ(params[1].name, "@out");
    EXPECT_TRUE(params[1].output);
    EXPECT_EQ(params[1].value.bytes, "abc");
    EXPECT_EQ(params[1].type.kind, Kind::Char);
    EXPECT_TRUE(r.AtEnd());

    // Cut anywhere, the same message is refused, never read past its end.
    for (size_t n = 0; n < sizeof msg; ++n) {
        tds::Reader cut(msg, n);
        EXPECT_THROW(tds::ReadParams(cut), tds::ProtocolError) << n;
    }
}

// SQLite hands money and wide numerics back as doubles; their limits must
// still be sent, and only values truly beyond them refused.
TEST(SandboxEncoding, MoneyAndNumericLimitsSurviveTheirDoubles) {
    const ColumnType money = Type(Kind::Money);
    EXPECT_EQ(Encode(money, Value::Real(922337203685477.5807)),
              (std::vector<uint8_t>{8, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Encode(money, Value::Real(-922337203685477.5808)),
              (std::vector<uint8_t>{8, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Encode(money, Value::Text("-922337203685477.5808")),
              (std::vector<uint8_t>{8, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(ErrorOf(money, Value::Text("922337203685477.5808")), 247);
    EXPECT_EQ(ErrorOf(money, Value::Real(922337203685478.0)), 247);

    const ColumnType wide = Type(Kind::Numeric, 0, 38, 0);
    const std::vector<uint8_t> nines = Encode(wide, Value::Text(std::string(38, '9')));
    EXPECT_EQ(Encode(wide, Value::Real(1e38)), nines);
    EXPECT_EQ(ErrorOf(wide, Value::Real(1.0001e38)), 247);
    EXPECT_EQ(ErrorOf(Type(Kind::Numeric, 0, 4, 2), Value::Real(100.0)), 247);
}
