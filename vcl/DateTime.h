// Date-time values, time stamps, locale settings and the number and date-time
// text routines of the host class library.
#pragma once

#include <cstdint>
#include <string>

namespace vcl {

// Days since 1899-12-30; the fraction is the time of day. Negative values count
// days before 1899-12-30, the fraction still adding the time of day (its
// magnitude is the time, as in the framework).
using TDateTime = double;

// A date as a day number (day 1 is 0001-01-01) and the milliseconds since midnight.
struct TTimeStamp {
    int32_t Time;
    int32_t Date;
};

// Day number of 1899-12-30, the TDateTime origin.
constexpr int32_t DateDelta = 693594;
constexpr int32_t MSecsPerDay = 86400000;
constexpr int32_t SecsPerDay = 86400;
constexpr int32_t MinsPerDay = 1440;
constexpr int32_t HoursPerDay = 24;

// Locale settings the text routines read. One process-wide instance that
// applications and tests may change at any time (not synchronised).
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "m/d/yyyy";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "h:nn AMPM";
    std::string LongTimeFormat = "h:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string LongMonthNames[12] = {"January", "February", "March",     "April",
                                      "May",     "June",     "July",      "August",
                                      "September", "October", "November", "December"};
    std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
};

extern TFormatSettings FormatSettings;

// --- time stamps -----------------------------------------------------------

// Date = whole days + DateDelta, Time = the fraction in milliseconds, rounded
// (a fraction that rounds to a whole day carries into the next day).
TTimeStamp DateTimeToTimeStamp(TDateTime DateTime);
// Raises EConvertError "'%d.%d' is not a valid timestamp" (Date.Time) when
// Time is outside 0..MSecsPerDay-1 or Date is not positive.
TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp);
// Date * MSecsPerDay + Time: the milliseconds counted from day 0 (the day
// before 0001-01-01), the framework's "milliseconds since 0001-01-01". Returned as a double holding the exact integer, as the framework's Comp
// does; every value of the supported range is exact in a double.
double TimeStampToMSecs(const TTimeStamp& TimeStamp);
// The reverse; the same EConvertError for a value before day 1 or beyond the
// int32 day range.
TTimeStamp MSecsToTimeStamp(double MSecs);

// --- encoding and decoding --------------------------------------------------

bool IsLeapYear(uint16_t Year);
// 28..31; 0 for a month outside 1..12.
uint16_t DaysInMonth(uint16_t Year, uint16_t Month);

// Year 1..9999, Month 1..12, Day valid for the month.
bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Date);
// Hour 0..23, Min 0..59, Sec 0..59, MSec 0..999.
bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec, TDateTime& Time);
// Raise EConvertError "Invalid argument to date encode" / "Invalid argument to time encode".
TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day);
TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec);

// Dates outside the representable range (before 0001-01-01) decode to zeros.
void DecodeDate(TDateTime Date, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeTime(TDateTime Time, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime Date);

// Local wall-clock time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// --- text -------------------------------------------------------------------

// Pattern letters (case-insensitive): c (short date, then long time when not
// midnight), d dd ddd dddd ddddd (short date) dddddd (long date), m mm mmm mmmm
// (minutes instead of month right after h/hh), yy yyyy, h hh, n nn, s ss,
// z zzz, t (short time) tt (long time), am/pm a/p ampm, '/' the date
// separator, ':' the time separator, "..." and '...' literals. Any other
// character stands for itself. An empty pattern means "c".
std::string FormatDateTime(const std::string& Format, TDateTime DateTime);
// Short date, then the long time when the time part is not midnight.
std::string DateTimeToStr(TDateTime DateTime);
std::string DateToStr(TDateTime DateTime);
std::string TimeToStr(TDateTime DateTime);

// Parse a date in the order of ShortDateFormat (m, d, y) with DateSeparator;
// a year of one or two digits falls within 50 years of the current year
// (the framework's century window of 50); a missing year is the current year. A time
// is h[:n[:s[.z]]] with TimeSeparator and an optional AM/PM suffix. Failures
// raise EConvertError "'%s' is not a valid date" / "... time" / "... date and time".
TDateTime StrToDate(const std::string& S);
TDateTime StrToTime(const std::string& S);
TDateTime StrToDateTime(const std::string& S);
bool TryStrToDateTime(const std::string& S, TDateTime& Value);

// Shortest text of at most 15 significant digits that reads back as the same
// 15-digit value, no trailing zeros, exponent form ("1.5E20", "1E-5") only when
// the decimal exponent is below -4 or above 14; "NAN", "INF", "-INF". Uses FormatSettings.DecimalSeparator.
std::string FloatToStr(double Value);
// The same with '.' whatever the locale settings (SQL literals).
std::string FloatToStrDot(double Value);
// Blanks around the number are ignored; the decimal separator is
// FormatSettings.DecimalSeparator; an exponent is allowed. EConvertError
// "'%s' is not a valid floating point value" otherwise.
double StrToFloat(const std::string& S);
bool TryStrToFloat(const std::string& S, double& Value);
// Decimal with optional sign, or hexadecimal with '$' or 0x; blanks around it
// ignored. EConvertError "'%s' is not a valid integer value" otherwise, also
// when the value does not fit.
int StrToInt(const std::string& S);
int64_t StrToInt64(const std::string& S);
bool TryStrToInt(const std::string& S, int& Value);
bool TryStrToInt64(const std::string& S, int64_t& Value);
int StrToIntDef(const std::string& S, int Default);

} // namespace vcl
