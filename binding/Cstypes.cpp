#include "binding/Cstypes.h"

namespace Cstypes {

// Stored values, so that callers can take their address like any property buffer.
const CS_INT CS_TRUE = 1;
const CS_INT CS_FALSE = 0;

void Initialization() {}
void Finalization() {}

} // namespace Cstypes
