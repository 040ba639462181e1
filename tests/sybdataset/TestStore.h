// A small TSybDataSet descendant that supplies what the query supplies in the
// product: column descriptions, record buffers, field access over the slot
// layout, bookmarks through the record-info block, a simple post, and rows
// from a fixture.
#pragma once

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "components/SybDataSet.h"

namespace storetest {

using namespace vcl;
using namespace SybDataSet;

struct TTestColumn {
    std::string Name;
    TFieldType Type;
    int Size = 0;
};

class TTestFetchField : public TBTFetchField {
public:
    TTestFetchField(TSybDataSet* DataSet, TTestColumn Column) : TBTFetchField(DataSet), FColumn(std::move(Column)) {}
    TFieldType GetVclDataType() override { return FColumn.Type; }
    int32_t GetVclLength() override { return OverrideLength ? LengthOverride : GetFieldSize(FColumn.Type, FColumn.Size); }
    std::string GetName() override { return FColumn.Name; }
    const TTestColumn& Column() const { return FColumn; }
    bool OverrideLength = false;
    int32_t LengthOverride = 0;

private:
    TTestColumn FColumn;
};

class TTestStore : public TSybDataSet {
public:
    explicit TTestStore(TComponent* AOwner = nullptr) : TSybDataSet(AOwner) {}
    ~TTestStore() override {
        Destroying();
        Close();
    }

    // The fixture InternalExec reads.
    std::vector<TTestColumn> Columns;
    int Rows = 0;
    std::function<void(TTestStore&, TRecordBuffer, int)> FillRow;
    bool ReadOnlyStore = false;

    int Allocated = 0;
    int Freed = 0;
    std::vector<std::string> HandledErrors;

    using TSybDataSet::FCalcKey;
    using TSybDataSet::FCurrentIndex;
    using TSybDataSet::FEditCopy;
    using TSybDataSet::FRecords;
    using TSybDataSet::FSorted;
    using TSybDataSet::GetRecord;
    using TSybDataSet::InternalFirst;
    using TSybDataSet::InternalInitRecord;
    using TSybDataSet::InternalLast;
    using TSybDataSet::SetBufListSize;
    TRecordBuffer Alloc() { return AllocRecordBuffer(); }
    void Free(TRecordBuffer& Buffer) { FreeRecordBuffer(Buffer); }

    // Slot writers for fixtures: flag 1 and the value.
    void PutInt(TRecordBuffer Buffer, int FieldNo, int32_t Value) {
        char* slot = Buffer + FieldOffset(FieldNo);
        slot[0] = 1;
        std::memcpy(slot + 1, &Value, sizeof Value);
    }
    void PutString(TRecordBuffer Buffer, int FieldNo, const std::string& Value) {
        char* slot = Buffer + FieldOffset(FieldNo);
        slot[0] = 1;
        std::memcpy(slot + 1, Value.c_str(), Value.size() + 1);
    }
    int32_t SlotInt(TRecordBuffer Buffer, int FieldNo) {
        int32_t v;
        std::memcpy(&v, Buffer + FieldOffset(FieldNo) + 1, sizeof v);
        return v;
    }

    // --- what the query supplies -------------------------------------------
    bool GetFieldData(TField* Field, void* Buffer) override {
        if (!Field || !IsCursorOpen()) return false;
        char* slot = GetFieldPointer(GetActiveRecordBuffer(), Field);
        if (!slot) return false;
        if (Buffer)
            std::memcpy(Buffer, slot + 1, static_cast<size_t>(GetFieldSize(Field->DataType(), Field->Size())));
        return slot[0] != 0;
    }
    void SetFieldData(TField* Field, const void* Buffer) override {
        if (!IsCursorOpen()) return;
        char* slot = GetFieldPointer(GetActiveRecordBuffer(), Field);
        if (!slot) return;
        slot[0] = Buffer ? 1 : 0;
        if (Buffer) std::memcpy(slot + 1, Buffer, static_cast<size_t>(GetFieldSize(Field->DataType(), Field->Size())));
        const TDataSetState s = State();
        if (s != dsCalcFields && s != dsFilter && s != dsNewValue) DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
    }
    bool BookmarkValid(TBookmark Bookmark) override {
        if (!Bookmark) return false;
        int32_t b;
        std::memcpy(&b, Bookmark, sizeof b);
        return b >= 0 && b < RecordListCount();
    }
    bool IsFiltered() override { return Filtered() && static_cast<bool>(OnFilterRecord()); }

protected:
    TRecordBuffer AllocRecordBuffer() override {
        ++Allocated;
        return new char[static_cast<size_t>(GetRecordBufferSize())]();
    }
    void FreeRecordBuffer(TRecordBuffer& Buffer) override {
        if (!Buffer) return;
        ++Freed;
        delete[] Buffer;
        Buffer = nullptr;
    }
    void GetBookmarkData(TRecordBuffer Buffer, TBookmark Data) override {
        const int32_t b = GetRecordNumber(Buffer) - 1;
        std::memcpy(Data, &b, sizeof b);
    }
    void SetBookmarkData(TRecordBuffer Buffer, TBookmark Data) override {
        int32_t b;
        std::memcpy(&b, Data, sizeof b);
        SetRecordNumber(Buffer, b + 1);
    }
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override { return GetRecordFlag(Buffer); }
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override { SetRecordFlag(Buffer, Value); }
    int GetRecordSize() override { return DataSize() & 0xFFFF; }
    bool GetCanModify() override { return !ReadOnlyStore; }
    void InternalSetToRecord(TRecordBuffer Buffer) override {
        const int32_t n = GetRecordNumber(Buffer);
        FCurrentIndex = n < 0 ? -1 : n - 1;
    }
    void InternalGotoBookmark(TBookmark Bookmark) override {
        int32_t b = -1;
        if (BookmarkValid(Bookmark)) std::memcpy(&b, Bookmark, sizeof b);
        FCurrentIndex = b;
    }
    void InternalDelete() override {
        if (FCurrentIndex < 0 || FCurrentIndex >= RecordListCount()) TList::Error(FCurrentIndex);
        TRecordBuffer b = FRecords[static_cast<size_t>(FCurrentIndex)];
        FRecords.erase(FRecords.begin() + FCurrentIndex);
        _InternalFreeRecord(b);
        DropEditCopy();
    }
    void InternalEdit() override { TakeEditCopy(); }
    void InternalInsert() override { TakeEditCopy(); }
    void InternalCancel() override { DropEditCopy(); }
    void InternalPost() override {
        TRecordBuffer active = ActiveBuffer();
        if (State() == dsEdit) {
            const int32_t pos = GetRecordNumber(active) - 1;
            if (pos < 0 || pos >= RecordListCount()) TList::Error(pos);
            std::memcpy(FRecords[static_cast<size_t>(pos)], active, static_cast<size_t>(GetRecordBufferSize()));
            FCurrentIndex = pos;
        } else {
            StoreCopy(active, GetRecordFlag(active) == bfEOF);
        }
        DropEditCopy();
    }
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override { StoreCopy(Buffer, Append); }
    void InternalHandleException() override {
        try {
            throw;
        } catch (const vcl::Exception& e) {
            HandledErrors.push_back(e.Message());
        } catch (...) {
            HandledErrors.push_back("?");
        }
    }
    void InternalInitFieldDefs() override {
        FieldDefs()->Clear();
        for (int i = 0; i < FetchFieldCount(); ++i) {
            auto* f = static_cast<TTestFetchField*>(GetFetchField(i));
            FieldDefs()->Add(f->Column().Name, f->Column().Type, f->Column().Size);
        }
    }
    void InternalExec() override {
        for (const TTestColumn& c : Columns) new TTestFetchField(this, c);
        FCursorOpen = true;
        InternalInitFieldDefs();
        if (DefaultFields()) CreateFields();
        BindFields(true);
        CreateBuffer();
        FRecords.reserve(static_cast<size_t>(Rows));
        for (int i = 0; i < Rows; ++i) {
            TRecordBuffer b = AllocRecordBuffer();
            AddRecord(b);
            InternalInitRecord(b);
            if (FillRow) FillRow(*this, b, i);
        }
    }

private:
    void TakeEditCopy() {
        DropEditCopy();
        FEditCopy = AllocRecordBuffer();
        std::memcpy(FEditCopy, ActiveBuffer(), static_cast<size_t>(GetRecordBufferSize()));
    }
    void DropEditCopy() {
        if (FEditCopy) FreeRecordBuffer(FEditCopy);
        FEditCopy = nullptr;
    }
    void StoreCopy(TRecordBuffer Source, bool Append) {
        TRecordBuffer b = AllocRecordBuffer();
        std::memcpy(b, Source, static_cast<size_t>(GetRecordBufferSize()));
        SetRecordFlag(b, bfCurrent);
        int32_t pos = Append ? RecordListCount() : GetRecordNumber(Source) - 1;
        if (pos < 0) pos = 0;
        try {
            _InternalInsert(pos, b);
        } catch (...) {
            FreeRecordBuffer(b);
            throw;
        }
        FCurrentIndex = pos;
    }
};

// prefix followed by n ("r12"). Not prefix + std::to_string(n): g++ 12 at -O3
// reports a false -Wrestrict in that concatenation.
inline std::string Text(const char* prefix, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d", prefix, n);
    return text;
}

// Integer column ID (value = row number) and a string column NAME ("r<row>").
inline void IdNameRows(TTestStore& s, TRecordBuffer b, int row) {
    s.PutInt(b, 1, row);
    s.PutString(b, 2, Text("r", row));
}

inline void SetupIdName(TTestStore& s, int rows) {
    s.Columns = {{"ID", ftInteger, 0}, {"NAME", ftString, 9}};
    s.Rows = rows;
    s.FillRow = IdNameRows;
}

} // namespace storetest
