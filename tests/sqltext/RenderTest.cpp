// Parameter values as literals: every supported type, the date orders, the
// unsupported types, and values that cannot be sent safely.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "QueryText.h"
#include "components/SybConnect/internal/SqlText.h"
#include "vcl/SysUtils.h"

using namespace vcl;
using SybConnect::ParamStrValue;

namespace {

struct TLiteralCase {
    const char* What;
    std::function<void(TParam&)> Set;
    std::string Literal;
};

std::string Render(const std::function<void(TParam&)>& set, int dateFormat = 0) {
    TParams list;
    TParam* p = list.CreateParam(ftUnknown, "p", ptInput);
    set(*p);
    return ParamStrValue(*p, dateFormat);
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no exception";
}

const TDateTime Moment = EncodeDate(2001, 1, 3) + EncodeTime(14, 5, 9, 7);

} // namespace

TEST(SqlLiteral, ByDataType) {
    const std::string bytes("\x00\xAB\xFF", 3);
    const std::vector<TLiteralCase> cases = {
        {"string", [](TParam& p) { p.SetAsString("it's \"x\" \\ -- /* :a \r\n"); },
         "'it''s \"x\" \\ -- /* :a \r\n'"},
        {"empty string", [](TParam& p) { p.SetAsString(""); }, "''"},
        {"memo", [](TParam& p) { p.SetAsMemo("''"); }, "''''''"},
        {"bytes as string", [](TParam& p) { p.SetDataType(ftBytes); p.SetValue(Variant("a'b")); }, "'a''b'"},
        {"smallint", [](TParam& p) { p.SetAsSmallInt(-32768); }, "-32768"},
        {"integer", [](TParam& p) { p.SetAsInteger(2147483647); }, "2147483647"},
        {"boolean true", [](TParam& p) { p.SetAsBoolean(true); }, "-1"},
        {"boolean false", [](TParam& p) { p.SetAsBoolean(false); }, "0"},
        {"float", [](TParam& p) { p.SetAsFloat(1.5); }, "1.5"},
        {"float, 15 digits", [](TParam& p) { p.SetAsFloat(0.1 + 0.2); }, "0.3"},
        {"float, rounded", [](TParam& p) { p.SetAsFloat(2.0 / 3.0); }, "0.666666666666667"},
        {"float, negative", [](TParam& p) { p.SetAsFloat(-1234.5); }, "-1234.5"},
        {"float, negative zero", [](TParam& p) { p.SetAsFloat(-0.0); }, "0"},
        {"float, 15 integer digits", [](TParam& p) { p.SetAsFloat(123456789012345.0); }, "123456789012345"},
        {"float, large", [](TParam& p) { p.SetAsFloat(1234567890123456789.0); }, "1.23456789012346E18"},
        {"float, 1E15", [](TParam& p) { p.SetAsFloat(1e15); }, "1E15"},
        {"float, small", [](TParam& p) { p.SetAsFloat(0.0001); }, "0.0001"},
        {"float, smaller", [](TParam& p) { p.SetAsFloat(-1.5e-5); }, "-1.5E-5"},
        {"float, tiny", [](TParam& p) { p.SetAsFloat(5e-324); }, "4.94065645841247E-324"},
        {"currency", [](TParam& p) { p.SetAsCurrency(12.3456); }, "12.3456"},
        {"date-time", [](TParam& p) { p.SetAsDateTime(Moment); }, "\"01.03.2001 14:05:09:7\""},
        {"blob", [&](TParam& p) { p.SetAsBlob(bytes); }, "0x00ABFF"},
        {"empty blob", [](TParam& p) { p.SetAsBlob(""); }, "0x"},
        {"null string", [](TParam& p) { p.SetAsString("x"); p.Clear(); }, "NULL"},
        {"null blob", [](TParam& p) { p.SetDataType(ftBlob); p.SetValue(Variant::Null()); }, "NULL"},
        {"unassigned", [](TParam&) {}, "NULL"},
    };
    for (const TLiteralCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(Render(c.Set), c.Literal);
    }
}

TEST(SqlLiteral, FloatIgnoresTheFrameworkDecimalSeparator) {
    const char saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(1.5), "1,5");  // the setting is in force
    EXPECT_EQ(Render([](TParam& p) { p.SetAsFloat(1.5); }), "1.5");
    EXPECT_EQ(Render([](TParam& p) { p.SetAsCurrency(-2.25e20); }), "-2.25E20");
    FormatSettings.DecimalSeparator = saved;
}

TEST(SqlLiteral, FloatIgnoresTheProcessLocale) {
    const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8",
                                "ru_RU.UTF-8", "nl_NL.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8"};
    const char* chosen = nullptr;
    for (const char* name : candidates) {
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    }
    if (!chosen) GTEST_SKIP() << "no locale with a decimal comma is installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",") << chosen;
    EXPECT_EQ(Render([](TParam& p) { p.SetAsFloat(1.5); }), "1.5");
    EXPECT_EQ(Render([](TParam& p) { p.SetAsFloat(-1.5e-5); }), "-1.5E-5");
    std::setlocale(LC_ALL, "C");
}

TEST(SqlLiteral, DateTimeInEveryDateOrder) {
    const std::vector<std::pair<int, std::string>> orders = {
        {1, "01.03.2001 14:05:09:7"}, {2, "03.01.2001 14:05:09:7"}, {3, "2001.01.03 14:05:09:7"},
        {4, "2001.03.01 14:05:09:7"}, {5, "01.2001.03 14:05:09:7"}, {6, "03.2001.01 14:05:09:7"},
        {0, "01.03.2001 14:05:09:7"}, {7, "01.03.2001 14:05:09:7"}, {-1, "01.03.2001 14:05:09:7"},
    };
    for (const auto& [order, text] : orders) {
        SCOPED_TRACE(order);
        EXPECT_EQ(SybConnect::DateTimeAsString(Moment, order), text);
        EXPECT_EQ(Render([](TParam& p) { p.SetAsDateTime(Moment); }, order), "\"" + text + "\"");
    }
    // Milliseconds without leading zeros, and a value that rounds into the next day.
    EXPECT_EQ(SybConnect::DateTimeAsString(EncodeDate(1999, 12, 31), 3), "1999.12.31 00:00:00:0");
    EXPECT_EQ(SybConnect::DateTimeAsString(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 999), 3),
              "1999.12.31 23:59:59:999");
    EXPECT_EQ(SybConnect::DateTimeAsString(EncodeDate(1999, 12, 31) + 86399.9996 / 86400, 3),
              "2000.01.01 00:00:00:0");
    EXPECT_EQ(SybConnect::DateTimeAsString(EncodeDate(1066, 10, 14), 2), "14.10.1066 00:00:00:0");

    // Every ':' of the pattern is the locale's time separator.
    const char saved = FormatSettings.TimeSeparator;
    FormatSettings.TimeSeparator = '.';
    EXPECT_EQ(SybConnect::DateTimeAsString(Moment, 2), "03.01.2001 14.05.09.7");
    FormatSettings.TimeSeparator = saved;
}

TEST(SqlLiteral, UnsupportedTypesRaiseUnlessNull) {
    const TFieldType unsupported[] = {ftUnknown, ftWord,    ftBCD,       ftDate,     ftTime,
                                      ftVarBytes, ftAutoInc, ftGraphic,  ftFmtMemo,  ftTypedBinary,
                                      ftCursor,  ftFixedChar, ftWideString, ftLargeint, ftDataSet};
    for (const TFieldType type : unsupported) {
        SCOPED_TRACE(static_cast<int>(type));
        TParams list;
        TParam* p = list.CreateParam(ftUnknown, "p", ptInput);
        p->SetValue(Variant(1));
        p->SetDataType(type);
        EXPECT_EQ(ErrorOf([&] { ParamStrValue(*p, 1); }), "Param datatype unsupported");
        p->Clear();
        EXPECT_EQ(ParamStrValue(*p, 1), "NULL");
    }
    // Through the text: nothing is returned, and the same parameter null renders NULL.
    TQueryText q;
    q.SetLines("select :d, :t");
    q.Params.Items(0)->SetAsDate(Moment);
    q.Params.Items(1)->SetAsTime(Moment);
    EXPECT_EQ(ErrorOf([&] { q.Text(); }), "Param datatype unsupported");
    q.Params.Items(0)->Clear();
    q.Params.Items(1)->Clear();
    EXPECT_EQ(q.Text(), "select NULL, NULL\r\n");
}

// Values whose text could not be sent as what they are: refused with the
// parameter's name, never rendered half or as something else.
TEST(SqlLiteral, UnsafeValuesAreRefusedNamingTheParameter) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<std::function<void(TParam&)>, std::string>> cases = {
        {[](TParam& p) { p.SetAsString(std::string("a\0'; drop table t --", 20)); },
         "Param 'v' cannot be sent: the string value holds a NUL character"},
        {[](TParam& p) { p.SetAsMemo(std::string(1, '\0')); },
         "Param 'v' cannot be sent: the string value holds a NUL character"},
        {[](TParam& p) { p.SetDataType(ftBytes); p.SetValue(Variant(std::string("\x01\x00", 2))); },
         "Param 'v' cannot be sent: the string value holds a NUL character"},
        {[](TParam& p) { p.SetAsFloat(std::nan("")); },
         "Param 'v' cannot be sent: the float value is not a finite number"},
        {[&](TParam& p) { p.SetAsCurrency(-inf); },
         "Param 'v' cannot be sent: the float value is not a finite number"},
        {[](TParam& p) { p.SetAsDateTime(-693594.5); },  // before 0001-01-01
         "Param 'v' cannot be sent: the date-time value is out of range"},
        {[](TParam& p) { p.SetAsDateTime(3e6); },  // beyond 9999-12-31
         "Param 'v' cannot be sent: the date-time value is out of range"},
        {[](TParam& p) { p.SetAsDateTime(1e300); },
         "Param 'v' cannot be sent: the date-time value is out of range"},
    };
    for (const auto& [set, message] : cases) {
        SCOPED_TRACE(message);
        TQueryText q;
        q.SetLines("select :ok, :v");
        q.Params.Items(0)->SetAsInteger(1);
        set(*q.Params.Items(1));
        EXPECT_EQ(ErrorOf([&] { q.Text(); }), message);
    }

    // A time separator that would close the double-quoted literal.
    const char saved = FormatSettings.TimeSeparator;
    FormatSettings.TimeSeparator = '"';
    EXPECT_EQ(ErrorOf([] { Render([](TParam& p) { p.SetAsDateTime(Moment); }); }),
              "Param 'p' cannot be sent: the time separator cannot stand in a date literal");
    FormatSettings.TimeSeparator = saved;

    // A number type never carries text into the statement.
    EXPECT_NE(ErrorOf([] {
                  Render([](TParam& p) {
                      p.SetDataType(ftInteger);
                      p.SetValue(Variant("1; drop table t"));
                  });
              }),
              "no exception");
}
