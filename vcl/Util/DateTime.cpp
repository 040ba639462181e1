// Time stamps, calendar encoding and the clock.
#include "vcl/DateTime.h"

#include <cmath>
#include <ctime>

#include "vcl/SysUtils.h"

namespace vcl {

TFormatSettings FormatSettings;

namespace {

// Day number (day 1 = 0001-01-01) of 1970-01-01.
constexpr int64_t UnixDay = DateDelta + 25569;

// Days from 1970-01-01 in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

[[noreturn]] void InvalidTimeStamp(int64_t date, int64_t time) {
    throw EConvertError(Format("'%d.%d' is not a valid timestamp", {static_cast<long long>(date),
                                                                     static_cast<long long>(time)}));
}

void ValidateTimeStamp(const TTimeStamp& ts) {
    if (ts.Time < 0 || ts.Time >= MSecsPerDay || ts.Date <= 0) InvalidTimeStamp(ts.Date, ts.Time);
}

} // namespace

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime) {
    // The integer part is the day, the fraction's magnitude the time of day
    // (also for negative values), rounded to the millisecond.
    const double ms = std::round(DateTime * MSecsPerDay);
    if (!(std::fabs(ms) < 9.0e18)) throw EConvertError("Invalid argument to date encode");
    const int64_t total = static_cast<int64_t>(ms);
    const int64_t days = total / MSecsPerDay;
    int64_t date = DateDelta + days;
    if (date > INT32_MAX || date < INT32_MIN) throw EConvertError("Invalid argument to date encode");
    TTimeStamp ts;
    ts.Date = static_cast<int32_t>(date);
    ts.Time = static_cast<int32_t>((total < 0 ? -total : total) % MSecsPerDay);
    return ts;
}

TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp) {
    ValidateTimeStamp(TimeStamp);
    const double days = static_cast<double>(TimeStamp.Date) - DateDelta;
    const double frac = static_cast<double>(TimeStamp.Time) / MSecsPerDay;
    return days < 0 ? days - frac : days + frac;
}

double TimeStampToMSecs(const TTimeStamp& TimeStamp) {
    return static_cast<double>(static_cast<int64_t>(TimeStamp.Date) * MSecsPerDay + TimeStamp.Time);
}

TTimeStamp MSecsToTimeStamp(double MSecs) {
    const double whole = std::trunc(MSecs);
    if (!(whole >= 0 && whole < static_cast<double>(INT32_MAX) * MSecsPerDay))
        InvalidTimeStamp(static_cast<int64_t>(std::isfinite(whole) ? whole / MSecsPerDay : 0), 0);
    const int64_t total = static_cast<int64_t>(whole);
    TTimeStamp ts;
    ts.Date = static_cast<int32_t>(total / MSecsPerDay);
    ts.Time = static_cast<int32_t>(total % MSecsPerDay);
    ValidateTimeStamp(ts);
    return ts;
}

bool IsLeapYear(uint16_t Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

uint16_t DaysInMonth(uint16_t Year, uint16_t Month) {
    static constexpr uint16_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
}

bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        return false;
    const int64_t dayNumber = DaysFromCivil(Year, Month, Day) + UnixDay;
    Date = static_cast<double>(dayNumber - DateDelta);
    return true;
}

bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec, TDateTime& Time) {
    if (Hour >= 24 || Min >= 60 || Sec >= 60 || MSec >= 1000) return false;
    const int64_t ms = ((static_cast<int64_t>(Hour) * 60 + Min) * 60 + Sec) * 1000 + MSec;
    Time = static_cast<double>(ms) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day) {
    TDateTime d;
    if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec) {
    TDateTime t;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeDate(TDateTime Date, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
    Year = Month = Day = 0;
    TTimeStamp ts;
    try {
        ts = DateTimeToTimeStamp(Date);
    } catch (const EConvertError&) {
        return;
    }
    if (ts.Date <= 0) return;
    int64_t y;
    unsigned m, d;
    CivilFromDays(static_cast<int64_t>(ts.Date) - UnixDay, y, m, d);
    if (y > 65535) return;
    Year = static_cast<uint16_t>(y);
    Month = static_cast<uint16_t>(m);
    Day = static_cast<uint16_t>(d);
}

void DecodeTime(TDateTime Time, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
    Hour = Min = Sec = MSec = 0;
    TTimeStamp ts;
    try {
        ts = DateTimeToTimeStamp(Time);
    } catch (const EConvertError&) {
        return;
    }
    int32_t t = ts.Time;
    MSec = static_cast<uint16_t>(t % 1000);
    t /= 1000;
    Sec = static_cast<uint16_t>(t % 60);
    t /= 60;
    Min = static_cast<uint16_t>(t % 60);
    Hour = static_cast<uint16_t>(t / 60);
}

int DayOfWeek(TDateTime Date) {
    const int32_t d = DateTimeToTimeStamp(Date).Date;
    return ((d % 7) + 7) % 7 + 1;
}

TDateTime Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    const time_t secs = ts.tv_sec;
    localtime_r(&secs, &tm);
    const TDateTime d = EncodeDate(static_cast<uint16_t>(tm.tm_year + 1900), static_cast<uint16_t>(tm.tm_mon + 1),
                                   static_cast<uint16_t>(tm.tm_mday));
    // A leap second shows as 60; keep it inside the minute.
    const int sec = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return d + EncodeTime(static_cast<uint16_t>(tm.tm_hour), static_cast<uint16_t>(tm.tm_min),
                          static_cast<uint16_t>(sec), static_cast<uint16_t>(ts.tv_nsec / 1000000));
}

TDateTime Date() {
    return std::floor(Now());
}

TDateTime Time() {
    const TDateTime n = Now();
    return n - std::floor(n);
}

} // namespace vcl
