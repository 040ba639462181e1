// The shell's reading of \set values and its money text.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/kestrel-sql/Format.h"
#include "tools/kestrel-sql/Params.h"
#include "vcl/DateTime.h"

namespace {

using KestrelSql::ParseParamValue;
using KestrelSql::TParamValue;

TEST(ParamValues, EachFormGivesItsKind) {
    struct Case {
        const char* text;
        TParamValue::TKind kind;
    } cases[] = {
        {"42", TParamValue::Integer},           {"-7", TParamValue::Integer},
        {"9000000000", TParamValue::Integer},   {"1.5", TParamValue::Float},
        {"-.25", TParamValue::Float},           {"1e3", TParamValue::Float},
        {"'text'", TParamValue::String},        {"''", TParamValue::String},
        {"2020-01-31", TParamValue::DateTime},  {"2020-01-31 14:30", TParamValue::DateTime},
        {"NULL", TParamValue::Null},            {"  12  ", TParamValue::Integer},
        {"2020-01-31T14:30:05", TParamValue::DateTime}, {".5", TParamValue::Float},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseParamValue(c.text).Kind, c.kind) << c.text;
}

TEST(ParamValues, ValuesAreReadExactly) {
    EXPECT_EQ(ParseParamValue("9000000000").Int, 9000000000LL);
    EXPECT_EQ(ParseParamValue("'it''s'").Text, "it's");
    EXPECT_EQ(ParseParamValue("''").Text, "");
    EXPECT_DOUBLE_EQ(ParseParamValue("-.25").Real, -0.25);
    const TParamValue d = ParseParamValue("2020-01-31 14:30:15.5");
    EXPECT_EQ(KestrelSql::DateTimeText(d.Date), "2020-01-31 14:30:15.500");
    // Before 1899-12-30 the time part still moves forward within the day.
    EXPECT_EQ(KestrelSql::DateTimeText(ParseParamValue("1753-01-01 06:00").Date), "1753-01-01 06:00:00");
}

TEST(ParamValues, AnythingElseIsRefusedNamingTheText) {
    for (const char* bad : {"abc", "'open", "'a'b'", "2020-13-01", "2020-02-30", "1.2.3", "1e", "+", "-.",
                            "2020-01-31 14:3", "2020-01-31 14:30:00.1234", "2020-01-31 25:00", ""}) {
        try {
            ParseParamValue(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const std::invalid_argument& e) {
            if (*bad) {
                EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
            }
        }
    }
}

TEST(MoneyText, KeepsCentsAndUpToFourDecimals) {
    EXPECT_EQ(KestrelSql::MoneyText(1205000), "120.50");
    EXPECT_EQ(KestrelSql::MoneyText(12345678), "1234.5678");
    EXPECT_EQ(KestrelSql::MoneyText(-125000), "-12.50");
    EXPECT_EQ(KestrelSql::MoneyText(-1), "-0.0001");
    EXPECT_EQ(KestrelSql::MoneyText(INT64_MIN), "-922337203685477.5808");
}

} // namespace
