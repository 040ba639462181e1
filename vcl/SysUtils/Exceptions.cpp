#include "vcl/SysUtils.h"

namespace vcl {

void AssertFail(const std::string& check, const std::string& unit, int line) {
    std::string text = "Assertion failure";
    if (!check.empty()) text += ": " + check;
    text += " (" + unit + ", line " + std::to_string(line) + ")";
    throw EAssertionFailed(text);
}

void Abort() { throw EAbort("Operation aborted"); }

} // namespace vcl
