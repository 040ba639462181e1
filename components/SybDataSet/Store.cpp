// The store's life cycle, its column descriptions and its record list.
#include <cstring>

#include "components/SybDataSet.h"

namespace SybDataSet {

using namespace vcl;

TBTFetchField::TBTFetchField(TSybDataSet* ADataSet) {
    if (ADataSet) ADataSet->FFetchFields.emplace_back(this);
}

TSybDataSet::TSybDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TSybDataSet::~TSybDataSet() {
    // The descendant has closed (it must: closing needs its FreeRecordBuffer).
    // What may be left is only what close never saw: blobs of a store that
    // was filled but never opened, and streams still alive.
    for (TBTBlobStream* stream : FStreams) {
        stream->Detach();
        stream->FDataSet = nullptr;
    }
    FStreams.clear();
    FreeAllBlobs();
}

TBTFetchField* TSybDataSet::GetFetchField(int Index) const {
    if (Index < 0 || Index >= FetchFieldCount()) TList::Error(Index);
    return FFetchFields[static_cast<size_t>(Index)].get();
}

void TSybDataSet::ClearFetchFields() {
    while (!FFetchFields.empty()) FFetchFields.pop_back();
}

TRecordBuffer TSybDataSet::GetStoredRecord(int Position) const {
    if (Position < 0 || Position >= RecordListCount()) TList::Error(Position);
    return FRecords[static_cast<size_t>(Position)];
}

void TSybDataSet::AddRecord(TRecordBuffer Buffer) { FRecords.push_back(Buffer); }

void TSybDataSet::_InternalAdd(TRecordBuffer Buffer) {
    FRecords.push_back(Buffer);
    FSorted = false;
}

void TSybDataSet::_InternalInsert(int Position, TRecordBuffer Buffer) {
    if (Position < 0) Position = 0;
    const int count = RecordListCount();
    if (Position > count) TList::Error(Position);
    if (Position == count)
        FRecords.push_back(Buffer);
    else
        FRecords.insert(FRecords.begin() + Position, Buffer);
    FSorted = false;
}

void TSybDataSet::_InternalFreeRecord(TRecordBuffer Buffer) {
    if (!Buffer) return;
    // The layout, not the TFields, says where blob slots are: persistent
    // fields may cover only some columns, and every column's blob is ours.
    for (int32_t offset : FBlobSlots) {
        uint32_t ref;
        std::memcpy(&ref, Buffer + offset + 1, sizeof ref);
        if (ref != 0) FreeBlobRef(ref);
    }
    FreeRecordBuffer(Buffer);
}

void TSybDataSet::InternalOpen() {
    InternalExec();
    FCurrentIndex = -1;
    SetBookmarkSize(4);
}

void TSybDataSet::InternalClose() {
    // A stream still alive points into buffers that are going away.
    DetachStreams();
    // Each stored record frees its blobs; what the table still holds after
    // that was created for buffers no stored record took over.
    std::vector<TRecordBuffer> records;
    records.swap(FRecords);
    for (TRecordBuffer& buffer : records) _InternalFreeRecord(buffer);
    if (FEditCopy) FreeRecordBuffer(FEditCopy);
    FEditCopy = nullptr;
    FFilterBuffer = nullptr;
    FreeAllBlobs();
    ClearFetchFields();
    FCurrentIndex = -1;
    FSorted = false;
    FCursorOpen = false;
    BindFields(false);
    if (DefaultFields()) DestroyFields();
}

} // namespace SybDataSet
