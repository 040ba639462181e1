#include "MemDataSet.h"

#include <algorithm>
#include <cstring>

namespace kestrel_test {

namespace {
constexpr int InfoSize = 8;
} // namespace

// A write stream commits its bytes to a fresh pool entry when freed, so the
// stored record (which may share the old entry) only changes at post.
class TMemBlobStream : public TMemoryStream {
public:
    TMemBlobStream(TMemDataSet* DataSet, TField* Field, TBlobStreamMode Mode)
        : FDataSet(DataSet), FField(Field), FMode(Mode) {
        TRecordBuffer buffer = DataSet->GetActiveRecordBuffer();
        if (!buffer) return;
        if (Mode != bmRead) {
            if (Field->ReadOnly()) DatabaseErrorFmt("Field '%s' cannot be modified", {Field->DisplayName()});
            // dsNewValue is how AppendRaw fills stored records.
            if (DataSet->State() != dsEdit && DataSet->State() != dsInsert && DataSet->State() != dsNewValue)
                DatabaseError("Dataset not in edit or insert mode", DataSet);
        }
        FSlot = DataSet->SlotOf(buffer, Field);
        if (Mode == bmWrite) {
            FModified = true;
            return;
        }
        if (FSlot[0]) {
            int32_t index;
            std::memcpy(&index, FSlot + 1, 4);
            const std::string& value = DataSet->FBlobPool.at(static_cast<size_t>(index));
            TMemoryStream::Write(value.data(), static_cast<int64_t>(value.size()));
            Seek(0, soBeginning);
        }
    }
    ~TMemBlobStream() override {
        if (!FModified || !FSlot) return;
        std::string bytes(static_cast<size_t>(Size()), '\0');
        if (!bytes.empty()) std::memcpy(bytes.data(), Memory(), bytes.size());
        FDataSet->FBlobPool.push_back(bytes);
        const int32_t index = static_cast<int32_t>(FDataSet->FBlobPool.size() - 1);
        std::memcpy(FSlot + 1, &index, 4);
        FSlot[0] = bytes.empty() ? 0 : 1;
        static_cast<TBlobField*>(FField)->SetModified(true);
        const TDataSetState s = FDataSet->State();
        if (s != dsCalcFields && s != dsFilter && s != dsNewValue)
            FDataSet->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(FField));
    }
    int64_t Write(const void* buffer, int64_t count) override {
        if (FMode != bmRead) FModified = true;
        return TMemoryStream::Write(buffer, count);
    }

private:
    TMemDataSet* FDataSet;
    TField* FField;
    TBlobStreamMode FMode;
    char* FSlot = nullptr;
    bool FModified = false;
};

TMemDataSet::TMemDataSet(TComponent* AOwner, std::vector<TColumn> Columns)
    : TDataSet(AOwner), FColumns(std::move(Columns)) {}

TMemDataSet::~TMemDataSet() {
    Destroying();
    Close();
}

int TMemDataSet::Count(const std::string& entry) const {
    return static_cast<int>(std::count(Log.begin(), Log.end(), entry));
}

int TMemDataSet::SlotWidth(TField* Field) const {
    if (Field->IsBlob()) return 4;
    return Field->DataSize();
}

int32_t TMemDataSet::RecNoOf(TRecordBuffer Buffer) const {
    int32_t v;
    std::memcpy(&v, Buffer + FDataSize, 4);
    return v;
}

void TMemDataSet::SetRecNoOf(TRecordBuffer Buffer, int32_t Value) const { std::memcpy(Buffer + FDataSize, &Value, 4); }

char* TMemDataSet::SlotOf(TRecordBuffer Buffer, TField* Field) {
    if (Field->FieldNo() > 0) return Buffer + FSlotOffsets.at(static_cast<size_t>(Field->FieldNo()));
    return Buffer + FDataSize + InfoSize + Field->Offset();
}

void TMemDataSet::InternalInitFieldDefs() {
    Log.push_back("initdefs");
    FieldDefs()->Clear();
    for (const TColumn& c : FColumns) {
        TFieldDef* def = FieldDefs()->AddFieldDef();
        def->SetDisplayName(c.Name);
        def->SetDataType(c.Type);
        def->SetSize(c.Size);
    }
}

void TMemDataSet::InternalOpen() {
    Log.push_back("open");
    InternalInitFieldDefs();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    FSlotOffsets.assign(FColumns.size() + 1, 0);
    FDataSize = 0;
    for (int i = 0; i < Fields()->Count(); ++i) {
        TField* f = (*Fields())[i];
        if (f->FieldNo() <= 0) continue;
        FSlotOffsets[static_cast<size_t>(f->FieldNo())] = FDataSize;
        FDataSize += 1 + SlotWidth(f);
    }
    FRecordSize = FDataSize + InfoSize + CalcFieldsSize();
    // Records kept from an earlier open keep their layout; grow them for the
    // calculated area this open may have.
    for (auto& r : FRecords) r.resize(static_cast<size_t>(FRecordSize), 0);
    SetBookmarkSize(4);
    FCurrent = -1;
    FCursorOpen = true;
}

void TMemDataSet::InternalClose() {
    Log.push_back("close");
    FCursorOpen = false;
    BindFields(false);
    if (DefaultFields()) DestroyFields();
}

TRecordBuffer TMemDataSet::AllocRecordBuffer() {
    if (AllocBudget == 0) throw Exception("out of buffers");
    if (AllocBudget > 0) --AllocBudget;
    return new char[static_cast<size_t>(FRecordSize)](); }

void TMemDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
    delete[] Buffer;
    Buffer = nullptr;
}

void TMemDataSet::InternalInitRecord(TRecordBuffer Buffer) {
    std::memset(Buffer, 0, static_cast<size_t>(FRecordSize));
    SetRecNoOf(Buffer, -1);
}

void TMemDataSet::ClearCalcFields(TRecordBuffer Buffer) {
    std::memset(Buffer + FDataSize + InfoSize, 0, static_cast<size_t>(CalcFieldsSize()));
}

TBookmarkFlag TMemDataSet::GetBookmarkFlag(TRecordBuffer Buffer) {
    return static_cast<TBookmarkFlag>(Buffer[FDataSize + 4]);
}

void TMemDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
    Buffer[FDataSize + 4] = static_cast<char>(Value);
}

void TMemDataSet::GetBookmarkData(TRecordBuffer Buffer, TBookmark Data) {
    const int32_t pos = RecNoOf(Buffer) - 1;
    std::memcpy(Data, &pos, 4);
}

void TMemDataSet::SetBookmarkData(TRecordBuffer Buffer, TBookmark Data) {
    int32_t pos;
    std::memcpy(&pos, Data, 4);
    SetRecNoOf(Buffer, pos + 1);
}

bool TMemDataSet::BookmarkValid(TBookmark Bookmark) {
    if (!Bookmark) return false;
    int32_t pos;
    std::memcpy(&pos, Bookmark, 4);
    return pos >= 0 && pos < StoredCount();
}

int TMemDataSet::CompareBookmarks(TBookmark Bookmark1, TBookmark Bookmark2) {
    if (!Bookmark1 || !Bookmark2) return 0;
    int32_t a, b;
    std::memcpy(&a, Bookmark1, 4);
    std::memcpy(&b, Bookmark2, 4);
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool TMemDataSet::FilterRecord(TRecordBuffer Buffer) {
    if (!Filtered() || !OnFilterRecord()) return true;
    bool accept = true;
    const TDataSetState previous = SetTempState(dsFilter);
    FFilterBuffer = Buffer;
    try {
        OnFilterRecord()(this, accept);
    } catch (...) {
        RestoreState(previous);
        throw;
    }
    RestoreState(previous);
    return accept;
}

TGetResult TMemDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool) {
    const int count = StoredCount();
    for (;;) {
        TGetResult result;
        switch (GetMode) {
        case gmCurrent:
            Log.push_back("current");
            result = FCurrent < count ? (FCurrent < 0 ? grBOF : grOK) : grEOF;
            break;
        case gmNext:
            Log.push_back("next");
            result = FCurrent < count - 1 ? (++FCurrent, grOK) : grEOF;
            if (result == grEOF) FCurrent = count;
            break;
        default:
            Log.push_back("prior");
            result = FCurrent > 0 ? (--FCurrent, grOK) : grBOF;
            if (result == grBOF) FCurrent = -1;
            break;
        }
        if (result != grOK) return result;
        std::memcpy(Buffer, FRecords[static_cast<size_t>(FCurrent)].data(), static_cast<size_t>(FRecordSize));
        SetRecNoOf(Buffer, FCurrent + 1);
        SetBookmarkFlag(Buffer, bfCurrent);
        if (FilterRecord(Buffer)) {
            GetCalcFields(Buffer);
            return grOK;
        }
        if (GetMode == gmCurrent) return grError;
    }
}

void TMemDataSet::InternalFirst() {
    Log.push_back("first");
    FCurrent = -1;
}

void TMemDataSet::InternalLast() {
    Log.push_back("last");
    FCurrent = StoredCount();
}

void TMemDataSet::InternalSetToRecord(TRecordBuffer Buffer) {
    const int32_t recno = RecNoOf(Buffer);
    FCurrent = recno < 0 ? -1 : recno - 1;
    Log.push_back("setto:" + std::to_string(FCurrent));
}

void TMemDataSet::InternalGotoBookmark(TBookmark Bookmark) {
    int32_t pos;
    std::memcpy(&pos, Bookmark, 4);
    FCurrent = BookmarkValid(Bookmark) ? pos : -1;
    Log.push_back("goto:" + std::to_string(pos));
}

TRecordBuffer TMemDataSet::GetActiveRecordBuffer() {
    switch (State()) {
    case dsBrowse:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsCurValue:
        return ActiveBuffer();
    case dsNewValue:
        return FFillBuffer ? FFillBuffer : ActiveBuffer();
    case dsCalcFields:
        return CalcBuffer();
    case dsFilter:
        return FFilterBuffer;
    case dsOldValue:
        return FEditCopy.empty() ? ActiveBuffer() : FEditCopy.data();
    default:
        return nullptr;
    }
}

bool TMemDataSet::GetFieldData(TField* Field, void* Buffer) {
    TRecordBuffer record = GetActiveRecordBuffer();
    if (!record || !FCursorOpen) return false;
    const char* slot = SlotOf(record, Field);
    if (Buffer) std::memcpy(Buffer, slot + 1, static_cast<size_t>(SlotWidth(Field)));
    return slot[0] != 0;
}

void TMemDataSet::SetFieldData(TField* Field, const void* Buffer) {
    if (!IsWriteMode(State())) DatabaseError("Dataset not in edit or insert mode", this);
    TRecordBuffer record = GetActiveRecordBuffer();
    if (!record) return;
    if (Field->FieldKind() == fkData) {
        if (Field->ReadOnly() && State() != dsSetKey && State() != dsFilter)
            DatabaseErrorFmt("Field '%s' cannot be modified", {Field->DisplayName()});
        if (IsEditMode(State())) Field->Validate(Buffer);
    }
    char* slot = SlotOf(record, Field);
    slot[0] = Buffer ? 1 : 0;
    if (Buffer) std::memcpy(slot + 1, Buffer, static_cast<size_t>(SlotWidth(Field)));
    if (State() != dsCalcFields && State() != dsFilter && State() != dsNewValue)
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
}

TStream* TMemDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    return new TMemBlobStream(this, Field, Mode);
}

void TMemDataSet::StoreAt(int Pos, TRecordBuffer Buffer, bool Insert) {
    std::vector<char> record(Buffer, Buffer + FRecordSize);
    if (Insert) {
        Pos = std::clamp(Pos, 0, StoredCount());
        FRecords.insert(FRecords.begin() + Pos, std::move(record));
    } else {
        FRecords.at(static_cast<size_t>(Pos)) = std::move(record);
    }
    FCurrent = Pos;
}

void TMemDataSet::InternalEdit() {
    Log.push_back("edit");
    FEditCopy.assign(ActiveBuffer(), ActiveBuffer() + FRecordSize);
}

void TMemDataSet::InternalInsert() {
    Log.push_back("insert");
    FEditCopy.assign(ActiveBuffer(), ActiveBuffer() + FRecordSize);
}

void TMemDataSet::InternalCancel() {
    Log.push_back("cancel");
    FEditCopy.clear();
}

void TMemDataSet::InternalPost() {
    Log.push_back("post");
    if (FailPosts > 0) {
        --FailPosts;
        DatabaseError("post failed", this);
    }
    TRecordBuffer buffer = ActiveBuffer();
    const int pos = RecNoOf(buffer) - 1;
    if (State() == dsEdit)
        StoreAt(pos, buffer, false);
    else if (GetBookmarkFlag(buffer) == bfEOF)
        StoreAt(StoredCount(), buffer, true);
    else
        StoreAt(pos, buffer, true);
    FEditCopy.clear();
}

void TMemDataSet::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
    StoreAt(Append ? StoredCount() : FCurrent, Buffer, true);
}

void TMemDataSet::InternalDelete() {
    Log.push_back("delete");
    FRecords.erase(FRecords.begin() + FCurrent);
    FEditCopy.clear();
}

int TMemDataSet::GetRecordCount() {
    if (!Filtered() || !OnFilterRecord()) return StoredCount();
    int n = 0;
    for (auto& r : FRecords)
        if (FilterRecord(r.data())) ++n;
    return n;
}

int TMemDataSet::GetRecNo() {
    TRecordBuffer b = GetActiveRecordBuffer();
    return b ? RecNoOf(b) : -1;
}

void TMemDataSet::SetRecNo(int Value) {
    if (Value >= 1 && Value <= StoredCount()) FCurrent = Value - 1;
    CursorPosChanged();
    Resync(rmExact);
}

void TMemDataSet::SetFiltered(bool Value) {
    if (!Active()) {
        TDataSet::SetFiltered(Value);
        return;
    }
    CheckBrowseMode();
    if (Value != Filtered()) TDataSet::SetFiltered(Value);
    First();
}

bool TMemDataSet::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions) {
    DoBeforeScroll();
    CheckBrowseMode();
    CursorPosChanged();
    TField* key = FieldByName(KeyFields);
    for (int i = 0; i < StoredCount(); ++i) {
        if (StoredValue(i, key->FieldName()) == KeyValues) {
            FCurrent = i;
            Resync(rmExact | rmCenter);
            DoAfterScroll();
            return true;
        }
    }
    return false;
}

Variant TMemDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) {
    for (int i = 0; i < StoredCount(); ++i)
        if (StoredValue(i, KeyFields) == KeyValues) return StoredValue(i, ResultFields);
    return Variant::Null();
}

void TMemDataSet::AppendRaw(const std::vector<Variant>& Values) {
    std::vector<char> record(static_cast<size_t>(FRecordSize), 0);
    FFillBuffer = record.data();
    const TDataSetState previous = SetTempState(dsNewValue);
    try {
        for (size_t i = 0; i < Values.size(); ++i) (*Fields())[static_cast<int>(i)]->SetValue(Values[i]);
    } catch (...) {
        RestoreState(previous);
        FFillBuffer = nullptr;
        throw;
    }
    RestoreState(previous);
    FFillBuffer = nullptr;
    FRecords.push_back(std::move(record));
}

Variant TMemDataSet::StoredValue(int Pos, const std::string& FieldName) {
    FFillBuffer = FRecords.at(static_cast<size_t>(Pos)).data();
    const TDataSetState previous = SetTempState(dsNewValue);
    Variant v;
    try {
        v = FieldByName(FieldName)->Value();
    } catch (...) {
        RestoreState(previous);
        FFillBuffer = nullptr;
        throw;
    }
    RestoreState(previous);
    FFillBuffer = nullptr;
    return v;
}

} // namespace kestrel_test
