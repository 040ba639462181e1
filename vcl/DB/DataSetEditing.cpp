// TDataSet: the edit cycle (edit, insert, append, post, cancel, delete).
#include "vcl/DB/DataSet.h"
#include "vcl/DB/Field.h"
#include "vcl/Variants.h"

namespace vcl {

void TDataSet::CheckCanModify() {
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset", this);
}

void TDataSet::CheckOperation(TOperation Operation, const TDataSetErrorEvent& ErrorEvent) {
    for (;;) {
        try {
            UpdateCursorPos();
            (this->*Operation)();
            return;
        } catch (EDatabaseError& E) {
            if (!ErrorEvent) throw;
            TDataAction action = daFail;
            ErrorEvent(this, E, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
            // daRetry: round again.
        }
    }
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (FState) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
        break;
    case dsSetKey:
        Post();
        break;
    default:
        break;
    }
}

void TDataSet::UpdateRecord() {
    if (!IsEditMode(FState)) DatabaseError("Dataset not in edit or insert mode", this);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::InitRecord(TRecordBuffer Buffer) {
    InternalInitRecord(Buffer);
    ClearCalcFields(Buffer);
    SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeEdit);
    CheckOperation(&TDataSet::DoInternalEdit, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    Fire(AfterEdit);
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert);
    DoBeforeScroll();
}

void TDataSet::Insert() {
    BeginInsertAppend();
    const TBookmarkStr oldCurrent = GetBookmarkStr();
    MoveBuffer(FRecordCount, FActiveRecord);
    // The buffer the cursor stands on moved up a row (or out of the window).
    if (FCurrentRecord >= FActiveRecord) {
        ++FCurrentRecord;
        if (FCurrentRecord >= FBufferCount) FCurrentRecord = -1;
    }
    TRecordBuffer buffer = ActiveBuffer();
    InitRecord(buffer);
    if (FRecordCount == 0)
        SetBookmarkFlag(buffer, bfBOF);
    else if (!oldCurrent.empty())
        SetBookmarkData(buffer, const_cast<char*>(oldCurrent.data()));
    if (FRecordCount < FBufferCount) ++FRecordCount;
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer buffer = FBuffers[0];
    InitRecord(buffer);
    SetBookmarkFlag(buffer, bfEOF);
    FRecordCount = 1;
    FBOF = false;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        FreeFieldBuffers();
        SetState(dsBrowse);
        Resync(0);
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange, 0);
    Fire(AfterInsert);
    DoAfterScroll();
}

void TDataSet::Post() {
    UpdateRecord();
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    Fire(BeforePost);
    CheckOperation(&TDataSet::DoInternalPost, OnPostError);
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync(0);
    Fire(AfterPost);
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    Fire(BeforeCancel);
    const bool wasInsert = FState == dsInsert;
    if (wasInsert) DoBeforeScroll();
    UpdateCursorPos();
    InternalCancel();
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync(0);
    Fire(AfterCancel);
    if (wasInsert) DoAfterScroll();
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) DatabaseError("Cannot perform this operation on an empty dataset", this);
    CheckCanModify();
    DataEvent(deCheckBrowseMode, 0);
    Fire(BeforeDelete);
    DoBeforeScroll();
    CheckOperation(&TDataSet::DoInternalDelete, OnDeleteError);
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync(0);
    Fire(AfterDelete);
    DoAfterScroll();
}

void TDataSet::ClearFields() {
    if (!IsEditMode(FState)) DatabaseError("Dataset not in edit or insert mode", this);
    DataEvent(deCheckBrowseMode, 0);
    FreeFieldBuffers();
    InternalInitRecord(ActiveBuffer());
    if (FState != dsSetKey) GetCalcFields(ActiveBuffer());
    DataEvent(deRecordChange, 0);
}

void TDataSet::SetFieldValues(const std::vector<Variant>& Values) {
    if (static_cast<int>(Values.size()) > FieldCount())
        DatabaseError("More fields specified than really exist", this);
    for (size_t i = 0; i < Values.size(); ++i) (*FFields)[static_cast<int>(i)]->AssignValue(Values[i]);
}

void TDataSet::InsertRecord(const std::vector<Variant>& Values) {
    Insert();
    try {
        SetFieldValues(Values);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

void TDataSet::AppendRecord(const std::vector<Variant>& Values) {
    Append();
    try {
        SetFieldValues(Values);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

} // namespace vcl
