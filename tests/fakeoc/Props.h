// Property storage shared by ct_con_props, ct_config and cs_config.
#pragma once

#include "tests/fakeoc/Internal.h"

namespace FakeOC::Detail {

// Logs handle, action, property, value, buflen, outlen (the value on CS_SET: the
// text or the 32-bit integer passed).
void LogPropArgs(CallScope& c, const void* handle, int32_t action, int32_t property, const void* buffer,
                 int32_t buflen, const int32_t* outlen);

// CS_SET, CS_GET, CS_CLEAR on a property map; anything else fails.
int32_t PropAction(CallScope& c, std::unordered_map<int32_t, Prop>& props, int32_t action, int32_t property,
                   void* buffer, int32_t buflen, int32_t* outlen);

} // namespace FakeOC::Detail
