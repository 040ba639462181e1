// Record buffers, field access, record numbers and the Filtered switch over
// the store's record layout.
#include <cstring>

#include "components/SybConnect/Query.h"

namespace SybConnect {

using namespace vcl;

TRecordBuffer TSybQuery::AllocRecordBuffer() { return new char[static_cast<size_t>(GetRecordBufferSize())](); }

void TSybQuery::FreeRecordBuffer(TRecordBuffer& Buffer) {
    // Framework buffers are copies that share the stored records' blobs:
    // only the block goes.
    delete[] Buffer;
    Buffer = nullptr;
}

int TSybQuery::GetRecordSize() { return static_cast<int>(static_cast<uint32_t>(DataSize()) & 0xFFFFu); }

bool TSybQuery::GetFieldData(TField* Field, void* Buffer) {
    if (!Field || !FCursorOpen) return false;
    const char* slot = GetFieldPointer(GetActiveRecordBuffer(), Field);
    if (!slot) return false;
    // A null field's data part is copied too: it keeps its last bytes.
    if (Buffer)
        std::memcpy(Buffer, slot + 1, static_cast<size_t>(SybDataSet::GetFieldSize(Field->DataType(), Field->Size())));
    return slot[0] != 0;
}

void TSybQuery::SetFieldData(TField* Field, const void* Buffer) {
    if (!FCursorOpen || !Field) return;
    char* slot = GetFieldPointer(GetActiveRecordBuffer(), Field);
    if (!slot) return;
    if (Field->ReadOnly()) DatabaseErrorFmt("Field %s is read only", {Field->DisplayName()});
    if (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc) Field->Validate(Buffer);

    const size_t width = static_cast<size_t>(SybDataSet::GetFieldSize(Field->DataType(), Field->Size()));
    char* data = slot + 1;
    bool changed;
    if (!Buffer || slot[0] == 0) {
        changed = true;
    } else {
        switch (Field->DataType()) {
        case ftString:
        case ftFixedChar:
        case ftWideString: {
            const auto* text = static_cast<const char*>(Buffer);
            const size_t newLength = strnlen(text, width);
            const size_t oldLength = strnlen(data, width);
            changed = newLength != oldLength || std::memcmp(text, data, newLength) != 0;
            break;
        }
        default:
            changed = std::memcmp(Buffer, data, width) != 0;
            break;
        }
    }
    if (changed) FDeclaredSorted = false;

    slot[0] = Buffer ? 1 : 0;
    // Set to null, the data part keeps its old bytes.
    if (Buffer) std::memcpy(data, Buffer, width);
    const TDataSetState state = State();
    if (state != dsCalcFields && state != dsFilter && state != dsNewValue)
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
}

int TSybQuery::GetRecNo() {
    const TRecordBuffer active = ActiveBuffer();
    if (!active) return -1;
    return GetRecordNumber(active);
}

void TSybQuery::SetRecNo(int Value) {
    CheckActive();
    if (Value >= 1 && Value <= RecordListCount()) FCurrentIndex = Value - 1;
    CursorPosChanged();
    Resync(rmExact);
}

bool TSybQuery::IsSequenced() { return !Filtered(); }

bool TSybQuery::IsFiltered() { return Filtered() && static_cast<bool>(OnFilterRecord()); }

void TSybQuery::SetFiltered(bool Value) {
    if (Active()) {
        CheckBrowseMode();
        if (Value != Filtered()) SybDataSet::TSybDataSet::SetFiltered(Value);
        First();
    } else {
        SybDataSet::TSybDataSet::SetFiltered(Value);
    }
}

void TSybQuery::InternalDelete() {
    if (FCurrentIndex < 0 || FCurrentIndex >= RecordListCount()) TList::Error(FCurrentIndex);
    TRecordBuffer record = FRecords[static_cast<size_t>(FCurrentIndex)];
    FRecords.erase(FRecords.begin() + FCurrentIndex);
    // Its blobs go with it, once: the framework's copies hold only references.
    _InternalFreeRecord(record);
}

// --- in-memory posting, until the store's own lands -------------------------------

void TSybQuery::InternalPost() {
    TRecordBuffer active = ActiveBuffer();
    if (State() == dsEdit) {
        const int32_t position = GetRecordNumber(active) - 1;
        if (position < 0 || position >= RecordListCount()) TList::Error(position);
        std::memcpy(FRecords[static_cast<size_t>(position)], active, static_cast<size_t>(GetRecordBufferSize()));
        FCurrentIndex = position;
    } else {
        InternalAddRecord(active, GetRecordFlag(active) == bfEOF);
    }
}

void TSybQuery::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
    TRecordBuffer record = AllocRecordBuffer();
    std::memcpy(record, Buffer, static_cast<size_t>(GetRecordBufferSize()));
    SetRecordFlag(record, bfCurrent);
    int32_t position = Append ? RecordListCount() : GetRecordNumber(Buffer) - 1;
    if (position < 0 || position > RecordListCount()) position = Append ? RecordListCount() : 0;
    try {
        _InternalInsert(position, record);
    } catch (...) {
        FreeRecordBuffer(record);
        throw;
    }
    FCurrentIndex = position;
}

} // namespace SybConnect
