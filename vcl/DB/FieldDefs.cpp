// TFieldDefs and TFieldDef.
#include "vcl/DB/FieldDefs.h"

#include <algorithm>

#include "vcl/DB/DataSet.h"
#include "vcl/DB/StdFields.h"

namespace vcl {

TFieldDef::TFieldDef(TFieldDefs* Owner, int FieldNo) : FOwner(Owner), FFieldNo(FieldNo) {}

void TFieldDef::Changed() {
    if (FOwner) FOwner->Changed();
}

void TFieldDef::SetName(const std::string& Value) {
    if (!Value.empty() && UpperCase(Value) != UpperCase(FName) && FOwner && FOwner->IndexOf(Value) >= 0)
        DatabaseErrorFmt("Duplicate name '%s' in %s", {Value, "TFieldDefs"}, FOwner->DataSet());
    FName = Value;
    Changed();
}

void TFieldDef::SetDataType(TFieldType Value) {
    FDataType = Value;
    Changed();
}

void TFieldDef::SetSize(int Value) {
    FSize = Value;
    Changed();
}

void TFieldDef::SetPrecision(int Value) {
    FPrecision = Value;
    Changed();
}

void TFieldDef::SetRequired(bool Value) {
    FAttributes = Value ? (FAttributes | faRequired) : (FAttributes & ~faRequired);
    Changed();
}

void TFieldDef::SetAttributes(TFieldAttributes Value) {
    FAttributes = Value;
    Changed();
}

void TFieldDef::SetInternalCalcField(bool Value) {
    FInternalCalcField = Value;
    Changed();
}

int TFieldDef::Index() const {
    if (!FOwner) return -1;
    for (int i = 0; i < FOwner->Count(); ++i)
        if (FOwner->Items(i) == this) return i;
    return -1;
}

TFieldClass TFieldDef::FieldClass() const {
    TDataSet* ds = FOwner ? FOwner->DataSet() : nullptr;
    return ds ? ds->GetFieldClass(FDataType) : DefaultFieldClass(FDataType);
}

namespace {
bool HasSize(TFieldType t) {
    switch (t) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftBytes:
    case ftVarBytes:
    case ftBCD:
        return true;
    default:
        return t >= ftBlob && t <= ftTypedBinary;
    }
}
} // namespace

TField* TFieldDef::CreateField(TComponent* Owner) {
    TDataSet* ds = FOwner ? FOwner->DataSet() : nullptr;
    TFieldClass cls = FieldClass();
    if (!cls) DatabaseErrorFmt("Field '%s' is of an unknown type", {FName}, ds);
    TField* field = cls(Owner);
    try {
        if (HasSize(FDataType)) field->SetSize(FSize);
        field->SetFieldName(FName);
        field->SetRequired((FAttributes & faRequired) != 0);
        field->SetReadOnly((FAttributes & faReadonly) != 0);
        if (auto* s = dynamic_cast<TStringField*>(field)) {
            if (FDataType == ftFixedChar) s->SetFixedChar(true);
        } else if (auto* b = dynamic_cast<TBlobField*>(field)) {
            b->SetBlobType(FDataType);
        } else if (auto* bcd = dynamic_cast<TBCDField*>(field)) {
            bcd->SetPrecision(FPrecision);
        } else if (auto* f = dynamic_cast<TFloatField*>(field)) {
            if (FPrecision > 0) f->SetPrecision(FPrecision);
        }
        field->SetDataSet(ds);
    } catch (...) {
        delete field;
        throw;
    }
    return field;
}

TFieldDef* TFieldDefs::Items(int Index) const {
    if (Index < 0 || Index >= Count()) TList::Error(Index);
    return FItems[static_cast<size_t>(Index)].get();
}

void TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
    if (Name.empty()) DatabaseError("Field name missing", FDataSet);
    if (IndexOf(Name) >= 0) DatabaseErrorFmt("Duplicate name '%s' in %s", {Name, "TFieldDefs"}, FDataSet);
    auto def = std::make_unique<TFieldDef>(this, Count() + 1);
    def->FName = Name;
    def->FDataType = DataType;
    def->FSize = Size;
    if (Required) def->FAttributes |= faRequired;
    FItems.push_back(std::move(def));
    Changed();
}

TFieldDef* TFieldDefs::AddFieldDef() {
    FItems.push_back(std::make_unique<TFieldDef>(this, Count() + 1));
    Changed();
    return FItems.back().get();
}

void TFieldDefs::Clear() {
    FItems.clear();
    Changed();
}

int TFieldDefs::IndexOf(const std::string& Name) const {
    const std::string key = UpperCase(Name);
    for (size_t i = 0; i < FItems.size(); ++i)
        if (UpperCase(FItems[i]->Name()) == key) return static_cast<int>(i);
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
    const int i = IndexOf(Name);
    if (i < 0) DatabaseErrorFmt("Field '%s' not found", {Name}, FDataSet);
    return FItems[static_cast<size_t>(i)].get();
}

void TFieldDefs::Update() {
    if (FUpdated || !FDataSet) return;
    BeginUpdate();
    try {
        FDataSet->InitFieldDefs();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    FUpdated = true;
}

} // namespace vcl
