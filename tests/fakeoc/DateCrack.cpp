// The default cs_dt_crack: CS_DATETIME and CS_DATETIME4 into their parts.
#include "tests/fakeoc/Internal.h"

namespace FakeOC {

namespace {

constexpr int64_t TicksPerDay = 300LL * 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

// Days from 1970-01-01 in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = FloorDiv(y, 400);
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

DateParts FromDaysSince1900(int64_t days, int64_t msOfDayTicks, bool ticksIn300ths) {
    int64_t z = days + DaysFromCivil(1900, 1, 1);
    int64_t era = FloorDiv(z + 719468, 146097);
    int64_t doe = z + 719468 - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t d = doy - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    int64_t y = yoe + era * 400 + (m <= 2);

    DateParts p;
    p.Year = static_cast<int32_t>(y);
    p.Month = static_cast<int32_t>(m - 1);
    p.DayOfMonth = static_cast<int32_t>(d);
    p.DayOfYear = static_cast<int32_t>(z - DaysFromCivil(y, 1, 1) + 1);
    p.WeekDay = static_cast<int32_t>(FloorMod(z + 4, 7)); // 1970-01-01 was a Thursday
    if (ticksIn300ths) {
        int64_t t = msOfDayTicks;
        p.Hour = static_cast<int32_t>(t / (300 * 3600));
        p.Minute = static_cast<int32_t>(t / (300 * 60) % 60);
        p.Second = static_cast<int32_t>(t / 300 % 60);
        p.Millisecond = static_cast<int32_t>((t % 300 * 1000 + 150) / 300);
    } else {
        p.Hour = static_cast<int32_t>(msOfDayTicks / 60);
        p.Minute = static_cast<int32_t>(msOfDayTicks % 60);
    }
    return p;
}

} // namespace

DateParts CrackDateTime(int32_t days, int32_t ticks) {
    // Ticks past a day roll into the next; a real server never sends them.
    int64_t d = days + FloorDiv(ticks, TicksPerDay);
    return FromDaysSince1900(d, FloorMod(ticks, TicksPerDay), true);
}

DateParts CrackDateTime4(uint16_t days, uint16_t minutes) {
    int64_t d = days + minutes / 1440;
    return FromDaysSince1900(d, minutes % 1440, false);
}

} // namespace FakeOC
