// The result walk of an execution and the dealing out of its row results.
#include <memory>

#include "binding/Ctpublic.h"
#include "components/SybConnect/Query.h"
#include "components/SybConnect/Query/Internal.h"

namespace SybConnect {

using namespace Cstypes;
using QueryInternal::ExecFailed;

void TSybQuery::ResultWalk() {
    TSybConnect& connection = *FConnectionInUse;
    CS_INT type = 0;
    CS_RETCODE rc;
    while ((rc = Ctpublic::ct_results(FCommand, &type)) == CS_SUCCEED) {
        connection.CheckMessages();
        switch (type) {
        case CS_ROW_RESULT:
            DealOutRowResult();
            break;
        case CS_PARAM_RESULT:
            ReadParamResult();
            break;
        case CS_STATUS_RESULT:
            ReadStatusResult();
            break;
        case CS_COMPUTE_RESULT:
        case CS_CURSOR_RESULT:
            // Rows nobody reads would block the next ct_results: skip them.
            if (Ctpublic::ct_cancel(nullptr, FCommand, CS_CANCEL_CURRENT) != CS_SUCCEED)
                ExecFailed("Result pending operation failed");
            break;
        default:
            break;
        }
    }
    if (rc != CS_END_RESULTS) ExecFailed("Result pending operation failed");
    connection.CheckMessages();
}

void TSybQuery::DealOutRowResult() {
    const int32_t n = FRowResultCounter;
    TSybQuery* receiver = nullptr;
    std::unique_ptr<TSybQuery> temporary;
    if (n == FResultSet) {
        receiver = this;
    } else {
        for (TSybQuery* q : *FResultSetQueries)
            if (q->FResultSet == n) {
                receiver = q;
                break;
            }
    }
    if (!receiver) {
        auto* created = new TSybQuery(this);
        if (!FOnNewDataSet) temporary.reset(created);
        created->SetMaster(this);
        created->SetResultSet(static_cast<TResultSetNo>(n & 0xFF));
        receiver = created;
        // A query the handler accepted stays attached even when it raises.
        if (FOnNewDataSet) FOnNewDataSet(created);
    }
    ++FRowResultCounter;

    if (receiver == this) {
        FetchResultSet();
        return;
    }
    if (receiver->Active()) {
        // Still open from before: it keeps its rows, and the walk goes on.
        if (Ctpublic::ct_cancel(nullptr, FCommand, CS_CANCEL_CURRENT) != CS_SUCCEED)
            ExecFailed("Result pending operation failed");
        return;
    }
    receiver->FCommand = FCommand;
    try {
        receiver->Open();
    } catch (...) {
        receiver->FCommand = nullptr;
        throw;
    }
    receiver->FCommand = nullptr;
    // temporary: destroyed here, leaving the list; its rows go with it.
}

void TSybQuery::ReadStatusResult() {
    CS_DATAFMT format{};
    format.datatype = CS_INT_TYPE;
    format.maxlength = sizeof(CS_INT);
    if (Ctpublic::ct_bind(FCommand, 1, &format, &FReturnStatus, nullptr, nullptr) != CS_SUCCEED)
        ExecFailed("ct_bind failed");
    CS_RETCODE rc;
    while ((rc = Ctpublic::ct_fetch(FCommand, CS_UNUSED, CS_UNUSED, CS_UNUSED, nullptr)) == CS_SUCCEED) {
    }
    // Rows left unread would make the next ct_results fail without a reason.
    if (rc != CS_END_DATA) ExecFailed("Result fetching failed");
}

} // namespace SybConnect
