// TDataSet: construction, states, opening and closing, event dispatch.
#include "vcl/DB/DataSet.h"

#include <algorithm>

#include "vcl/DB/DataSource.h"
#include "vcl/DB/Field.h"
#include "vcl/DB/FieldDefs.h"
#include "vcl/Variants.h"

namespace vcl {

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {
    FFields = new TFields(this);
    FFieldDefs = new TFieldDefs(this);
}

TDataSet::~TDataSet() {
    Destroying();
    // The descendant has closed already (its hooks are gone by now); what is
    // left is to let go of the sources and the fields.
    while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
    DestroyFields();
    delete FFields;
    FFields = nullptr;
    delete FFieldDefs;
    FFieldDefs = nullptr;
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (!FStreamedActive) return;
    try {
        SetActive(true);
    } catch (...) {
        if (!HasState(csDesigning)) throw;
        InternalHandleException();
    }
}

void TDataSet::CheckActive() {
    if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset", this);
}

void TDataSet::CheckInactive() {
    if (Active()) DatabaseError("Cannot perform this operation on an open dataset", this);
}

void TDataSet::SetState(TDataSetState Value) {
    if (FState == Value) return;
    FState = Value;
    FModified = false;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
    TDataSetState previous = FState;
    FState = Value;
    ++FDisableCount;
    return previous;
}

void TDataSet::RestoreState(TDataSetState Value) {
    FState = Value;
    if (FDisableCount > 0) --FDisableCount;
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0) return;
    if (--FDisableCount > 0) return;
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
    switch (Event) {
    case deFieldChange: {
        TField* field = reinterpret_cast<TField*>(Info);
        if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) FModified = true;
        if (FState != dsSetKey) {
            if (field->FieldKind() == fkData) {
                if (FInternalCalcFields)
                    RefreshInternalCalcFields(ActiveBuffer());
                else if (FAutoCalcFields && FCalcFieldsSize != 0)
                    CalculateFields(ActiveBuffer());
            }
            field->Change();
        }
        break;
    }
    case dePropertyChange:
        FFieldDefs->SetUpdated(false);
        break;
    default:
        break;
    }
    if (FDisableCount == 0) {
        if (FState != dsBlockRead) {
            // A source may detach itself while it is told; walk a copy.
            std::vector<TDataSource*> sources = FDataSources;
            for (TDataSource* source : sources)
                if (std::find(FDataSources.begin(), FDataSources.end(), source) != FDataSources.end())
                    source->DataEvent(Event, Info);
        }
    } else if (Event == deLayoutChange || (Event == deUpdateState && FState == dsInactive)) {
        FEnableEvent = deLayoutChange;
    }
}

// --- opening and closing ---------------------------------------------------

void TDataSet::SetActive(bool Value) {
    if (HasState(csReading)) {
        FStreamedActive = Value;
        return;
    }
    if (Active() == Value) return;
    if (Value) {
        DoBeforeOpen();
        try {
            OpenCursor(false);
        } catch (...) {
            // A failed open, the initial reads included, leaves the dataset
            // closed rather than open behind an exception.
            FInternalOpenComplete = false;
            SetState(dsInactive);
            CloseCursor();
            throw;
        }
        if (!FInternalOpenComplete || !IsCursorOpen()) {
            // The descendant closed its cursor again during the open (a
            // statement that returned no rows): nothing was opened, so no
            // state change reaches the links and AfterOpen does not fire.
            SetState(dsInactive);
            CloseCursor();
            return;
        }
        SetState(dsBrowse);
        DoAfterOpen();
    } else {
        if (!HasState(csDestroying)) DoBeforeClose();
        SetState(dsInactive);
        CloseCursor();
        if (!HasState(csDestroying)) DoAfterClose();
    }
}

void TDataSet::OpenCursor(bool InfoQuery) {
    if (InfoQuery)
        InternalInitFieldDefs();
    else if (FState != dsOpening)
        DoInternalOpen();
}

void TDataSet::DoInternalOpen() {
    FDefaultFields = FieldCount() == 0;
    InternalOpen();
    FInternalOpenComplete = true;
    ClearBuffers();
    // Not through UpdateBufferCount: the window must exist even when the
    // descendant reports its cursor closed (a statement without rows).
    SetBufferCount(LinkBufferCount());
    FBOF = true;
}

void TDataSet::CloseCursor() {
    FInternalOpenComplete = false;
    FreeFieldBuffers();
    ClearBuffers();
    SetBufListSize(0);
    InternalClose();
    FBufferCount = 0;
}

void TDataSet::DoBeforeOpen() { Fire(BeforeOpen); }

void TDataSet::DoAfterOpen() {
    Fire(AfterOpen);
    if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::DoBeforeClose() { Fire(BeforeClose); }
void TDataSet::DoAfterClose() { Fire(AfterClose); }
void TDataSet::DoBeforeScroll() { Fire(BeforeScroll); }
void TDataSet::DoAfterScroll() { Fire(AfterScroll); }
void TDataSet::DoOnCalcFields() { Fire(OnCalcFields); }
void TDataSet::DoOnNewRecord() { Fire(OnNewRecord); }

// --- data sources ------------------------------------------------------------

void TDataSet::AddDataSource(TDataSource* DataSource) {
    FDataSources.push_back(DataSource);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* DataSource) {
    auto it = std::find(FDataSources.begin(), FDataSources.end(), DataSource);
    if (it != FDataSources.end()) FDataSources.erase(it);
    if (!HasState(csDestroying)) UpdateBufferCount();
}

bool TDataSet::IsLinkedTo(TDataSource* DataSource) {
    // Bounded walk: a chain longer than every dataset could only be a loop
    // that was built behind the checks.
    for (int guard = 0; DataSource && guard < 100000; ++guard) {
        TDataSet* ds = DataSource->DataSet();
        if (!ds) return false;
        if (ds == this) return true;
        DataSource = ds->GetDataSource();
    }
    return false;
}

int TDataSet::LinkBufferCount() const {
    int count = 1;
    for (TDataSource* source : FDataSources)
        for (TDataLink* link : source->FDataLinks) count = std::max(count, link->BufferCount());
    return count;
}

void TDataSet::UpdateBufferCount() {
    if (HasState(csDestroying) || !IsCursorOpen() || FBuffers.empty()) return;
    SetBufferCount(LinkBufferCount());
}

// --- defaults of the searching and blob hooks ----------------------------------

bool TDataSet::Locate(const std::string&, const Variant&, TLocateOptions) { return false; }

Variant TDataSet::Lookup(const std::string&, const Variant&, const std::string&) { return Variant::Null(); }

bool TDataSet::FindRecord(bool, bool) { return false; }

TStream* TDataSet::CreateBlobStream(TField*, TBlobStreamMode) { return nullptr; }

void TDataSet::CloseBlob(TField*) {}

int TDataSet::Translate(const std::string& Src, std::string& Dest, bool) {
    if (&Src != &Dest) Dest = Src;
    return static_cast<int>(Dest.size());
}

} // namespace vcl
