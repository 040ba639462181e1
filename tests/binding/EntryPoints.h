// The binding's entry-point variables as (name, address) in resolution order,
// so tests can check all 70 at once.
#pragma once

#include <string>
#include <utility>
#include <vector>

using TEntryList = std::vector<std::pair<std::string, void*>>;

TEntryList CsEntryPoints();
TEntryList CtEntryPoints();
