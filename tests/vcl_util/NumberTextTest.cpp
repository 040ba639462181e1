#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "Settings.h"
#include "vcl/DateTime.h"
#include "vcl/SysUtils.h"

using namespace vcl;

namespace {

std::string ConvertErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "";
}

#ifdef KESTREL_TEST_LOCPATH
// Puts the process's numeric C locale on the test locale built at configure
// time (decimal point U+066B) for the scope, then back.
class TProcessLocale {
public:
    TProcessLocale() : FPrevious(std::setlocale(LC_NUMERIC, nullptr)) {
        setenv("LOCPATH", KESTREL_TEST_LOCPATH, 1);
        FActive = std::setlocale(LC_NUMERIC, "kestrel_radix") != nullptr;
    }
    ~TProcessLocale() {
        std::setlocale(LC_NUMERIC, FPrevious.c_str());
        unsetenv("LOCPATH");
    }
    bool Active() const { return FActive; }

private:
    std::string FPrevious;
    bool FActive = false;
};
#endif

} // namespace

TEST(FloatToStr, GeneralFormatOf15Digits) {
    const struct {
        double Value;
        const char* Text;
    } rows[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.0, "1"},
        {100.0, "100"},
        {-1.5, "-1.5"},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {99999999999999.9, "99999999999999.9"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {-2.5e-7, "-2.5E-7"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1.23e-10, "1.23E-10"},
        {9.9999999999999999e14, "1E15"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {NAN, "NAN"},
        {INFINITY, "INF"},
        {-INFINITY, "-INF"},
    };
    for (const auto& r : rows) EXPECT_EQ(FloatToStr(r.Value), r.Text) << r.Text;
}

TEST_F(SettingsTest, FloatTextFollowsTheDecimalSeparator) {
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(2.5), "2,5");
    EXPECT_EQ(FloatToStr(1.5e20), "1,5E20");
    EXPECT_EQ(FloatToStrDot(2.5), "2.5");
    EXPECT_DOUBLE_EQ(StrToFloat("2,5"), 2.5);
    EXPECT_EQ(ConvertErrorOf([] { StrToFloat("2.5"); }), "'2.5' is not a valid floating point value");
}

TEST_F(SettingsTest, FloatTextIgnoresTheProcessLocale) {
#ifndef KESTREL_TEST_LOCPATH
    GTEST_SKIP() << "no localedef to build the test locale";
#else
    TProcessLocale locale;
    ASSERT_TRUE(locale.Active());
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    ASSERT_EQ(std::string(probe), "2\xD9\xAB" "5"); // the locale is in force
    const struct {
        double Value;
        const char* Text;
    } rows[] = {{2.5, "2.5"}, {-1.0 / 3, "-0.333333333333333"}, {1.5e20, "1.5E20"}, {-2.5e-7, "-2.5E-7"},
                {123456.789, "123456.789"}, {1.7976931348623157e308, "1.79769313486232E308"}};
    for (const auto& r : rows) EXPECT_EQ(FloatToStrDot(r.Value), r.Text) << r.Text;
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(2.5), "2,5");
    EXPECT_EQ(FloatToStr(-2.5e-7), "-2,5E-7");
    EXPECT_DOUBLE_EQ(StrToFloat("2,5"), 2.5);
#endif
}

TEST(StrToFloat, AcceptsNumbersOnly) {
    EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" -3e2 "), -300.0);
    EXPECT_DOUBLE_EQ(StrToFloat("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("7."), 7.0);
    EXPECT_DOUBLE_EQ(StrToFloat("1.5E-3"), 0.0015);
    for (const char* bad : {"", " ", "abc", "1.2.3", "1e", ".", "-", "1 2", "1e400", "0x10"})
        EXPECT_EQ(ConvertErrorOf([&] { StrToFloat(bad); }),
                  std::string("'") + bad + "' is not a valid floating point value");
    // Round trip of the 15-digit text.
    for (double v : {0.1, 1.0 / 7, 123.456, -9.87654321e-12})
        EXPECT_EQ(FloatToStr(StrToFloat(FloatToStr(v))), FloatToStr(v));
}

TEST(StrToInt, DecimalAndHex) {
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt(" -7 "), -7);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToIntDef("x", 9), 9);
    for (const char* bad : {"", "12a", "2147483648", "1.5", "--1", "$", "0x", "- 1"})
        EXPECT_EQ(ConvertErrorOf([&] { StrToInt(bad); }), std::string("'") + bad + "' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf([] { StrToInt64("9223372036854775808"); }),
              "'9223372036854775808' is not a valid integer value");
}
