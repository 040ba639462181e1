// Date-time values in the server's date order.
#include "components/SybConnect/internal/SqlText.h"
#include "vcl/SysUtils.h"

namespace SybConnect {

namespace {

// By the Open Client date-order codes (CS_OPT_FMTMDY = 1 .. CS_OPT_FMTDYM = 6).
// The last ':' separates the seconds from the milliseconds appended after it.
const char* PatternOf(int DateFormat) {
    switch (DateFormat) {
    case 2: return "dd.mm.yyyy hh:nn:ss:";
    case 3: return "yyyy.mm.dd hh:nn:ss:";
    case 4: return "yyyy.dd.mm hh:nn:ss:";
    case 5: return "mm.yyyy.dd hh:nn:ss:";
    case 6: return "dd.yyyy.mm hh:nn:ss:";
    default: return "mm.dd.yyyy hh:nn:ss:";  // 1, unknown, or no connection yet
    }
}

} // namespace

std::string DateTimeAsString(vcl::TDateTime Value, int DateFormat) {
    uint16_t hour, min, sec, msec;
    vcl::DecodeTime(Value, hour, min, sec, msec);
    return vcl::FormatDateTime(PatternOf(DateFormat), Value) + vcl::IntToStr(msec);
}

} // namespace SybConnect
