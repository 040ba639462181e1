// Day numbers of the record format's date-times.
#include "components/SybConnect/Decode/Decode.h"

namespace SybConnect::Decode {

int64_t DayNumber(int64_t Year, int64_t Month, int64_t Day) {
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

} // namespace SybConnect::Decode
