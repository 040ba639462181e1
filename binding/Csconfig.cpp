#include "binding/Csconfig.h"

namespace Csconfig {

void Initialization() {}
void Finalization() {}

} // namespace Csconfig
