// TStringList: lines in a vector, with change notification.
#include "vcl/Classes/Strings.h"

#include <utility>

namespace vcl {

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) Error(index);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].String;
}

void TStringList::Put(int index, const std::string& s) {
    CheckIndex(index);
    Changing();
    FItems[static_cast<size_t>(index)].String = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    FItems[static_cast<size_t>(index)].Object = object;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    if (index < 0 || index > Count()) Error(index);
    Changing();
    FItems.insert(FItems.begin() + index, TItem{s, nullptr});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    Changing();
    std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
    Changed();
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

} // namespace vcl
