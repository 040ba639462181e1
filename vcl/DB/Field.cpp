// TField base: identity, binding to a dataset, raw data access, validation
// and the default (refusing) typed accessors. TFields: the field list.
#include "vcl/DB/Field.h"

#include <algorithm>
#include <cstring>

#include "vcl/DB/DBError.h"
#include "vcl/DB/DataSet.h"

namespace vcl {

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
    if (FDataSet) {
        // Destroying a field closes its dataset (unless the dataset is the one
        // going away, which has closed already).
        if (!FDataSet->HasState(csDestroying) && FDataSet->Active()) {
            try {
                FDataSet->Close();
            } catch (...) {
            }
        }
        FDataSet->Fields()->Remove(this);
        FDataSet = nullptr;
    }
}

TDataSet* TField::CheckDataSet() const {
    if (!FDataSet) DatabaseErrorFmt("Field '%s' has no dataset", {DisplayName()}, const_cast<TField*>(this));
    return FDataSet;
}

void TField::CheckInactive() {
    if (FDataSet && FDataSet->Active()) DatabaseError("Cannot perform this operation on an open dataset", FDataSet);
}

void TField::SetDataSet(TDataSet* ADataSet) {
    if (ADataSet == FDataSet) return;
    CheckInactive();
    if (ADataSet) {
        if (ADataSet->Active()) DatabaseError("Cannot perform this operation on an open dataset", ADataSet);
        ADataSet->Fields()->CheckFieldName(FFieldName);
    }
    if (FDataSet) FDataSet->Fields()->Remove(this);
    FDataSet = ADataSet;
    if (FDataSet) FDataSet->Fields()->Add(this);
}

void TField::SetFieldName(const std::string& Value) {
    if (FDataSet) FDataSet->Fields()->CheckFieldName(Value, this);
    FFieldName = Value;
}

void TField::SetDisplayLabel(const std::string& Value) {
    FDisplayLabel = Value == FFieldName ? std::string() : Value;
    if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetFieldKind(TFieldKind Value) {
    if (Value == FFieldKind) return;
    CheckInactive();
    FFieldKind = Value;
}

void TField::SetSize(int Value) {
    CheckInactive();
    FSize = Value;
}

void TField::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetLookupDataSet(TDataSet* Value) {
    CheckInactive();
    FLookupDataSet = Value;
}

int TField::Index() const { return FDataSet ? FDataSet->Fields()->IndexOf(this) : -1; }

bool TField::CanModify() const {
    return !FReadOnly && FFieldKind == fkData && FDataSet && FDataSet->CanModify();
}

bool TField::GetData(void* Buffer) {
    TDataSet* ds = CheckDataSet();
    if (FValidating) {
        if (Buffer && FValueBuffer) std::memcpy(Buffer, FValueBuffer, static_cast<size_t>(DataSize()));
        return FValueBuffer != nullptr;
    }
    return ds->GetFieldData(this, Buffer);
}

void TField::SetData(const void* Buffer) { CheckDataSet()->SetFieldData(this, Buffer); }

void TField::Validate(const void* Buffer) {
    if (!OnValidate) return;
    // Reads inside the handler see the pending value.
    FValueBuffer = Buffer;
    FValidating = true;
    try {
        OnValidate(this);
    } catch (...) {
        FValidating = false;
        FValueBuffer = nullptr;
        throw;
    }
    FValidating = false;
    FValueBuffer = nullptr;
}

void TField::Change() {
    if (OnChange) OnChange(this);
}

void TField::Bind(bool Binding) {
    if (!Binding || FFieldKind != fkLookup) return;
    if (!FLookupDataSet || FKeyFields.empty() || FLookupKeyFields.empty() || FLookupResultField.empty())
        DatabaseErrorFmt("Lookup information for field '%s' is incomplete", {DisplayName()}, FDataSet);
    // Unknown names fail here, not on every record.
    std::vector<TField*> fields;
    FDataSet->GetFieldList(fields, FKeyFields);
    FLookupDataSet->Open();
    fields.clear();
    FLookupDataSet->GetFieldList(fields, FLookupKeyFields);
    FLookupDataSet->FieldByName(FLookupResultField);
}

void TField::CalcLookupValue() {
    if (!FLookupDataSet || !FLookupDataSet->Active() || !FDataSet) {
        SetData(nullptr);
        return;
    }
    SetAsVariant(FLookupDataSet->Lookup(FLookupKeyFields, FDataSet->GetFieldValue(FKeyFields), FLookupResultField));
}

void TField::FocusControl() {
    if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(this));
}

std::vector<char> TField::ValueBuffer() const {
    return std::vector<char>(static_cast<size_t>(std::max(DataSize(), 0) + FieldBufferSlack), '\0');
}

Variant TField::GetStateValue(TDataSetState State) {
    TDataSet* ds = CheckDataSet();
    const TDataSetState previous = ds->SetTempState(State);
    try {
        Variant result = GetAsVariant();
        ds->RestoreState(previous);
        return result;
    } catch (...) {
        ds->RestoreState(previous);
        throw;
    }
}

void TField::SetAsVariant(const Variant& Value) {
    if (Value.IsNull())
        Clear();
    else
        SetVarValue(Value);
}

void TField::AssignValue(const Variant& Value) {
    if (Value.IsEmpty()) return;
    SetAsVariant(Value);
}

std::string TField::GetText(bool DisplayText) {
    std::string text = GetAsString();
    if (OnGetText) OnGetText(this, text, DisplayText);
    return text;
}

void TField::AccessError(const std::string& TypeName) const {
    DatabaseErrorFmt("Cannot access field '%s' as type %s", {DisplayName(), TypeName});
}

void TField::RangeError(double Value, double Min, double Max) const {
    DatabaseError(FloatToStr(Value) + " is not a valid value for field '" + DisplayName() +
                  "'. The allowed range is " + FloatToStr(Min) + " to " + FloatToStr(Max));
}

std::string TField::GetAsString() { AccessError("String"); }
void TField::SetAsStringValue(const std::string&) { AccessError("String"); }
int32_t TField::GetAsInteger() { AccessError("Integer"); }
void TField::SetAsIntegerValue(int32_t) { AccessError("Integer"); }
double TField::GetAsFloat() { AccessError("Float"); }
void TField::SetAsFloatValue(double) { AccessError("Float"); }
bool TField::GetAsBoolean() { AccessError("Boolean"); }
void TField::SetAsBooleanValue(bool) { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() { AccessError("DateTime"); }
void TField::SetAsDateTimeValue(TDateTime) { AccessError("DateTime"); }
Variant TField::GetAsVariant() { AccessError("Variant"); }
void TField::SetVarValue(const Variant&) { AccessError("Variant"); }

// --- TFields -------------------------------------------------------------------

TField* TFields::Fields(int Index) const {
    if (Index < 0 || Index >= Count()) TList::Error(Index);
    return FList[static_cast<size_t>(Index)];
}

TField* TFields::FindField(const std::string& FieldName) const {
    const std::string key = UpperCase(FieldName);
    for (TField* f : FList)
        if (UpperCase(f->FieldName()) == key) return f;
    return nullptr;
}

TField* TFields::FieldByName(const std::string& FieldName) const {
    TField* f = FindField(FieldName);
    if (!f) DatabaseErrorFmt("Field '%s' not found", {FieldName}, FDataSet);
    return f;
}

TField* TFields::FieldByNumber(int FieldNo) const {
    for (TField* f : FList)
        if (f->FieldNo() == FieldNo) return f;
    return nullptr;
}

int TFields::IndexOf(const TField* Field) const {
    auto it = std::find(FList.begin(), FList.end(), Field);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TFields::CheckFieldName(const std::string& FieldName, const TField* Except) const {
    if (FieldName.empty()) return;
    TField* other = FindField(FieldName);
    if (other && other != Except) DatabaseErrorFmt("Duplicate field name '%s'", {FieldName}, FDataSet);
}

void TFields::Add(TField* Field) {
    FList.push_back(Field);
    if (FDataSet && !FDataSet->HasState(csDestroying)) FDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Remove(TField* Field) {
    auto it = std::find(FList.begin(), FList.end(), Field);
    if (it == FList.end()) return;
    FList.erase(it);
    if (FDataSet && !FDataSet->HasState(csDestroying)) FDataSet->DataEvent(deFieldListChange, 0);
}

} // namespace vcl
