// A small in-memory dataset for driving the framework the way the record
// store will: fixed-size records in a vector, 4-byte position bookmarks, a
// filter through OnFilterRecord, blobs in a pool, and a log of every hook the
// framework calls (so tests can count reads).
#pragma once

#include <string>
#include <vector>

#include "vcl/Classes/Streams.h"
#include "vcl/DB.h"

namespace kestrel_test {

using namespace vcl;

struct TColumn {
    std::string Name;
    TFieldType Type;
    int Size = 0;
};

class TMemDataSet : public TDataSet {
public:
    TMemDataSet(TComponent* AOwner, std::vector<TColumn> Columns);
    ~TMemDataSet() override;

    // Appends a stored record built from values, one per column (needs an
    // open cursor; the window is not refreshed).
    void AppendRaw(const std::vector<Variant>& Values);
    int StoredCount() const { return static_cast<int>(FRecords.size()); }
    // Value of column Col of stored record Pos, read through a field.
    Variant StoredValue(int Pos, const std::string& FieldName);

    // Hook calls since the last ClearLog: "first", "last", "next", "prior",
    // "current", "next:fail", "setto:<pos>", "goto:<pos>", "post", "delete", ...
    std::vector<std::string> Log;
    void ClearLog() { Log.clear(); }
    int Count(const std::string& entry) const;

    bool ReadOnlyData = false;
    // Fault injection: buffers left to allocate (-1: unlimited); posts to fail.
    int AllocBudget = -1;
    int FailPosts = 0;
    int Current() const { return FCurrent; }

    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    bool BookmarkValid(TBookmark Bookmark) override;
    int CompareBookmarks(TBookmark Bookmark1, TBookmark Bookmark2) override;
    int GetRecordCount() override;
    int GetRecNo() override;
    void SetRecNo(int Value) override;
    void SetFiltered(bool Value) override;
    bool IsSequenced() override { return !Filtered(); }
    bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
    Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) override;

    // Buffer that field access uses in the current state.
    TRecordBuffer GetActiveRecordBuffer();
    std::vector<std::string>& BlobPool() { return FBlobPool; }
    char* SlotOf(TRecordBuffer Buffer, TField* Field);

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    void GetBookmarkData(TRecordBuffer Buffer, TBookmark Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override { return FDataSize; }
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
    void InternalClose() override;
    void InternalDelete() override;
    void InternalFirst() override;
    void InternalGotoBookmark(TBookmark Bookmark) override;
    void InternalHandleException() override {}
    void InternalInitFieldDefs() override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalLast() override;
    void InternalOpen() override;
    void InternalPost() override;
    void InternalEdit() override;
    void InternalInsert() override;
    void InternalCancel() override;
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    bool IsCursorOpen() override { return FCursorOpen; }
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void SetBookmarkData(TRecordBuffer Buffer, TBookmark Data) override;
    void ClearCalcFields(TRecordBuffer Buffer) override;
    bool GetCanModify() override { return !ReadOnlyData; }

private:
    friend class TMemBlobStream;
    int SlotWidth(TField* Field) const;
    bool FilterRecord(TRecordBuffer Buffer);
    int32_t RecNoOf(TRecordBuffer Buffer) const;
    void SetRecNoOf(TRecordBuffer Buffer, int32_t Value) const;
    void StoreAt(int Pos, TRecordBuffer Buffer, bool Insert);

    std::vector<TColumn> FColumns;
    std::vector<std::vector<char>> FRecords;
    std::vector<std::string> FBlobPool;
    std::vector<int> FSlotOffsets; // by field number
    int FDataSize = 0;
    int FRecordSize = 0;
    int FCurrent = -1;
    bool FCursorOpen = false;
    TRecordBuffer FFilterBuffer = nullptr;
    TRecordBuffer FFillBuffer = nullptr;
    std::vector<char> FEditCopy;
};

} // namespace kestrel_test
