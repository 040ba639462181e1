// Opening and executing: OpenCursor, the two roles of InternalExec, ExecSQL,
// the Active writer, and the clean-up that every execution runs.
#include "binding/Ctpublic.h"
#include "components/SybConnect/Query.h"
#include "components/SybConnect/Query/Internal.h"
#include "vcl/Forms.h"
#include "vcl/System.h"

namespace SybConnect {

using namespace Cstypes;
using QueryInternal::EExecFailure;
using QueryInternal::ExecFailed;

// What one execution holds and gives back, in the order it gives it back:
// the busy cursor, the command, the ActiveQuery slot, the lock. Restores
// all of them on every path.
class TSybExecution {
public:
    TSybExecution(TSybQuery& query, TSybConnect& connection, bool external)
        : FQuery(query), FConnection(connection), FExternal(external) {
        FConnection.GetLock().Enter();
        if (!FExternal) {
            // An execution nested in this thread (the "use" of a login that this
            // execution started) hands the slot back when it ends.
            FPreviousActive = FConnection.GetActiveQuery();
            FConnection.SetActiveQuery(&FQuery);
        }
    }
    TSybExecution(const TSybExecution&) = delete;
    TSybExecution& operator=(const TSybExecution&) = delete;

    ~TSybExecution() {
        if (FBusy) vcl::Screen()->SetCursor(vcl::crDefault);
        if (FQuery.FCommand) Ctpublic::ct_cmd_drop(FQuery.FCommand);
        FQuery.FCommand = nullptr;
        FQuery.FCommandConnection = nullptr;
        if (!FExternal) FConnection.SetActiveQuery(FPreviousActive);
        FConnection.GetLock().Leave();
    }

    // A login run from here ends with its own "use" execution, which gives
    // the slot back to us; take it again all the same.
    void Reclaim() {
        if (!FExternal) FConnection.SetActiveQuery(&FQuery);
    }

    void Busy() {
        if (vcl::Screen()->Cursor() != vcl::crSQLWait) vcl::Screen()->SetCursor(vcl::crSQLWait);
        FBusy = true;
    }

    // The failure path: cancel what the server still sends, then read what
    // the library queued for the failed step so that the next execution does
    // not report it. Its text joins a refused step's message.
    void Failed(EExecFailure* failure) {
        if (FQuery.FCommand && FQuery.CommandConnectionLive())
            Ctpublic::ct_cancel(nullptr, FQuery.FCommand, CS_CANCEL_ALL);
        std::string diagnostics;
        try {
            FConnection.CheckMessages();
        } catch (const std::exception& e) {
            diagnostics = vcl::Trim(e.what());
        } catch (...) {
        }
        // A server that vanished leaves no message; the library only marks the
        // login dead. Say so, and release it so the next execution logs in anew.
        if (diagnostics.empty() && FConnection.ReleaseIfDead())
            diagnostics = vcl::Format("The connection to server \"%s\" was lost", {FConnection.GetServerName()});
        if (failure && !diagnostics.empty()) failure->SetMessage(vcl::Trim(failure->Message()) + ";\n" + diagnostics);
    }

private:
    TSybQuery& FQuery;
    TSybConnect& FConnection;
    bool FExternal;
    TSybQuery* FPreviousActive = nullptr;
    bool FBusy = false;
};

TSybConnect* TSybQuery::GetCTLibConnectionByName(const std::string& Name) { return FindConnectionByName(Name, this); }

bool TSybQuery::CommandConnectionLive() const {
    const TSybQuery& executing = FMaster ? *FMaster : *this;
    const TSybConnect* connection = executing.FConnectionInUse;
    return connection && executing.FCommandConnection && connection->GetConnected() &&
           connection->GetConnection() == executing.FCommandConnection;
}

void TSybQuery::OpenCursor(bool /*InfoQuery*/) {
    // Every open executes in full, also when the framework asks only for the
    // field definitions.
    if (FCursorOpen && !FMaster) return;
    SybDataSet::TSybDataSet::OpenCursor(false);
    if (!FCursorOpen) CloseCursor();
}

void TSybQuery::SetActive(bool Value) {
    SybDataSet::TSybDataSet::SetActive(Value);
    if (!Value && FResultSetQueries) {
        const std::vector<TSybQuery*> attached = *FResultSetQueries;
        for (TSybQuery* q : attached) q->Close();
    }
}

void TSybQuery::ExecSQL() {
    Close();
    Open();
    Close();
}

void TSybQuery::InternalHandleException() { vcl::Application()->HandleException(this); }

void TSybQuery::InternalExec() {
    if (FMaster)
        ExecuteAsResultSetQuery();
    else
        ExecuteStatement();
}

void TSybQuery::ExecuteAsResultSetQuery() {
    // Only the master's execution hands out a command to read from.
    if (!FCommand)
        throw vcl::Exception(vcl::Format(
            "Query \"%s\" receives result set %d of its master and cannot be opened on its own",
            {Name(), static_cast<int>(FResultSet)}));
    try {
        FetchResultSet();
    } catch (...) {
        if (CommandConnectionLive()) Ctpublic::ct_cancel(nullptr, FCommand, CS_CANCEL_ALL);
        throw;
    }
}

void TSybQuery::ExecuteStatement() {
    FReturnStatus = 0;
    FRowResultCounter = 0;
    if (vcl::Trim(FSQL->GetText()).empty()) throw vcl::Exception("No SQL statement available");

    const bool external = vcl::IsLibrary && FExternalConnect;
    TSybConnect* connection = external ? FExternalConnect : FindConnection(FDatabaseName);
    FConnectionInUse = connection;
    if (!connection)
        throw vcl::Exception(vcl::Format("Sybase connection named \"%s\" not found", {FDatabaseName}));

    TSybExecution execution(*this, *connection, external);
    if (!connection->GetConnected()) {
        connection->Connect();
        execution.Reclaim();
        if (!connection->GetConnected())
            throw vcl::Exception(vcl::Format("Could not open sybase connection \"%s\"", {FDatabaseName}));
    }
    execution.Busy();
    try {
        FCommand = nullptr;
        CS_COMMAND* command = nullptr;
        if (Ctpublic::ct_cmd_alloc(connection->GetConnection(), &command) != CS_SUCCEED) {
            // A failed allocation may still have written something: never drop it.
            ExecFailed("ct_cmd_alloc failed");
        }
        FCommand = command;
        FCommandConnection = connection->GetConnection();

        std::string text = GetSQLText();
        if (Ctpublic::ct_command(FCommand, CS_LANG_CMD, text.data(), static_cast<CS_INT>(text.size()), CS_UNUSED) !=
            CS_SUCCEED)
            ExecFailed("ct_command failed");
        if (Ctpublic::ct_send(FCommand) != CS_SUCCEED) ExecFailed("ct_send failed");
        ResultWalk();
    } catch (EExecFailure& e) {
        execution.Failed(&e);
        throw;
    } catch (...) {
        execution.Failed(nullptr);
        throw;
    }
}

} // namespace SybConnect
