#include <gtest/gtest.h>

#include <functional>

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

} // namespace

TEST(TimeStamp, DayNumbersAndMilliseconds) {
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1900, 1, 1)).Date, 693596);
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1899, 12, 30)).Date, DateDelta);
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1, 1, 1)).Date, 1);
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(9999, 12, 31)).Date, 3652059);

    const TDateTime dt = EncodeDate(1900, 1, 1) + EncodeTime(14, 5, 9, 7);
    const TTimeStamp ts = DateTimeToTimeStamp(dt);
    EXPECT_EQ(ts.Date, 693596);
    EXPECT_EQ(ts.Time, 50709007);
    EXPECT_EQ(TimeStampToMSecs(ts), 693596.0 * 86400000.0 + 50709007.0);
    const TTimeStamp back = MSecsToTimeStamp(TimeStampToMSecs(ts));
    EXPECT_EQ(back.Date, ts.Date);
    EXPECT_EQ(back.Time, ts.Time);
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(ts), dt);
    EXPECT_EQ(TimeStampToMSecs(DateTimeToTimeStamp(EncodeDate(1, 1, 1))), 86400000.0);
}

TEST(TimeStamp, BeforeTheOriginAndRounding) {
    // -1.25 is 1899-12-29 06:00: the fraction's magnitude is the time.
    TTimeStamp ts = DateTimeToTimeStamp(-1.25);
    EXPECT_EQ(ts.Date, DateDelta - 1);
    EXPECT_EQ(ts.Time, 6 * 3600000);
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(ts), -1.25);
    uint16_t y, m, d;
    DecodeDate(-1.25, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);

    // Half a millisecond before midnight rounds into the next day.
    ts = DateTimeToTimeStamp(EncodeDate(2000, 1, 1) + (MSecsPerDay - 0.4) / MSecsPerDay);
    EXPECT_EQ(ts.Date, DateTimeToTimeStamp(EncodeDate(2000, 1, 2)).Date);
    EXPECT_EQ(ts.Time, 0);
}

TEST(TimeStamp, InvalidValuesRaise) {
    EXPECT_EQ(ConvertErrorOf([] { TimeStampToDateTime(TTimeStamp{-1, 5}); }), "'5.-1' is not a valid timestamp");
    EXPECT_EQ(ConvertErrorOf([] { TimeStampToDateTime(TTimeStamp{0, 0}); }), "'0.0' is not a valid timestamp");
    EXPECT_EQ(ConvertErrorOf([] { TimeStampToDateTime(TTimeStamp{MSecsPerDay, 1}); }),
              "'1.86400000' is not a valid timestamp");
    EXPECT_NE(ConvertErrorOf([] { MSecsToTimeStamp(-1); }), "");
    EXPECT_NE(ConvertErrorOf([] { MSecsToTimeStamp(1000); }), "");  // day 0
    EXPECT_NE(ConvertErrorOf([] { MSecsToTimeStamp(1e300); }), "");
}

TEST(DateTime, EveryDayOfTheRangeRoundTrips) {
    TDateTime expected = EncodeDate(1, 1, 1);
    int days = 0;
    for (uint16_t y = 1; y <= 9999; ++y)
        for (uint16_t m = 1; m <= 12; ++m)
            for (uint16_t d = 1; d <= DaysInMonth(y, m); ++d) {
                const TDateTime dt = EncodeDate(y, m, d);
                if (dt != expected) FAIL() << y << "-" << m << "-" << d << " encodes to " << dt;
                uint16_t yy, mm, dd;
                // Before 1899-12-30 the time of day is subtracted.
                DecodeDate(dt < 0 ? dt - 0.75 : dt + 0.75, yy, mm, dd);
                if (yy != y || mm != m || dd != d) FAIL() << y << "-" << m << "-" << d << " decodes differently";
                expected += 1;
                ++days;
            }
    EXPECT_EQ(days, 3652059);
    EXPECT_EQ(DayOfWeek(EncodeDate(2001, 1, 3)), 4);  // a Wednesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);     // a Monday
}

TEST(DateTime, EncodeRejectsInvalidParts) {
    TDateTime dt;
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, dt));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, dt));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, dt));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, dt));
    EXPECT_FALSE(TryEncodeDate(2001, 13, 1, dt));
    EXPECT_FALSE(TryEncodeDate(2001, 4, 31, dt));
    EXPECT_EQ(ConvertErrorOf([] { EncodeDate(2001, 2, 29); }), "Invalid argument to date encode");
    EXPECT_EQ(ConvertErrorOf([] { EncodeTime(24, 0, 0, 0); }), "Invalid argument to time encode");
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, dt));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, dt));
}

TEST(DateTime, EveryTimeOfDayRoundTrips) {
    for (uint16_t h = 0; h < 24; ++h)
        for (uint16_t n = 0; n < 60; ++n)
            for (uint16_t s = 0; s < 60; ++s) {
                const uint16_t ms = static_cast<uint16_t>((h * 37 + n * 11 + s) % 1000);
                uint16_t hh, nn, ss, zz;
                DecodeTime(EncodeDate(2024, 2, 29) + EncodeTime(h, n, s, ms), hh, nn, ss, zz);
                if (hh != h || nn != n || ss != s || zz != ms) FAIL() << h << ":" << n << ":" << s << "." << ms;
            }
}

TEST_F(SettingsTest, FormatDateTimePatterns) {
    const TDateTime dt = EncodeDate(2001, 1, 3) + EncodeTime(14, 5, 9, 7);  // a Wednesday
    const struct {
        const char* Pattern;
        const char* Text;
    } rows[] = {
        {"d", "3"},
        {"dd", "03"},
        {"ddd", "Wed"},
        {"dddd", "Wednesday"},
        {"ddddd", "1/3/2001"},
        {"dddddd", "Wednesday, January 3, 2001"},
        {"m", "1"},
        {"mm", "01"},
        {"mmm", "Jan"},
        {"mmmm", "January"},
        {"yy", "01"},
        {"yyyy", "2001"},
        {"h", "14"},
        {"hh", "14"},
        {"n", "5"},
        {"nn", "05"},
        {"s", "9"},
        {"ss", "09"},
        {"z", "7"},
        {"zzz", "007"},
        {"h:mm", "14:05"},  // m right after h is the minute
        {"hh:nn am/pm", "02:05 pm"},
        {"h AM/PM", "2 PM"},
        {"h a/p", "2 p"},
        {"hampm", "2PM"},
        {"t", "2:05 PM"},
        {"tt", "14:05:09"},
        {"c", "1/3/2001 14:05:09"},
        {"", "1/3/2001 14:05:09"},
        {"yyyy/mm/dd", "2001/01/03"},
        {"'yyyy' \"mm\" dd", "yyyy mm 03"},
        {"mm.dd.yyyy hh:nn:ss:", "01.03.2001 14:05:09:"},
        {"dd.mm.yyyy hh:nn:ss:", "03.01.2001 14:05:09:"},
        {"yyyy.dd.mm hh:nn:ss:", "2001.03.01 14:05:09:"},
        {"x#-", "x#-"},
    };
    for (const auto& r : rows) EXPECT_EQ(FormatDateTime(r.Pattern, dt), r.Text) << "pattern " << r.Pattern;

    EXPECT_EQ(FormatDateTime("c", EncodeDate(2001, 1, 3)), "1/3/2001");
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeDate(2001, 1, 3)), "12 am");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", EncodeDate(1, 1, 1)), "0001-01-01");

    FormatSettings.TimeSeparator = '.';
    FormatSettings.DateSeparator = '-';
    EXPECT_EQ(FormatDateTime("hh:nn:ss", dt), "14.05.09");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss:", dt), "03.01.2001 14.05.09.");
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd", dt), "2001-01-03");
    EXPECT_EQ(FormatDateTime("hh':'nn", dt), "14:05");
    EXPECT_EQ(DateTimeToStr(dt), "1-3-2001 14.05.09");
}

TEST_F(SettingsTest, ParsingDatesAndTimes) {
    const TDateTime day = EncodeDate(2001, 1, 3);
    EXPECT_DOUBLE_EQ(StrToDateTime("1/3/2001 14:05:09"), day + EncodeTime(14, 5, 9, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("1/3/2001"), day);
    EXPECT_DOUBLE_EQ(StrToDateTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime(" 1/3/2001 2:05:09.250 PM "), day + EncodeTime(14, 5, 9, 250));
    EXPECT_DOUBLE_EQ(StrToTime("12:00 AM"), 0.0);
    EXPECT_DOUBLE_EQ(StrToDate("1/3/2001"), day);
    EXPECT_EQ(ConvertErrorOf([] { StrToDateTime("13/45/2001"); }), "'13/45/2001' is not a valid date and time");
    EXPECT_EQ(ConvertErrorOf([] { StrToDateTime("1/3/2001 x"); }), "'1/3/2001 x' is not a valid date and time");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate("14:05"); }), "'14:05' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime("25:00"); }), "'25:00' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToDateTime(""); }), "'' is not a valid date and time");

    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
    FormatSettings.DateSeparator = '.';
    EXPECT_DOUBLE_EQ(StrToDate("03.01.2001"), day);
    FormatSettings.ShortDateFormat = "yyyy-mm-dd";
    FormatSettings.DateSeparator = '-';
    EXPECT_DOUBLE_EQ(StrToDate("2001-01-03"), day);
}

TEST(DateTime, NowIsToday) {
    const TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_LE(Date(), now);
    EXPECT_GT(Date() + 1, now);
}
