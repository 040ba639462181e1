// A table of ABI facts (sizes, offsets, signedness, constant values) keyed by a
// readable name. One table is built from the binding's headers, one from
// FreeTDS's; the two translation units never see each other's headers, because
// FreeTDS defines as macros the names the binding declares as constants.
#pragma once

#include <map>
#include <string>

using TAbiTable = std::map<std::string, long long>;

TAbiTable AbiTableOfBinding();
TAbiTable AbiTableOfFreeTds();
