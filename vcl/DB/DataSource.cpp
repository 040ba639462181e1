// TDataSource: attaching to a dataset, following its state and passing its
// events to the links.
#include "vcl/DB/DataSource.h"

#include <algorithm>

#include "vcl/DB/DataSet.h"

namespace vcl {

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    Destroying();
    while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
    SetDataSet(nullptr);
}

bool TDataSource::IsLinkedTo(TDataSet* ADataSet) {
    for (int guard = 0; ADataSet && guard < 100000; ++guard) {
        TDataSource* source = ADataSet->GetDataSource();
        if (!source) return false;
        if (source == this) return true;
        ADataSet = source->DataSet();
    }
    return false;
}

void TDataSource::SetDataSet(TDataSet* ADataSet) {
    if (ADataSet == FDataSet) return;
    if (ADataSet && IsLinkedTo(ADataSet)) DatabaseError("Circular datalinks are not allowed", this);
    if (FDataSet) FDataSet->RemoveDataSource(this);
    FDataSet = ADataSet;
    if (FDataSet) FDataSet->AddDataSource(this);
    UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    UpdateState();
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

void TDataSource::UpdateState() {
    const TDataSetState state = (FDataSet && FEnabled) ? FDataSet->State() : dsInactive;
    if (state == FState) return;
    const TDataSetState previous = FState;
    FState = state;
    NotifyDataLinks(deUpdateState, 0);
    if (HasState(csDestroying)) return;
    if (OnStateChange) OnStateChange(this);
    if (previous == dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::NotifyDataLinks(TDataEvent Event, intptr_t Info) {
    // A link may leave while it is told; walk a copy and skip the leavers.
    const std::vector<TDataLink*> links = FDataLinks;
    for (TDataLink* link : links)
        if (std::find(FDataLinks.begin(), FDataLinks.end(), link) != FDataLinks.end()) link->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive) return;
    NotifyDataLinks(Event, Info);
    switch (Event) {
    case deFieldChange:
        if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(Info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange) OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::AddDataLink(TDataLink* Link) {
    FDataLinks.push_back(Link);
    if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
    auto it = std::find(FDataLinks.begin(), FDataLinks.end(), Link);
    if (it != FDataLinks.end()) FDataLinks.erase(it);
    if (FDataSet) FDataSet->UpdateBufferCount();
}

} // namespace vcl
