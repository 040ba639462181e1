// TDataLink: one client's window onto a data source.
#include <algorithm>

#include "vcl/DB/DataSet.h"
#include "vcl/DB/DataSource.h"

namespace vcl {

TDataLink::~TDataLink() {
    if (FDataSource) {
        FDataSource->RemoveDataLink(this);
        FDataSource = nullptr;
    }
}

void TDataLink::SetDataSource(TDataSource* ADataSource) {
    if (ADataSource == FDataSource) return;
    if (FDataSourceFixed) DatabaseError("DataSource cannot be changed", ADataSource);
    if (FDataSource) FDataSource->RemoveDataLink(this);
    FDataSource = ADataSource;
    if (FDataSource) FDataSource->AddDataLink(this);
    UpdateState();
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    UpdateState();
}

void TDataLink::UpdateState() {
    SetActive(FDataSource && FDataSource->State() != dsInactive);
    SetEditing(FDataSource && IsEditMode(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    if (Value)
        UpdateRange();
    else
        FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
    if (Value == FEditing) return;
    FEditing = Value;
    EditingChanged();
}

void TDataLink::UpdateRange() {
    TDataSet* ds = DataSet();
    if (!ds) return;
    // The dataset's active record stays among this link's rows, and the rows
    // stay inside the dataset's window.
    const int active = ds->FActiveRecord;
    FFirstRecord = std::min(FFirstRecord, std::max(0, ds->FRecordCount - FBufferCount));
    FFirstRecord = std::max(FFirstRecord, active - FBufferCount + 1);
    FFirstRecord = std::min(FFirstRecord, active);
    FFirstRecord = std::max(FFirstRecord, 0);
}

void TDataLink::SetBufferCount(int Value) {
    if (Value < 1) Value = 1;
    if (Value == FBufferCount) return;
    FBufferCount = Value;
    if (FActive) {
        DataSet()->UpdateBufferCount();
        UpdateRange();
    }
}

int TDataLink::ActiveRecord() const {
    if (!FDataSource || FDataSource->State() == dsSetKey) return 0;
    return FDataSource->DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
    if (!FDataSource || FDataSource->State() == dsSetKey) return;
    TDataSet* ds = FDataSource->DataSet();
    const int index = Value + FFirstRecord;
    // Only rows that hold records; anything else would point at a stale buffer.
    if (index >= 0 && index < std::max(ds->FRecordCount, 1)) ds->FActiveRecord = index;
}

int TDataLink::RecordCount() const {
    if (!FDataSource) return 0;
    if (FDataSource->State() == dsSetKey) return 1;
    return std::min(FDataSource->DataSet()->FRecordCount, FBufferCount);
}

bool TDataLink::Bof() const { return DataSet() ? DataSet()->Bof() : true; }

bool TDataLink::Eof() const { return DataSet() ? DataSet()->Eof() : true; }

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive) return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating) RecordChanged(Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        int count = 0;
        if (FDataSource->State() != dsSetKey) {
            const int before = FFirstRecord + static_cast<int>(Info);
            FFirstRecord = before;
            UpdateRange();
            count = FFirstRecord - before;
        }
        if (Event == deDataSetChange)
            DataSetChanged();
        else if (Event == deDataSetScroll)
            DataSetScrolled(count);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        FocusControl(reinterpret_cast<TField*>(Info));
        break;
    default:
        break;
    }
}

} // namespace vcl
