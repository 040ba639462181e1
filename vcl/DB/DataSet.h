// TDataSet: the dataset framework's base class. It keeps a window of record
// buffers over the descendant's data, moves through it, runs the edit cycle and
// the state machine, computes calculated fields and notifies data sources.
// Descendants supply the data through the protected hooks (GetRecord,
// Internal..., the bookmark and buffer hooks) and serve field access through
// GetFieldData / SetFieldData.
//
// Owns: its record buffers (through Alloc/FreeRecordBuffer), its TFields list
// and TFieldDefs. Fields themselves are components: the dataset destroys the
// fields in its list when it goes, whoever owns them.
//
// A concrete descendant must close the dataset in its own destructor
// (`Destroying(); Close();`): by the time the base destructor runs the
// descendant's hooks are gone, so the base cannot close for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/DB/DBError.h"
#include "vcl/DB/DBTypes.h"
#include "vcl/DB/FieldType.h"
#include "vcl/Variants.h"

namespace vcl {

class TDataSource;
class TDataLink;
class TFields;
class TFieldDefs;
class TStream;
class TStrings;

class TFiler;

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;

    // --- opening and state ---------------------------------------------------
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    bool Active() const { return FState != dsInactive && FState != dsOpening; }
    // While the component is being read only remembers the value; Loaded opens.
    virtual void SetActive(bool Value);
    TDataSetState State() const { return FState; }
    bool Modified() const { return FModified; }
    void Loaded() override;

    // Switch to a temporary state without events (controls stay disabled
    // until RestoreState). Always pair them, also on errors.
    TDataSetState SetTempState(TDataSetState Value);
    void RestoreState(TDataSetState Value);

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // The dataset's own handling of an event, then every attached data source.
    // Info is the field for deFieldChange / deFocusControl, the scroll shift for
    // deDataSetScroll, 0 otherwise.
    virtual void DataEvent(TDataEvent Event, intptr_t Info);

    // --- navigation ----------------------------------------------------------
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Returns the number of records moved (signed).
    int MoveBy(int Distance);
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    bool IsEmpty() const { return FActiveRecord >= FRecordCount; }
    int RecordCount() { return GetRecordCount(); }
    int RecNo() { return GetRecNo(); }
    // Total records as the descendant counts them; base -1.
    virtual int GetRecordCount() { return -1; }
    // 1-based position of the active record; base -1.
    virtual int GetRecNo() { return -1; }
    // Base: nothing.
    virtual void SetRecNo(int /*Value*/) {}
    virtual bool IsSequenced() { return true; }
    void Refresh();
    // Rebuilds the window around the descendant's cursor.
    void Resync(TResyncMode Mode);
    void CursorPosChanged() { FCurrentRecord = -1; }
    void UpdateCursorPos();

    // --- edit cycle ----------------------------------------------------------
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode();
    void UpdateRecord();
    void ClearFields();
    void InsertRecord(const std::vector<Variant>& Values);
    void AppendRecord(const std::vector<Variant>& Values);
    bool CanModify() { return GetCanModify(); }

    // --- bookmarks -----------------------------------------------------------
    // A new block of BookmarkSize bytes (free it with FreeBookmark), or none.
    TBookmark GetBookmark();
    void GotoBookmark(TBookmark Bookmark);
    void FreeBookmark(TBookmark Bookmark);
    TBookmarkStr GetBookmarkStr();
    // '' does nothing.
    void SetBookmarkStr(const TBookmarkStr& Value);
    TBookmarkStr Bookmark() { return GetBookmarkStr(); }
    void SetBookmark(const TBookmarkStr& Value) { SetBookmarkStr(Value); }
    virtual bool BookmarkValid(TBookmark Bookmark);
    virtual int CompareBookmarks(TBookmark Bookmark1, TBookmark Bookmark2);
    int BookmarkSize() const { return FBookmarkSize; }

    // --- searching and filtering ---------------------------------------------
    virtual bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
    virtual Variant Lookup(const std::string& KeyFields, const Variant& KeyValues,
                           const std::string& ResultFields);
    virtual bool FindRecord(bool Restart, bool GoForward);
    bool FindFirst() { return FindRecord(true, true); }
    bool FindLast() { return FindRecord(true, false); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }
    bool Found() const { return FFound; }
    virtual void SetFound(bool Value) { FFound = Value; }

    bool Filtered() const { return FFiltered; }
    virtual void SetFiltered(bool Value) { FFiltered = Value; }
    const std::string& Filter() const { return FFilterText; }
    virtual void SetFilterText(const std::string& Value) { FFilterText = Value; }
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    virtual void SetFilterOptions(TFilterOptions Value) { FFilterOptions = Value; }
    const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
    virtual void SetOnFilterRecord(const TFilterRecordEvent& Value) { FOnFilterRecord = Value; }

    // --- fields --------------------------------------------------------------
    TFields* Fields() const { return FFields; }
    int FieldCount() const;
    TFieldDefs* FieldDefs() const { return FFieldDefs; }
    // "Field '%s' not found" (with the dataset's name) when absent.
    TField* FieldByName(const std::string& FieldName) const;
    TField* FindField(const std::string& FieldName) const;
    TField* FieldByNumber(int FieldNo) const;
    // 'A;B' → the fields, by FieldByName.
    void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const;
    // One name: the field's Value; several: a variant array of their values.
    Variant GetFieldValue(const std::string& FieldName) const;
    void SetFieldValue(const std::string& FieldName, const Variant& Value);
    Variant FieldValues(const std::string& FieldName) const { return GetFieldValue(FieldName); }
    bool DefaultFields() const { return FDefaultFields; }
    bool AutoCalcFields() const { return FAutoCalcFields; }
    void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
    int CalcFieldsSize() const { return FCalcFieldsSize; }
    int BlobFieldCount() const { return FBlobFieldCount; }
    TRecordBuffer CalcBuffer() const { return FCalcBuffer; }

    void CreateFields();
    void BindFields(bool Binding);
    void DestroyFields();
    void FreeFieldBuffers();
    // Describes the fields of this dataset, opening the cursor for information
    // when it is closed.
    void InitFieldDefs();
    void CalculateFields(TRecordBuffer Buffer);
    void GetCalcFields(TRecordBuffer Buffer);
    virtual void ClearCalcFields(TRecordBuffer Buffer);
    virtual TFieldClass GetFieldClass(TFieldType FieldType);

    // Field values in the descendant's native format (see the field classes).
    // Buffer none: only ask whether the field is null (true = not null).
    virtual bool GetFieldData(TField* Field, void* Buffer) = 0;
    // Buffer none: set the field to null.
    virtual void SetFieldData(TField* Field, const void* Buffer) = 0;
    virtual TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode);
    virtual void CloseBlob(TField* Field);
    // Base: copies Src to Dest when they differ; returns Dest's length.
    virtual int Translate(const std::string& Src, std::string& Dest, bool ToOem);

    // --- data sources --------------------------------------------------------
    virtual TDataSource* GetDataSource() { return nullptr; }
    TDataSource* DataSource() { return GetDataSource(); }
    // True when the master chain from DataSource leads back to this dataset.
    bool IsLinkedTo(TDataSource* DataSource);

    // --- the window, for descendants and links -----------------------------
    TRecordBuffer ActiveBuffer() const { return FBuffers.empty() ? nullptr : FBuffers[FActiveRecord]; }
    int BufferCount() const { return FBufferCount; }
    int ActiveRecord() const { return FActiveRecord; }
    int CurrentRecord() const { return FCurrentRecord; }
    // Entries in the window holding records (a data link's RecordCount).
    int WindowCount() const { return FRecordCount; }
    TRecordBuffer Buffers(int Index) const { return FBuffers.at(static_cast<size_t>(Index)); }
    // Makes the buffer list exactly Value entries long.
    void SetBufListSize(int Value);

    // Events.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;

protected:
    // --- hooks a descendant implements ---------------------------------------
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    // Releases the buffer and sets the caller's reference to none.
    virtual void FreeRecordBuffer(TRecordBuffer& Buffer) = 0;
    virtual void GetBookmarkData(TRecordBuffer Buffer, TBookmark Data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) = 0;
    virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) = 0;
    virtual int GetRecordSize() { return 0; }
    virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append) = 0;
    virtual void InternalClose() = 0;
    virtual void InternalDelete() = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalGotoBookmark(TBookmark Bookmark) = 0;
    virtual void InternalHandleException() = 0;
    virtual void InternalInitFieldDefs() = 0;
    virtual void InternalInitRecord(TRecordBuffer Buffer) = 0;
    virtual void InternalLast() = 0;
    virtual void InternalOpen() = 0;
    virtual void InternalPost() = 0;
    virtual void InternalSetToRecord(TRecordBuffer Buffer) = 0;
    virtual bool IsCursorOpen() = 0;
    virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) = 0;
    virtual void SetBookmarkData(TRecordBuffer Buffer, TBookmark Data) = 0;
    // Base steps: nothing.
    virtual void InternalCancel() {}
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalRefresh() {}
    virtual bool GetCanModify() { return true; }
    // Streaming of defined properties comes with component streaming.
    virtual void DefineProperties(TFiler* /*Filer*/) {}

    // --- framework steps descendants may override or call -------------------
    virtual void OpenCursor(bool InfoQuery);
    virtual void CloseCursor();
    virtual void DoAfterOpen();
    virtual void DoBeforeScroll();
    virtual void DoAfterScroll();
    virtual void DoBeforeOpen();
    virtual void DoBeforeClose();
    virtual void DoAfterClose();
    virtual void DoOnCalcFields();
    virtual void DoOnNewRecord();
    virtual void RefreshInternalCalcFields(TRecordBuffer Buffer);
    void SetState(TDataSetState Value);
    void SetBookmarkSize(int Value) { FBookmarkSize = Value; }
    void CheckActive();
    void CheckInactive();
    void ClearBuffers();
    void ActivateBuffers();
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    void SetCurrentRecord(int Index);
    void InitRecord(TRecordBuffer Buffer);
    TRecordBuffer TempBuffer() const { return FBuffers[static_cast<size_t>(FRecordCount)]; }
    // Recomputes BufferCount from the attached data links (open cursors only).
    void UpdateBufferCount();
    void SetBufferCount(int Value);

private:
    int LinkBufferCount() const;
    using TOperation = void (TDataSet::*)();
    void CheckOperation(TOperation Operation, const TDataSetErrorEvent& ErrorEvent);
    void CheckCanModify();
    void BeginInsertAppend();
    void EndInsertAppend();
    void MoveBuffer(int CurIndex, int NewIndex);
    void DoInternalOpen();
    void SetFieldValues(const std::vector<Variant>& Values);
    void AddDataSource(TDataSource* DataSource);
    void RemoveDataSource(TDataSource* DataSource);
    void Fire(const TDataSetNotifyEvent& Event) {
        if (Event) Event(this);
    }
    // Adapter so member hooks can be passed to CheckOperation.
    void DoInternalEdit() { InternalEdit(); }
    void DoInternalPost() { InternalPost(); }
    void DoInternalDelete() { InternalDelete(); }

    TDataSetState FState = dsInactive;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
    int FDisableCount = 0;
    bool FModified = false;
    bool FBOF = true;
    bool FEOF = true;
    bool FFound = false;
    bool FFiltered = false;
    bool FStreamedActive = false;
    bool FDefaultFields = false;
    bool FAutoCalcFields = true;
    bool FInternalCalcFields = false;
    bool FInternalOpenComplete = false;
    std::string FFilterText;
    TFilterOptions FFilterOptions = 0;
    TFilterRecordEvent FOnFilterRecord;

    std::vector<TRecordBuffer> FBuffers;
    int FBufferCount = 0;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    int FCurrentRecord = -1;
    int FBookmarkSize = 0;
    int FCalcFieldsSize = 0;
    int FBlobFieldCount = 0;
    TRecordBuffer FCalcBuffer = nullptr;

    TFields* FFields = nullptr;
    TFieldDefs* FFieldDefs = nullptr;
    std::vector<TDataSource*> FDataSources;

    friend class TDataSource;
    friend class TDataLink;
    friend class TField;
};

// Splits 'A;B' field lists: returns the name starting at Pos (1-based, as the
// framework counts) with blanks trimmed, and moves Pos past the next ';'.
std::string ExtractFieldName(const std::string& Fields, int& Pos);

// Names of the field types as error messages give them ('String', 'Integer').
std::string FieldTypeName(TFieldType Type);

} // namespace vcl
