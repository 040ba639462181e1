// TSybQuery: the query component. An application names a connection
// (DatabaseName), sets the SQL text with :name parameters and opens the query;
// the statement is sent as one language command and every row of one row
// result is read into the record store before Open returns.
//
// Roles. A query without Master is an executing query: it runs its own SQL
// text. A query with Master is a result-set query: it runs nothing itself and
// is filled with one row result (number ResultSet) while its master executes.
// Row results nobody takes go to a new query offered through OnNewDataSet, or,
// without a handler, to a temporary query that reads and drops them.
//
// Ownership. The query owns its SQL lines, Params, the columns of the last
// parameter result and (through the component tree) the result-set queries its
// executions created. It does not own its connection, its Master or the
// queries attached to it; the connection is looked up by name at each
// execution (or given with SetExternalConnect when running inside a library).
//
// During an execution the query holds the connection's lock, is the
// connection's ActiveQuery (its OnServerMessage/OnServerError handlers get the
// diagnostics) and the screen cursor is crSQLWait. All three are restored on
// every path, and on failure the command is cancelled before it is dropped.
//
// What can go wrong (vcl::Exception unless said otherwise):
// - "No SQL statement available", "Sybase connection named "%s" not found",
//   "Could not open sybase connection "%s"" before anything is sent;
// - "ct_cmd_alloc failed", "ct_command failed", "ct_send failed",
//   "ct_res_info failed", "ct_describe failed", "ct_bind failed",
//   "Result pending operation failed", "Result fetching failed" when the
//   client library refuses a step. Diagnostics the library queued for the
//   failed step are read at once and joined to that text (";" and a line
//   feed, then the diagnostic texts), so they never surface in a later,
//   unrelated execution;
// - the joined diagnostic texts of unhandled server errors (CheckMessages);
// - column description, row decoding and parameter rendering errors, and
//   whatever an OnNewDataSet handler raises, unchanged;
// - opening a result-set query outside its master's execution raises
//   "Query "%s" receives result set %d of its master and cannot be opened on its own";
// - SetFieldData on a read-only field: vcl::EDatabaseError "Field %s is read only".
// Rows already stored when a failure strikes stay until the query closes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "binding/Cstypes.h"
#include "components/SybConnect.h"
#include "components/SybDataSet.h"
#include "vcl/Classes/Strings.h"
#include "vcl/DB.h"
#include "vcl/DB/Params.h"
#include "vcl/DateTime.h"

namespace SybConnect {

class TSqlStatement;
class TSybClientField;

// Number of the row result a query takes, 0 to 255.
using TResultSetNo = uint8_t;
// Offered each new result-set query before it is filled.
using TNewResultSetEvent = std::function<void(TSybQuery* ADataSet)>;

class TSybQuery : public SybDataSet::TSybDataSet {
public:
    explicit TSybQuery(vcl::TComponent* AOwner);
    ~TSybQuery() override;

    // --- published properties ------------------------------------------------
    TResultSetNo GetResultSet() const { return FResultSet; }
    // A new number closes an active query.
    void SetResultSet(TResultSetNo Value);
    TSybQuery* GetMaster() const { return FMaster; }
    // Leaves the old master's result-set query list and joins the new one's.
    void SetMaster(TSybQuery* Value);
    const std::string& GetDatabaseName() const { return FDatabaseName; }
    // A different name (case-sensitive) closes an active query first.
    void SetDatabaseName(const std::string& Value);
    vcl::TStringList* GetSQL() const { return FSQL.get(); }
    // Different text closes an active query, then replaces the lines in one
    // update; identical text changes nothing.
    void SetSQL(const vcl::TStrings& Value);
    // The statement as it will be sent; "" while the component is read,
    // written or destroyed.
    std::string GetSQLText() const;
    // Has no effect.
    void SetSQLText(const std::string&) {}
    vcl::TParams* GetParams() const { return FParams.get(); }
    // Takes values over by name; items are neither added nor removed.
    void SetParamsList(const vcl::TParams& Value);
    uint16_t GetParamsCount() const;
    vcl::TParam* ParamByName(const std::string& Name) const;
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // The negation of ReadOnly.
    bool GetCachedUpdates() const { return !FReadOnly; }
    void SetCachedUpdates(bool Value) { FReadOnly = !Value; }
    const TSybMessageProc& GetOnServerMessage() const { return FOnServerMessage; }
    void SetOnServerMessage(TSybMessageProc Value) { FOnServerMessage = std::move(Value); }
    const TSybMessageProc& GetOnServerError() const { return FOnServerError; }
    void SetOnServerError(TSybMessageProc Value) { FOnServerError = std::move(Value); }
    const TNewResultSetEvent& GetOnNewDataSet() const { return FOnNewDataSet; }
    void SetOnNewDataSet(TNewResultSetEvent Value) { FOnNewDataSet = std::move(Value); }

    // --- execution -------------------------------------------------------------
    // Close, Open, Close: runs the statement and leaves the query closed.
    void ExecSQL();
    // The connection to use when the code runs inside a library (vcl::IsLibrary);
    // it must stay a live TSybConnect while the query uses it. Not owned.
    void SetExternalConnect(void* Connect) { FExternalConnect = static_cast<TSybConnect*>(Connect); }
    // The registry's find by name; the found connection's ActiveQuery becomes
    // this query.
    TSybConnect* GetCTLibConnectionByName(const std::string& Name);
    // Reads the row result the command stands on into the store.
    virtual void FetchResultSet();

    // Closing also closes every attached result-set query.
    void SetActive(bool Value) override;

    // The last status result of the last execution (0 without one).
    Cstypes::CS_INT GetReturnStatus() const { return FReturnStatus; }
    // The columns of the last parameter result, with the values of its last row.
    int GetParamFieldCount() const { return static_cast<int>(FParamFields.size()); }
    // vcl::EListError outside 0..GetParamFieldCount()-1.
    TSybClientField* GetParamField(int Index) const;
    // Queries attached with SetMaster, in order of attachment.
    int GetResultSetQueryCount() const { return FResultSetQueries ? static_cast<int>(FResultSetQueries->size()) : 0; }
    TSybQuery* GetResultSetQuery(int Index) const;
    // The connection of the current or last execution (the master's for a
    // result-set query); none before the first.
    TSybConnect* GetConnectionInUse() const;
    // The command of the running execution; none outside one.
    Cstypes::CS_COMMAND* GetCommand() const { return FCommand; }

    // --- record access ---------------------------------------------------------
    // Declares the record list to be in the order of the last sort (Locate may
    // then search by halves). A changing SetFieldData clears it.
    void SetSorted(bool Value) { FDeclaredSorted = Value; }
    bool GetSorted() const { return FDeclaredSorted; }
    int GetRecNo() override;
    void SetRecNo(int Value) override;
    bool IsSequenced() override;
    void SetFiltered(bool Value) override;
    bool GetFieldData(vcl::TField* Field, void* Buffer) override;
    void SetFieldData(vcl::TField* Field, const void* Buffer) override;
    bool BookmarkValid(vcl::TBookmark Bookmark) override;
    int CompareBookmarks(vcl::TBookmark Bookmark1, vcl::TBookmark Bookmark2) override;

    // --- SQL text --------------------------------------------------------------
    // Change handler of the SQL lines: re-parses and keeps values by name.
    void QueryChanged(vcl::TObject* Sender);
    // Fills Target with one item per occurrence in Text; replaces the occurrences.
    void ParseSQL(vcl::TParams& Target, const std::string& Text);
    // Literals in the date order of the connection in use (0 without one).
    std::string ParamStrValue(const vcl::TParam& Param) const;
    std::string DateTimeAsString(vcl::TDateTime Value) const;
    static std::string PrepareStringValue(const std::string& Value);
    static std::string PrepareBinaryValue(const std::string& Bytes);
    static void ParseParams(vcl::TParams& Target, const std::string& Text);
    // Frees the occurrences (the parameter list stays).
    void ClearParams();
    // Frees the parameter-result columns, last first.
    void ClearParamFields();

protected:
    void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override;
    bool GetCanModify() override { return !FReadOnly; }
    void OpenCursor(bool InfoQuery) override;
    vcl::TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(vcl::TRecordBuffer& Buffer) override;
    void GetBookmarkData(vcl::TRecordBuffer Buffer, vcl::TBookmark Data) override;
    vcl::TBookmarkFlag GetBookmarkFlag(vcl::TRecordBuffer Buffer) override;
    int GetRecordSize() override;
    void InternalDelete() override;
    void InternalGotoBookmark(vcl::TBookmark Bookmark) override;
    void InternalHandleException() override;
    void InternalInitFieldDefs() override;
    void InternalSetToRecord(vcl::TRecordBuffer Buffer) override;
    void SetBookmarkFlag(vcl::TRecordBuffer Buffer, vcl::TBookmarkFlag Value) override;
    void SetBookmarkData(vcl::TRecordBuffer Buffer, vcl::TBookmark Data) override;
    void InternalExec() override;
    bool IsFiltered() override;
    // Editing in memory until the store's own posting lands.
    void InternalAddRecord(vcl::TRecordBuffer Buffer, bool Append) override;
    void InternalPost() override;

    // Decodes the current row of every fetch field into Buffer.
    void _InternalFillRecord(vcl::TRecordBuffer Buffer);

private:
    friend class TSybExecution;

    void ExecuteStatement();
    void ExecuteAsResultSetQuery();
    void ResultWalk();
    void DealOutRowResult();
    void ReadParamResult();
    void ReadStatusResult();
    // Whether the command's connection is still the one it was allocated on.
    bool CommandConnectionLive() const;

    std::vector<std::unique_ptr<SybDataSet::TBTFetchField>> FParamFields;
    std::unique_ptr<vcl::TStringList> FSQL;
    std::unique_ptr<vcl::TParams> FParams;
    int32_t FRowResultCounter = 0;
    std::unique_ptr<TSqlStatement> FStatement;
    TSybConnect* FConnectionInUse = nullptr;
    // Null once the query is being destroyed (attached queries then skip
    // leaving it).
    std::unique_ptr<std::vector<TSybQuery*>> FResultSetQueries;
    TResultSetNo FResultSet = 0;

    std::string FDatabaseName;
    TSybConnect* FExternalConnect = nullptr;
    TSybQuery* FMaster = nullptr;
    Cstypes::CS_COMMAND* FCommand = nullptr;
    // The connection handle the command was allocated on.
    Cstypes::CS_CONNECTION* FCommandConnection = nullptr;
    Cstypes::CS_INT FReturnStatus = 0;
    bool FReadOnly = false;
    bool FDeclaredSorted = false;
    TSybMessageProc FOnServerMessage;
    TSybMessageProc FOnServerError;
    TNewResultSetEvent FOnNewDataSet;
};

} // namespace SybConnect
