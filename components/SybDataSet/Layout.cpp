// The record layout: slot widths, the field offset table, the record-info
// block and blank records.
#include <cstring>
#include <limits>

#include "components/SybDataSet.h"

namespace SybDataSet {

using namespace vcl;

namespace {
// Record-info block: record number (4), bookmark flag (1), reserved (3).
constexpr int32_t RecordInfoSize = 8;
constexpr int32_t BookmarkFlagOffset = 4;
} // namespace

int32_t GetFieldSize(TFieldType DataType, int32_t Size) {
    switch (DataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftBytes:
        return Size + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
        return 2;
    case ftInteger:
    case ftAutoInc:
        return 4;
    case ftFloat:
    case ftCurrency:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftLargeint:
        return 8;
    case ftBCD:
        return 34;
    case ftVarBytes:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
        return 4;
    default:
        return 0;
    }
}

bool TSybDataSet::IsBlobSlotType(TFieldType Type) {
    return Type == ftVarBytes || (Type >= ftBlob && Type <= ftTypedBinary);
}

void TSybDataSet::CreateBuffer() {
    // Computed aside and committed at the end, so a refused layout leaves the
    // previous one whole.
    const size_t count = FFetchFields.size();
    std::vector<int32_t> offsets(count + 1, 0);
    std::vector<int32_t> blobSlots;
    int64_t size = 0;
    const int64_t limit = std::numeric_limits<int32_t>::max() - RecordInfoSize - int64_t{CalcFieldsSize()};
    for (size_t i = 0; i < count; ++i) {
        TBTFetchField* field = FFetchFields[i].get();
        const int32_t length = field->GetVclLength();
        if (length < 0)
            DatabaseErrorFmt("Column %d (%s) has an invalid length %d",
                             {static_cast<int>(i + 1), field->GetName(), length}, this);
        offsets[i + 1] = static_cast<int32_t>(size);
        if (IsBlobSlotType(field->GetVclDataType()) && length >= 4) blobSlots.push_back(static_cast<int32_t>(size));
        size += int64_t{length} + 1;
        if (size > limit)
            DatabaseErrorFmt("Record too large at column %d (%s)", {static_cast<int>(i + 1), field->GetName()}, this);
    }
    FDataSize = static_cast<int32_t>(size);
    FRecordInfoOffset = FDataSize;
    offsets[0] = FDataSize + RecordInfoSize;
    FFieldOffsets = std::move(offsets);
    FBlobSlots = std::move(blobSlots);
    FRecordSize = FDataSize + RecordInfoSize + CalcFieldsSize();
}

int32_t TSybDataSet::FieldOffset(int FieldNo) const {
    if (FieldNo < 0 || static_cast<size_t>(FieldNo) >= FFieldOffsets.size()) TList::Error(FieldNo);
    return FFieldOffsets[static_cast<size_t>(FieldNo)];
}

char* TSybDataSet::GetFieldPointer(TRecordBuffer Buffer, const TField* Field) const {
    if (!Buffer || !Field) return nullptr;
    const int no = Field->FieldNo();
    if (no >= 1) {
        if (static_cast<size_t>(no) >= FFieldOffsets.size()) return nullptr;
        return Buffer + FFieldOffsets[static_cast<size_t>(no)];
    }
    return Buffer + FFieldOffsets[0] + Field->Offset();
}

void TSybDataSet::InternalInitRecord(TRecordBuffer Buffer) {
    std::memset(Buffer, 0, static_cast<size_t>(FRecordSize));
    SetRecordNumber(Buffer, -1);
}

void TSybDataSet::ClearCalcFields(TRecordBuffer Buffer) {
    const int size = CalcFieldsSize();
    if (Buffer && size > 0) std::memset(Buffer + FFieldOffsets[0], 0, static_cast<size_t>(size));
}

int32_t TSybDataSet::GetRecordNumber(const char* Buffer) const {
    int32_t value;
    std::memcpy(&value, Buffer + FRecordInfoOffset, sizeof value);
    return value;
}

void TSybDataSet::SetRecordNumber(char* Buffer, int32_t Value) const {
    std::memcpy(Buffer + FRecordInfoOffset, &Value, sizeof Value);
}

TBookmarkFlag TSybDataSet::GetRecordFlag(const char* Buffer) const {
    return static_cast<TBookmarkFlag>(static_cast<uint8_t>(Buffer[FRecordInfoOffset + BookmarkFlagOffset]));
}

void TSybDataSet::SetRecordFlag(char* Buffer, TBookmarkFlag Value) const {
    Buffer[FRecordInfoOffset + BookmarkFlagOffset] = static_cast<char>(Value);
}

} // namespace SybDataSet
