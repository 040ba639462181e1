#include "vcl/Classes/Lists.h"

#include <algorithm>

#include "vcl/SysUtils.h"

namespace vcl {

void TList::Error(int index) { throw EListError(Format("List index out of bounds (%d)", {index})); }

void* TList::Get(int index) const {
    if (index < 0 || index >= Count()) Error(index);
    return FItems[static_cast<size_t>(index)];
}

void TList::Put(int index, void* item) {
    if (index < 0 || index >= Count()) Error(index);
    FItems[static_cast<size_t>(index)] = item;
}

int TList::Add(void* item) {
    FItems.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count()) Error(index);
    FItems.insert(FItems.begin() + index, item);
}

void TList::Delete(int index) {
    if (index < 0 || index >= Count()) Error(index);
    FItems.erase(FItems.begin() + index);
}

int TList::IndexOf(const void* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TList::Remove(void* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
    return i;
}

void* TList::Extract(void* item) {
    int i = IndexOf(item);
    if (i < 0) return nullptr;
    Delete(i);
    return item;
}

void TList::Exchange(int a, int b) {
    if (a < 0 || a >= Count()) Error(a);
    if (b < 0 || b >= Count()) Error(b);
    std::swap(FItems[static_cast<size_t>(a)], FItems[static_cast<size_t>(b)]);
}

void TList::Move(int from, int to) {
    if (from == to) return;
    void* item = Get(from);
    if (to < 0 || to >= Count()) Error(to);
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, item);
}

void TThreadList::Add(void* item) {
    TThreadListLock l(*this);
    if (l->IndexOf(item) < 0) l->Add(item);
}

void TThreadList::Remove(void* item) {
    TThreadListLock l(*this);
    l->Remove(item);
}

void TThreadList::Clear() {
    TThreadListLock l(*this);
    l->Clear();
}

} // namespace vcl
