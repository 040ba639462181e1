// What the connection needs of the query component. The query side replaces
// these bodies when it lands.
#include "components/SybConnect.h"

namespace SybConnect {

// A temporary query named after this connection runs the statement, so it
// finds this connection through the registry and its errors arrive as usual.
void TSybConnect::ExecUseStatement(const std::string&) {
    throw vcl::Exception("Changing the database needs the query component, not built yet");
}

TSybMessageProc TSybConnect::ActiveQueryOnServerMessage() const { return {}; }
TSybMessageProc TSybConnect::ActiveQueryOnServerError() const { return {}; }

} // namespace SybConnect
