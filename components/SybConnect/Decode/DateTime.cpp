// Date-times in the record format: day number times a day's milliseconds,
// plus the milliseconds of the day.
#include "binding/Cspublic.h"
#include "components/SybConnect/Decode/Decode.h"
#include "vcl/SysUtils.h"

namespace SybConnect::Decode {

using namespace Cstypes;

namespace {
// Internal, so the per-row decoder gets it inlined.
int64_t DaysFromCivil(int64_t Year, int64_t Month, int64_t Day) {
    // Months from March, so the leap day ends the year; floor division keeps
    // years before 1 and out-of-range months consistent.
    auto floorDiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const int64_t m0 = Month - 3;
    const int64_t y = Year + floorDiv(m0, 12);
    const int64_t m = m0 - floorDiv(m0, 12) * 12; // 0 = March .. 11 = February
    const int64_t era = floorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * m + 2) / 5 + Day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    // era * 146097 + doe counts days from 0000-03-01; 0001-01-01 is day 306.
    return era * 146097 + doe - 306 + 1;
}
} // namespace

int64_t DayNumber(int64_t Year, int64_t Month, int64_t Day) { return DaysFromCivil(Year, Month, Day); }

double DecodeDateTime(CS_CONTEXT* Context, CS_INT DataType, const uint8_t* Value) {
    if (!Context) throw vcl::Exception("Connection not defined");
    CS_DATEREC rec{};
    if (Cspublic::cs_dt_crack(Context, DataType, const_cast<uint8_t*>(Value), &rec) != CS_SUCCEED)
        throw vcl::Exception("cs_dt_crack failed.");
    const int64_t day = DaysFromCivil(rec.dateyear, int64_t{rec.datemonth} + 1, rec.datedmonth);
    const int64_t ms = ((int64_t{rec.datehour} * 60 + rec.dateminute) * 60 + rec.datesecond) * 1000 + rec.datemsecond;
    return static_cast<double>(day) * 86400000.0 + static_cast<double>(ms);
}

} // namespace SybConnect::Decode
