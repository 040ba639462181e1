// Date strings as ASE reads them, in a session's date order, and the wire forms
// of datetime (days since 1900-01-01 + 1/300 s ticks) and smalldatetime.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sandbox::sql {

// The numbers are those of the date-format option on the wire.
enum class DateOrder : uint8_t { MDY = 1, DMY = 2, YMD = 3, YDM = 4, MYD = 5, DYM = 6 };

std::optional<DateOrder> DateOrderFromName(std::string_view name);

struct DateTimeParts {
    int year = 1900, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millis = 0;
};

struct ParsedDate {
    DateTimeParts parts;
    bool hasDate = false;        // a date part was written (not a bare time)
    bool separatedDate = false;  // a numeric date with separators or a month name
};

// Accepts ISO (1990-04-15[ T]10:30[:00[.123]]), numeric dates with '/', '-' or
// '.' read in `order` unless the first part has four digits, unseparated
// yyyymmdd / yymmdd, month names (Apr 15 1990, 15 April 1990, 1990 Apr 15),
// times with optional am/pm. Nothing else; no trailing text.
std::optional<ParsedDate> ParseDateTime(std::string_view text, DateOrder order);

// "YYYY-MM-DD HH:MM:SS.mmm", the form the sandbox stores.
std::string FormatCanonical(const DateTimeParts& p);

int64_t DaysSince1900(int year, int month, int day);
DateTimeParts PartsFromDays(int64_t days, int64_t ticks);  // ticks in 1/300 s

struct WireDateTime {
    int32_t days;
    uint32_t ticks;
};
WireDateTime ToWireDateTime(const DateTimeParts& p);
// smalldatetime: nullopt when outside 1900-01-01 .. 2079-06-06 23:59.
std::optional<std::pair<uint16_t, uint16_t>> ToWireSmallDateTime(const DateTimeParts& p);

}  // namespace sandbox::sql
