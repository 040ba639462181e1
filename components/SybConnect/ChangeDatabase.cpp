#include "components/SybConnect.h"

namespace SybConnect {

void TSybConnect::ChangeDatabase() {
    if (vcl::Trim(FDatabase).empty()) return;
    ExecUseStatement("use " + FDatabase);
}

} // namespace SybConnect
