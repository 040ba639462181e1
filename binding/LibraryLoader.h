// Shared steps of the two library bindings: find the library under the first of
// its file names that loads, and resolve one entry point with its check.
// Internal to the binding.
#pragma once

#include <cstddef>

#include "vcl/Platform.h"
#include "vcl/SysUtils.h"

namespace BindingLoader {

// Loads the first of the names that the platform loader accepts. A result below
// HINSTANCE_ERROR is a failure code, not a module (so 1..31 fail as 0 does);
// the result is then 0.
vcl::Platform::HMODULE LoadFirst(const char* const* fileNames, std::size_t count);

// Stores the address of `name` in `entry`; a missing one is an assertion failure
// naming the unit, the entry point and its position in the resolution order.
template <class TEntry>
void Resolve(vcl::Platform::HMODULE library, TEntry& entry, const char* name, int position, const char* unit) {
    entry = reinterpret_cast<TEntry>(vcl::Platform::GetProcAddress(library, name));
    if (entry == nullptr) vcl::AssertFail(name, unit, position);
}

} // namespace BindingLoader
