// SybDataSet: the in-memory record store under every query.
//
// TSybDataSet keeps every row of an open result as one fixed-size record
// buffer in an ordered list and serves the dataset framework from it:
// navigation, counting, filtering through OnFilterRecord, the buffer of each
// state, blob streams. It does not talk to a server; a descendant fills it
// (InternalExec), describes the columns (TBTFetchField) and implements field
// access and bookmarks on top of the record layout below.
//
// Record layout, one block of GetRecordBufferSize() bytes:
//   data area      one slot per fetch field, packed: a flag byte (0 = null,
//                  nonzero = value) then GetFieldSize(type, size) data bytes;
//   record info    8 bytes at RecordInfoOffset(): record number (int32 LE,
//                  1-based position as last read while browsing, -1 else),
//                  bookmark flag (1 byte), 3 reserved bytes;
//   calculated     CalcFieldsSize() bytes, a slot per calculated/lookup field
//                  at the framework's Offset.
// Integers and doubles are little-endian and unaligned (use memcpy).
//
// Blob values live outside the buffers. A blob slot's 4 data bytes hold a
// reference: a 32-bit handle into the store's blob table, 0 for none (a
// pointer would not fit 4 bytes). Resolve it with GetSlotBlob / GetBlobByRef.
// The store owns every TBTBlob in its table: freeing a stored record frees the
// blobs its slots refer to; blobs that no stored record took over (created by
// a stream in a browse copy or in an edit that was cancelled) are freed when
// the store closes. Each blob is freed exactly once.
//
// Ownership: the store owns its fetch fields, its stored records, the edit
// copy and its blobs. The framework's buffers are byte copies of stored
// records and share their blob handles.
//
// A concrete descendant must close the dataset in its own destructor
// (`Destroying(); Close();`): closing calls FreeRecordBuffer, which only the
// descendant implements.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/Classes/Streams.h"
#include "vcl/DB.h"

namespace SybDataSet {

using vcl::TRecordBuffer;

class TSybDataSet;

// Width in bytes of the data part of a slot for a field type and declared
// size (the flag byte not included). Types without a slot give 0.
int32_t GetFieldSize(vcl::TFieldType DataType, int32_t Size);

// Compare options of sorting and key searches.
enum TBTCompareOption : uint8_t { btcoDescending = 0, btcoCaseInsensitive = 1, btcoPartialKey = 2 };
// A set of TBTCompareOption, bit (1 << option).
using TBTCompareOptions = uint8_t;
constexpr TBTCompareOptions btcoSet(TBTCompareOption o) { return static_cast<TBTCompareOptions>(1u << o); }
constexpr bool btcoIn(TBTCompareOption o, TBTCompareOptions s) { return (s & btcoSet(o)) != 0; }

// One result column as the store lays it out. Abstract; the query supplies
// the concrete description. Created with a data set, it appends itself to
// that data set's fetch-field list, which owns it from then on (do not delete
// it yourself; ClearFetchFields and closing do).
class TBTFetchField : public vcl::TObject {
public:
    explicit TBTFetchField(TSybDataSet* ADataSet = nullptr);
    ~TBTFetchField() override = default;

    // The field type the column maps to.
    virtual vcl::TFieldType GetVclDataType() = 0;
    // Bytes of the slot's data part; expected to equal GetFieldSize of the
    // column's type and size.
    virtual int32_t GetVclLength() = 0;
    virtual std::string GetName() = 0;
};

// The bytes of one blob value. Owned by the store's blob table (see above).
class TBTBlob : public vcl::TObject {
public:
    TBTBlob() = default;
    ~TBTBlob() override = default;

    int32_t Size() const { return FSize; }
    const std::string& Data() const { return FData; }
    void SetData(std::string Value);

    // The stream's whole content becomes the value, whatever its position.
    // A stream above 2 GiB - 1 raises vcl::Exception naming its size.
    void LoadFromStream(vcl::TMemoryStream& Stream);
    // The value becomes the stream's whole content (written through the
    // stream's Write); the position ends at 0.
    void SaveToStream(vcl::TMemoryStream& Stream) const;

private:
    int32_t FSize = 0;
    std::string FData;
};

// A memory stream over one blob field of the active record. It copies the
// blob in when created and back into the blob when destroyed after a change,
// then sets the slot's flag byte (1 when the value has a byte, else 0), the
// field's Modified flag, and signals deFieldChange.
//
// Writes count as a change in bmWrite and bmReadWrite streams; the initial
// copy of the current value never does, and a bmRead stream never writes
// back. Without an active buffer (e.g. browsing an empty dataset) the stream
// is empty and detached and never writes back.
//
// Errors: vcl::EInvalidCast for a field that is not a TBlobField or a
// dataset that is not a TSybDataSet; for bmWrite / bmReadWrite, EDatabaseError
// "vtrReadOnlyErr" on a read-only field, then "vtrEditModeErr" when the
// dataset is not in dsEdit / dsInsert. An error while writing back goes to
// Application()->HandleException and never leaves the destructor.
// Free the stream before the dataset moves or closes: closing detaches it.
class TBTBlobStream : public vcl::TMemoryStream {
public:
    TBTBlobStream(vcl::TBlobField* Field, vcl::TBlobStreamMode Mode);
    ~TBTBlobStream() override;

    int64_t Write(const void* Buffer, int64_t Count) override;
    // Empties the stream and marks it modified (not in bmRead).
    void Truncate();
    // Copies the blob into the stream (not a change).
    void ReadBlobData();
    // Copies the stream into the blob and sets the flag byte.
    void WriteBlobData();

    bool Modified() const { return FModified; }
    vcl::TBlobStreamMode Mode() const { return FMode; }
    TBTBlob* Blob() const { return FBlob; }
    // The slot (flag byte) in the buffer the stream writes back to, or none.
    char* Slot() const { return FSlot; }

private:
    friend class TSybDataSet;
    void Detach();

    vcl::TBlobField* FField;
    TSybDataSet* FDataSet = nullptr;
    vcl::TBlobStreamMode FMode;
    TBTBlob* FBlob = nullptr;
    char* FSlot = nullptr;
    bool FModified = false;
    bool FLoading = false;
};

// The record store. See the top of this header for the layout and ownership.
class TSybDataSet : public vcl::TDataSet {
public:
    explicit TSybDataSet(vcl::TComponent* AOwner);
    ~TSybDataSet() override;

    // --- framework overrides ---------------------------------------------------
    // One step through the stored records (the filter is not consulted);
    // see FindFirst/FindNext. Restart goes to First/Last before the step.
    bool FindRecord(bool Restart, bool GoForward) override;
    // Stored records, or with a filter the records it accepts.
    int GetRecordCount() override;
    // A new TBTBlobStream; the caller owns it.
    vcl::TStream* CreateBlobStream(vcl::TField* Field, vcl::TBlobStreamMode Mode) override;
    // Zeroes the calculated area so every calculated field starts null.
    void ClearCalcFields(TRecordBuffer Buffer) override;

    // --- record store ----------------------------------------------------------
    // The field's slot (its flag byte) in Buffer; none for no buffer or a data
    // field whose number has no slot.
    char* GetFieldPointer(TRecordBuffer Buffer, const vcl::TField* Field) const;
    // The buffer of the current state, or none.
    TRecordBuffer GetActiveRecordBuffer();
    // Whether the record in Buffer passes the filter (true when not filtered).
    bool FilterRecord(TRecordBuffer Buffer);
    // vcl::EListError "List index out of bounds (%d)" outside the list.
    TBTFetchField* GetFetchField(int Index) const;
    int FetchFieldCount() const { return static_cast<int>(FFetchFields.size()); }
    // Frees the fetch fields, last first.
    void ClearFetchFields();
    // Lays out the record from the fetch fields and CalcFieldsSize. Raises
    // EDatabaseError naming the column for a negative length or a record above
    // 2 GiB; the previous layout then stays.
    void CreateBuffer();
    // Appends; the list owns the buffer from then on. The sorted flag stays.
    void AddRecord(TRecordBuffer Buffer);
    // Appends and clears the sorted flag.
    void _InternalAdd(TRecordBuffer Buffer);
    // Inserts at Position (negative counts as 0, the record count appends);
    // above the record count raises vcl::EListError and changes nothing.
    // Clears the sorted flag.
    void _InternalInsert(int Position, TRecordBuffer Buffer);
    // Frees the blobs Buffer's blob slots refer to, then the buffer
    // (FreeRecordBuffer). For stored records leaving the list.
    void _InternalFreeRecord(TRecordBuffer Buffer);

    // --- blobs -----------------------------------------------------------------
    // The blob a slot (flag byte pointer) refers to, or none.
    TBTBlob* GetSlotBlob(const char* Slot) const;
    TBTBlob* GetBlobByRef(uint32_t Ref) const;
    // A new empty blob owned by the store, its reference written into the
    // slot's data part; the flag byte is not changed.
    TBTBlob* NewSlotBlob(char* Slot);
    // Takes over Blob and writes its reference into the slot's data part; the
    // flag byte is not changed. For the row decoder.
    TBTBlob* StoreSlotBlob(char* Slot, std::unique_ptr<TBTBlob> Blob);
    // Blobs alive in the store's table.
    int BlobCount() const { return FLiveBlobs; }

    // --- layout and state ------------------------------------------------------
    int32_t DataSize() const { return FDataSize; }
    int32_t RecordInfoOffset() const { return FRecordInfoOffset; }
    // Bytes per record buffer (data + 8 + calculated area).
    int32_t GetRecordBufferSize() const { return FRecordSize; }
    // Entry FieldNo of the field offset table (0: the calculated area).
    int32_t FieldOffset(int FieldNo) const;
    int RecordListCount() const { return static_cast<int>(FRecords.size()); }
    // vcl::EListError outside the list.
    TRecordBuffer GetStoredRecord(int Position) const;
    int32_t CurrentIndex() const { return FCurrentIndex; }
    bool IsSorted() const { return FSorted; }
    const std::string& SortFields() const { return FSortFields; }
    bool AutoSort() const { return FAutoSort; }
    bool DoBinaryLocate() const { return FDoBinaryLocate; }
    void SetDoBinaryLocate(bool Value) { FDoBinaryLocate = Value; }

    // The record-info block of a buffer.
    int32_t GetRecordNumber(const char* Buffer) const;
    void SetRecordNumber(char* Buffer, int32_t Value) const;
    vcl::TBookmarkFlag GetRecordFlag(const char* Buffer) const;
    void SetRecordFlag(char* Buffer, vcl::TBookmarkFlag Value) const;

protected:
    vcl::TGetResult GetRecord(TRecordBuffer Buffer, vcl::TGetMode GetMode, bool DoCheck) override;
    void InternalClose() override;
    void InternalFirst() override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalLast() override;
    void InternalOpen() override;
    bool IsCursorOpen() override { return FCursorOpen; }

    // Runs the statement and fills the store; nothing here.
    virtual void InternalExec() {}
    // Whether filtering is in force; false here.
    virtual bool IsFiltered() { return false; }

    // --- state (the query and the editing and sorting code work on it) -------
    std::vector<std::unique_ptr<TBTFetchField>> FFetchFields;
    std::vector<TRecordBuffer> FRecords;
    int32_t FCurrentIndex = -1;
    int32_t FDataSize = 0;
    int32_t FRecordInfoOffset = 0;
    int32_t FRecordSize = 0;
    // Entry 0: the calculated area; entry n: the slot of field number n.
    // Sized by the column count, so any number of columns fits.
    std::vector<int32_t> FFieldOffsets{0};
    bool FCursorOpen = false;
    TRecordBuffer FEditCopy = nullptr;
    TRecordBuffer FFilterBuffer = nullptr;

    // Sorting and searching state.
    std::string FSortFields;
    bool FAutoSort = false;
    bool FDoBinaryLocate = false;
    std::vector<vcl::TField*> FSortFieldList;
    TBTCompareOptions FSortOptions = 0;
    TBTCompareOptions FKeyOptions = 0;
    std::string FLastSortFieldNames;
    bool FSorted = false;
    bool FCalcKey = false;

private:
    friend class TBTFetchField;
    friend class TBTBlobStream;

    static bool IsBlobSlotType(vcl::TFieldType Type);
    void FreeBlobRef(uint32_t Ref);
    void FreeAllBlobs();
    void RegisterStream(TBTBlobStream* Stream);
    void UnregisterStream(TBTBlobStream* Stream);
    void DetachStreams();

    // Index Ref - 1; entries are never reused while the store is open, so a
    // stale reference in a framework buffer can only miss, never hit another
    // record's blob.
    std::vector<std::unique_ptr<TBTBlob>> FBlobs;
    int FLiveBlobs = 0;
    // Offsets of the blob-type slots of the layout, from CreateBuffer.
    std::vector<int32_t> FBlobSlots;
    std::vector<TBTBlobStream*> FStreams;
};

} // namespace SybDataSet
