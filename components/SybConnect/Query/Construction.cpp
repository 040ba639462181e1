// The query's construction and destruction, its simple property writers and
// the SQL text operations, which delegate to the parsed statement.
#include "components/SybConnect/Query.h"
#include "components/SybConnect/internal/SqlText.h"

namespace SybConnect {

TSybQuery::TSybQuery(vcl::TComponent* AOwner) : SybDataSet::TSybDataSet(AOwner) {
    FSQL = std::make_unique<vcl::TStringList>();
    FSQL->OnChange = [this](vcl::TObject* Sender) { QueryChanged(Sender); };
    FParams = std::make_unique<vcl::TParams>(this);
    FRowResultCounter = 0;
    FStatement = std::make_unique<TSqlStatement>();
    FConnectionInUse = nullptr;
    FResultSetQueries = std::make_unique<std::vector<TSybQuery*>>();
    FResultSet = 0;
}

TSybQuery::~TSybQuery() {
    Destroying();
    Close();
    FSQL.reset();
    SetMaster(nullptr);
    // The attached queries outlive this one for a moment (those an execution
    // created are destroyed by the component base below) or for good (those
    // the application attached): none may keep a reference to it.
    std::unique_ptr<std::vector<TSybQuery*>> attached = std::move(FResultSetQueries);
    for (TSybQuery* q : *attached) q->FMaster = nullptr;
    attached.reset();
    ClearParams();
    FStatement.reset();
    FParams->Clear();
    FParams.reset();
    ClearParamFields();
    // A connection must not offer its diagnostics to a query that is gone.
    if (CTLibConnections) {
        vcl::TThreadListLock list(*CTLibConnections);
        for (void* item : list->Items()) {
            auto* connection = static_cast<TSybConnect*>(item);
            if (connection->GetActiveQuery() == this) connection->SetActiveQuery(nullptr);
        }
    }
}

void TSybQuery::SetResultSet(TResultSetNo Value) {
    if (Value == FResultSet) return;
    FResultSet = Value;
    if (Active()) Close();
}

void TSybQuery::SetDatabaseName(const std::string& Value) {
    if (Value == FDatabaseName) return;
    if (Active()) Close();
    FDatabaseName = Value;
}

TSybQuery* TSybQuery::GetResultSetQuery(int Index) const {
    if (!FResultSetQueries || Index < 0 || Index >= static_cast<int>(FResultSetQueries->size()))
        vcl::TList::Error(Index);
    return (*FResultSetQueries)[static_cast<size_t>(Index)];
}

TSybConnect* TSybQuery::GetConnectionInUse() const {
    return FMaster ? FMaster->GetConnectionInUse() : FConnectionInUse;
}

// --- SQL text -------------------------------------------------------------------

void TSybQuery::SetSQL(const vcl::TStrings& Value) {
    if (Value.GetText() == FSQL->GetText()) return;
    if (Active()) Close();
    FSQL->BeginUpdate();
    try {
        FSQL->Assign(Value);
    } catch (...) {
        FSQL->EndUpdate();
        throw;
    }
    FSQL->EndUpdate();
}

void TSybQuery::QueryChanged(vcl::TObject*) { FStatement->QueryChanged(*FParams, FSQL->GetText()); }

void TSybQuery::ParseSQL(vcl::TParams& Target, const std::string& Text) { FStatement->ParseSQL(Target, Text); }

void TSybQuery::ClearParams() {
    if (FStatement) FStatement->ClearParams();
}

std::string TSybQuery::GetSQLText() const {
    if (ComponentState() & (vcl::csReading | vcl::csWriting | vcl::csDestroying)) return "";
    TSybConnect* connection = GetConnectionInUse();
    return FStatement->GetSQLText(*FParams, connection ? connection->GetDateFormat() : 0);
}

void TSybQuery::SetParamsList(const vcl::TParams& Value) { FParams->AssignValues(Value); }

uint16_t TSybQuery::GetParamsCount() const { return static_cast<uint16_t>(FParams->Count()); }

vcl::TParam* TSybQuery::ParamByName(const std::string& Name) const { return FParams->ParamByName(Name); }

std::string TSybQuery::ParamStrValue(const vcl::TParam& Param) const {
    TSybConnect* connection = GetConnectionInUse();
    return SybConnect::ParamStrValue(Param, connection ? connection->GetDateFormat() : 0);
}

std::string TSybQuery::DateTimeAsString(vcl::TDateTime Value) const {
    TSybConnect* connection = GetConnectionInUse();
    return SybConnect::DateTimeAsString(Value, connection ? connection->GetDateFormat() : 0);
}

std::string TSybQuery::PrepareStringValue(const std::string& Value) { return SybConnect::PrepareStringValue(Value); }

std::string TSybQuery::PrepareBinaryValue(const std::string& Bytes) { return SybConnect::PrepareBinaryValue(Bytes); }

void TSybQuery::ParseParams(vcl::TParams& Target, const std::string& Text) { SybConnect::ParseParams(Target, Text); }

void TSybQuery::ClearParamFields() {
    while (!FParamFields.empty()) FParamFields.pop_back();
}

} // namespace SybConnect
