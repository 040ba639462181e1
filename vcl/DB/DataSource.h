// TDataSource: connects a dataset to its data links (data-aware controls,
// detail datasets) and passes the dataset's events on. TDataLink: one
// client's view of a data source, with its own window of BufferCount records
// and virtual hooks for every kind of change. TDetailDataLink adds the detail
// dataset that follows the source.
// A source owns nothing: its dataset and its links are referenced only. The
// dataset detaches its sources when it is destroyed; a source detaches its
// links when it is destroyed; a link leaves its source when destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/DB/DBTypes.h"

namespace vcl {

class TDataLink;

using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    // "Circular datalinks are not allowed" when the new dataset's master chain
    // leads back to this source; the old dataset stays.
    void SetDataSet(TDataSet* ADataSet);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    // dsInactive without a dataset or while disabled, else the dataset's.
    TDataSetState State() const { return FState; }
    // DataSet->Edit when browsing and AutoEdit.
    void Edit();
    // True when the chain dataset → DataSource → dataset ... meets this source.
    bool IsLinkedTo(TDataSet* ADataSet);

    int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }
    TDataLink* DataLinks(int Index) const { return FDataLinks.at(static_cast<size_t>(Index)); }

    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent Event, intptr_t Info);
    void NotifyDataLinks(TDataEvent Event, intptr_t Info);
    void UpdateState();
    void AddDataLink(TDataLink* Link);
    void RemoveDataLink(TDataLink* Link);

    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FDataLinks;
    bool FEnabled = true;
    bool FAutoEdit = true;
    TDataSetState FState = dsInactive;
};

class TDataLink : public TObject {
public:
    TDataLink() = default;
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    // "DataSource cannot be changed" while DataSourceFixed.
    void SetDataSource(TDataSource* ADataSource);
    bool DataSourceFixed() const { return FDataSourceFixed; }
    void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int Value);
    // Row of the dataset's active record within this link's window.
    int ActiveRecord() const;
    void SetActiveRecord(int Value);
    // Rows this link sees: min(records in the dataset's window, BufferCount).
    int RecordCount() const;
    int FirstRecord() const { return FFirstRecord; }
    bool Bof() const;
    bool Eof() const;
    bool Edit();
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int /*Distance*/) { DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField* /*Field*/) {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* /*Field*/) {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    friend class TDataSet;
    void DataEvent(TDataEvent Event, intptr_t Info);
    void UpdateState();
    void SetActive(bool Value);
    void SetEditing(bool Value);
    void UpdateRange();

    TDataSource* FDataSource = nullptr;
    int FBufferCount = 1;
    int FFirstRecord = 0;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    bool FDataSourceFixed = false;
};

class TDetailDataLink : public TDataLink {
public:
    TDataSet* DetailDataSet() { return GetDetailDataSet(); }

protected:
    virtual TDataSet* GetDetailDataSet() { return nullptr; }
};

} // namespace vcl
