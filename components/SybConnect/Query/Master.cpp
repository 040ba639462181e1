// Attaching a result-set query to its master and detaching it again.
#include <algorithm>

#include "components/SybConnect/Query.h"

namespace SybConnect {

namespace {

void RemoveFirst(std::vector<TSybQuery*>& list, TSybQuery* query) {
    auto it = std::find(list.begin(), list.end(), query);
    if (it != list.end()) list.erase(it);
}

} // namespace

void TSybQuery::SetMaster(TSybQuery* Value) {
    if (Value == FMaster) return;
    if (FMaster && FMaster->FResultSetQueries) RemoveFirst(*FMaster->FResultSetQueries, this);
    FMaster = Value;
    if (Value && Value->FResultSetQueries) Value->FResultSetQueries->push_back(this);
}

void TSybQuery::Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) {
    SybDataSet::TSybDataSet::Notification(AComponent, Operation);
    if (Operation == vcl::opRemove && FMaster && AComponent == FMaster) SetMaster(nullptr);
}

} // namespace SybConnect
