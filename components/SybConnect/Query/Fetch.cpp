// Reading results into the query: the rows of a row result (FetchResultSet)
// and the output parameters of a parameter result.
#include <string>

#include "binding/Ctpublic.h"
#include "components/SybConnect/ClientField.h"
#include "components/SybConnect/Query.h"
#include "components/SybConnect/Query/Internal.h"

namespace SybConnect {

using namespace Cstypes;
using QueryInternal::ExecFailed;

namespace {

CS_INT ColumnCount(CS_COMMAND* Command) {
    CS_INT count = 0;
    if (Ctpublic::ct_res_info(Command, CS_NUMDATA, &count, sizeof count, nullptr) != CS_SUCCEED)
        ExecFailed("ct_res_info failed");
    return count;
}

void Describe(CS_COMMAND* Command, CS_INT Column, CS_DATAFMT& Format) {
    Format = CS_DATAFMT{};
    if (Ctpublic::ct_describe(Command, Column, &Format) != CS_SUCCEED) ExecFailed("ct_describe failed");
}

} // namespace

void TSybQuery::FetchResultSet() {
    const CS_INT count = ColumnCount(FCommand);
    for (CS_INT c = 1; c <= count; ++c) {
        CS_DATAFMT format;
        Describe(FCommand, c, format);
        // Appends itself to the fetch-field list, which owns it.
        auto* field = new TSybClientField(this, c, format);
        if (field->Bind(FCommand) != CS_SUCCEED) ExecFailed("ct_bind failed");
    }
    // Set first, so that refreshing the field definitions describes the
    // columns just bound instead of opening the query again.
    FCursorOpen = true;
    FieldDefs()->SetUpdated(false);
    FieldDefs()->Update();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    CreateBuffer();

    // Fields, layout and connection stay as they are until the last row:
    // look them up once, not per row and field.
    const TFillPlan plan = MakeFillPlan(*this);
    TSybConnect* connection = GetConnectionInUse();
    CS_CONTEXT* context = connection ? connection->GetContext() : nullptr;
    const std::string name = Name();
    CS_RETCODE rc;
    while ((rc = Ctpublic::ct_fetch(FCommand, CS_UNUSED, CS_UNUSED, CS_UNUSED, nullptr)) == CS_SUCCEED) {
        for (TSybClientField* field : plan.Unbound) field->AfterFetch(FCommand);
        vcl::TRecordBuffer record = AllocRecordBuffer();
        try {
            AddRecord(record);
        } catch (...) {
            // Not in the list, so nobody else frees it.
            FreeRecordBuffer(record);
            throw;
        }
        InternalInitRecord(record);
        FillRecord(*this, plan, record, context, name);
    }
    if (rc != CS_END_DATA) ExecFailed("Result fetching failed");
}

void TSybQuery::ReadParamResult() {
    const CS_INT count = ColumnCount(FCommand);
    ClearParamFields();
    for (CS_INT c = 1; c <= count; ++c) {
        CS_DATAFMT format;
        Describe(FCommand, c, format);
        const TSybClientField* previous =
            FParamFields.empty() ? nullptr : static_cast<const TSybClientField*>(FParamFields.back().get());
        auto field = std::make_unique<TSybClientField>(nullptr, c, format);
        TSybClientField* f = field.get();
        FParamFields.push_back(std::move(field));
        if (f->Bind(FCommand, previous) != CS_SUCCEED) ExecFailed("ct_bind failed");
    }
    CS_RETCODE rc;
    while ((rc = Ctpublic::ct_fetch(FCommand, CS_UNUSED, CS_UNUSED, CS_UNUSED, nullptr)) == CS_SUCCEED)
        for (auto& f : FParamFields) static_cast<TSybClientField*>(f.get())->AfterFetch(FCommand);
    // Rows left unread would make the next ct_results fail without a reason.
    if (rc != CS_END_DATA) ExecFailed("Result fetching failed");
}

TSybClientField* TSybQuery::GetParamField(int Index) const {
    if (Index < 0 || Index >= GetParamFieldCount()) vcl::TList::Error(Index);
    return static_cast<TSybClientField*>(FParamFields[static_cast<size_t>(Index)].get());
}

void TSybQuery::InternalInitFieldDefs() { SybConnect::InitFieldDefs(*FieldDefs(), *this); }

void TSybQuery::_InternalFillRecord(vcl::TRecordBuffer Buffer) {
    TSybConnect* connection = GetConnectionInUse();
    FillRecord(*this, Buffer, connection ? connection->GetContext() : nullptr, Name());
}

} // namespace SybConnect
