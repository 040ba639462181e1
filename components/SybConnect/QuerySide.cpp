// What the connection needs of the query component.
#include <memory>

#include "components/SybConnect.h"
#include "components/SybConnect/Query.h"

namespace SybConnect {

// A temporary query named after this connection runs the statement, so it
// finds this connection through the registry and its errors arrive as usual.
void TSybConnect::ExecUseStatement(const std::string& sql) {
    auto query = std::make_unique<TSybQuery>(nullptr);
    query->SetDatabaseName(FDatabaseName);
    query->GetSQL()->SetText(sql);
    query->ExecSQL();
}

TSybMessageProc TSybConnect::ActiveQueryOnServerMessage() const {
    return FActiveQuery ? FActiveQuery->GetOnServerMessage() : TSybMessageProc{};
}

TSybMessageProc TSybConnect::ActiveQueryOnServerError() const {
    return FActiveQuery ? FActiveQuery->GetOnServerError() : TSybMessageProc{};
}

} // namespace SybConnect
