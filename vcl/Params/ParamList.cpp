// TParams: the owning list of parameters.
#include <algorithm>

#include "vcl/DB/DBError.h"
#include "vcl/DB/Params.h"

namespace vcl {

namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

} // namespace

TParams::~TParams() {
    Clear();
}

TParam* TParams::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<size_t>(index)];
}

TParam* TParams::CreateParam(TFieldType dataType, const std::string& name, TParamType paramType) {
    auto* param = new TParam(this, paramType);
    param->SetName(name);
    param->SetDataType(dataType);
    return param;
}

void TParams::AddParam(TParam* value) {
    if (!value || value->FCollection == this) return;
    if (value->FCollection) value->FCollection->RemoveParam(value);
    FItems.push_back(value);
    value->FCollection = this;
}

void TParams::RemoveParam(TParam* value) {
    if (!value) return;
    const auto it = std::find(FItems.begin(), FItems.end(), value);
    if (it == FItems.end()) return;
    FItems.erase(it);
    value->FCollection = nullptr;
}

TParam* TParams::FindParam(const std::string& name) const {
    for (TParam* p : FItems)
        if (SameTextAscii(p->GetName(), name)) return p;
    return nullptr;
}

TParam* TParams::ParamByName(const std::string& name) const {
    TParam* p = FindParam(name);
    if (!p) DatabaseErrorFmt("Parameter '%s' not found", {name}, dynamic_cast<TComponent*>(FOwner));
    return p;
}

void TParams::Clear() {
    std::vector<TParam*> items;
    items.swap(FItems);
    for (TParam* p : items) {
        p->FCollection = nullptr;
        delete p;
    }
}

void TParams::Assign(const TParams& source) {
    if (&source == this) return;
    // Build the copy aside so a failure leaves this list as it was.
    TParams copy;
    for (const TParam* p : source.FItems) (new TParam(&copy))->Assign(*p);
    BeginUpdate();
    Clear();
    FItems.swap(copy.FItems);
    for (TParam* p : FItems) p->FCollection = this;
    EndUpdate();
}

void TParams::AssignValues(const TParams& source) {
    for (const TParam* p : source.FItems)
        if (TParam* target = FindParam(p->GetName())) target->Assign(*p);
}

bool TParams::IsEqual(const TParams& other) const {
    if (Count() != other.Count()) return false;
    for (size_t i = 0; i < FItems.size(); ++i)
        if (!FItems[i]->IsEqual(*other.FItems[i])) return false;
    return true;
}

void TParams::GetParamList(std::vector<TParam*>& list, const std::string& names) const {
    size_t pos = 0;
    while (pos < names.size()) {
        size_t end = names.find(';', pos);
        if (end == std::string::npos) end = names.size();
        const std::string name = Trim(names.substr(pos, end - pos));
        pos = end + 1;
        if (!name.empty()) list.push_back(ParamByName(name));
    }
}

Variant TParams::GetParamValues(const std::string& names) const {
    std::vector<TParam*> list;
    GetParamList(list, names);
    if (list.size() == 1) return list[0]->GetValue();
    std::vector<Variant> values;
    values.reserve(list.size());
    for (const TParam* p : list) values.push_back(p->GetValue());
    return VarArrayOf(values);
}

void TParams::SetParamValues(const std::string& names, const Variant& value) {
    std::vector<TParam*> list;
    GetParamList(list, names);
    if (list.size() == 1) {
        list[0]->SetValue(value);
        return;
    }
    // Read every element before changing anything.
    std::vector<Variant> values;
    for (size_t i = 0; i < list.size(); ++i) values.push_back(value.GetElement({static_cast<int>(i)}));
    for (size_t i = 0; i < list.size(); ++i) list[i]->SetValue(values[i]);
}

} // namespace vcl
