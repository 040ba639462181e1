// Blob streams: a memory stream over one blob field of the active record.
#include "components/SybDataSet.h"
#include "vcl/Forms.h"

namespace SybDataSet {

using namespace vcl;

TBTBlobStream::TBTBlobStream(TBlobField* Field, TBlobStreamMode Mode) : FField(Field), FMode(Mode) {
    if (!Field) throw EInvalidCast();
    FDataSet = dynamic_cast<TSybDataSet*>(Field->DataSet());
    if (!FDataSet) throw EInvalidCast();
    FSlot = FDataSet->GetFieldPointer(FDataSet->GetActiveRecordBuffer(), Field);
    if (!FSlot) return; // no record here: empty and detached
    FBlob = FDataSet->GetSlotBlob(FSlot);
    if (!FBlob) FBlob = FDataSet->NewSlotBlob(FSlot);
    if (Mode != bmRead) {
        if (Field->ReadOnly()) DatabaseErrorFmt("vtrReadOnlyErr", {Field->DisplayName()});
        const TDataSetState state = FDataSet->State();
        if (state != dsEdit && state != dsInsert) DatabaseError("vtrEditModeErr");
    }
    if (Mode == bmWrite)
        Truncate();
    else
        ReadBlobData();
    // Registered last: a constructor that raised leaves nothing to unregister.
    FDataSet->RegisterStream(this);
}

TBTBlobStream::~TBTBlobStream() {
    if (FDataSet) FDataSet->UnregisterStream(this);
    if (!FModified || !FSlot || !FBlob) return;
    try {
        WriteBlobData();
        FField->SetModified(true);
        const TDataSetState state = FDataSet->State();
        if (state != dsCalcFields && state != dsFilter && state != dsNewValue)
            FDataSet->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(FField));
    } catch (...) {
        // The application hears of it; whoever freed the stream does not.
        Application()->HandleException(this);
    }
}

int64_t TBTBlobStream::Write(const void* Buffer, int64_t Count) {
    const int64_t written = TMemoryStream::Write(Buffer, Count);
    // The initial copy of the value is not a change; any later write is.
    if (!FLoading && FMode != bmRead) FModified = true;
    return written;
}

void TBTBlobStream::Truncate() {
    Clear();
    // A read stream never writes back, emptied or not.
    if (FMode != bmRead) FModified = true;
}

void TBTBlobStream::ReadBlobData() {
    if (!FBlob) return;
    FLoading = true;
    try {
        FBlob->SaveToStream(*this);
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
    SetPosition(0);
}

void TBTBlobStream::WriteBlobData() {
    if (!FBlob || !FSlot) return;
    FBlob->LoadFromStream(*this);
    FSlot[0] = Size() > 0 ? 1 : 0;
}

void TBTBlobStream::Detach() {
    FSlot = nullptr;
    FBlob = nullptr;
}

TStream* TSybDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    auto* blobField = dynamic_cast<TBlobField*>(Field);
    if (!blobField) throw EInvalidCast();
    return new TBTBlobStream(blobField, Mode);
}

} // namespace SybDataSet
