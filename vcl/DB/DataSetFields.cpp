// TDataSet: fields, field definitions and calculated fields.
#include "vcl/DB/DataSet.h"
#include "vcl/DB/Field.h"
#include "vcl/DB/FieldDefs.h"
#include "vcl/DB/StdFields.h"
#include "vcl/Variants.h"

namespace vcl {

int TDataSet::FieldCount() const { return FFields->Count(); }

TField* TDataSet::FieldByName(const std::string& FieldName) const { return FFields->FieldByName(FieldName); }

TField* TDataSet::FindField(const std::string& FieldName) const { return FFields->FindField(FieldName); }

TField* TDataSet::FieldByNumber(int FieldNo) const { return FFields->FieldByNumber(FieldNo); }

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const {
    int pos = 1;
    while (pos <= static_cast<int>(FieldNames.size())) List.push_back(FieldByName(ExtractFieldName(FieldNames, pos)));
}

Variant TDataSet::GetFieldValue(const std::string& FieldName) const {
    std::vector<TField*> fields;
    GetFieldList(fields, FieldName);
    if (fields.size() == 1) return fields[0]->Value();
    std::vector<Variant> values;
    values.reserve(fields.size());
    for (TField* f : fields) values.push_back(f->Value());
    return VarArrayOf(values);
}

void TDataSet::SetFieldValue(const std::string& FieldName, const Variant& Value) {
    std::vector<TField*> fields;
    GetFieldList(fields, FieldName);
    if (fields.size() == 1 && !Value.IsArray()) {
        fields[0]->SetValue(Value);
        return;
    }
    const int low = Value.ArrayLowBound(1);
    for (size_t i = 0; i < fields.size(); ++i) fields[i]->SetValue(Value.GetElement({low + static_cast<int>(i)}));
}

TFieldClass TDataSet::GetFieldClass(TFieldType FieldType) { return DefaultFieldClass(FieldType); }

void TDataSet::CreateFields() {
    for (int i = 0; i < FFieldDefs->Count(); ++i) {
        TFieldDef* def = FFieldDefs->Items(i);
        if (def->DataType() != ftUnknown) def->CreateField(this);
    }
}

void TDataSet::BindFields(bool Binding) {
    FCalcFieldsSize = 0;
    FBlobFieldCount = 0;
    FInternalCalcFields = false;
    for (int i = 0; i < FFields->Count(); ++i) {
        TField* field = (*FFields)[i];
        if (!Binding) {
            field->Bind(false);
            field->FFieldNo = 0;
            continue;
        }
        if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup) {
            if (field->IsBlob() || field->DataSize() <= 0)
                DatabaseErrorFmt("Field '%s' cannot be a calculated or lookup field", {field->DisplayName()}, this);
            field->FFieldNo = -1;
            field->FOffset = FCalcFieldsSize;
            FCalcFieldsSize += field->DataSize() + 1;
        } else {
            TFieldDef* def = FFieldDefs->Find(field->FieldName());
            const bool stringish = [](TFieldType a, TFieldType b) {
                auto text = [](TFieldType t) { return t == ftString || t == ftFixedChar; };
                return text(a) && text(b);
            }(def->DataType(), field->DataType());
            if (def->DataType() != field->DataType() && !stringish)
                DatabaseErrorFmt("Type mismatch for field '%s', expecting: %s actual: %s",
                                 {field->DisplayName(), FieldTypeName(field->DataType()), FieldTypeName(def->DataType())},
                                 this);
            field->FFieldNo = def->FieldNo();
            if (def->InternalCalcField()) FInternalCalcFields = true;
            if (field->IsBlob()) {
                field->FSize = def->Size();
                field->FOffset = FBlobFieldCount++;
            }
        }
        field->Bind(true);
    }
}

void TDataSet::DestroyFields() {
    while (FFields->Count() > 0) delete (*FFields)[FFields->Count() - 1];
}

void TDataSet::FreeFieldBuffers() {
    for (int i = 0; i < FFields->Count(); ++i) (*FFields)[i]->FreeBuffers();
}

void TDataSet::InitFieldDefs() {
    if (IsCursorOpen()) {
        InternalInitFieldDefs();
        return;
    }
    try {
        OpenCursor(true);
    } catch (...) {
        CloseCursor();
        throw;
    }
    CloseCursor();
}

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
    if (FCalcFieldsSize > 0 || FInternalCalcFields) CalculateFields(Buffer);
}

void TDataSet::ClearCalcFields(TRecordBuffer) {}

void TDataSet::RefreshInternalCalcFields(TRecordBuffer Buffer) { CalculateFields(Buffer); }

void TDataSet::CalculateFields(TRecordBuffer Buffer) {
    FCalcBuffer = Buffer;
    if (FState == dsInternalCalc) return;
    const TDataSetState previous = SetTempState(dsCalcFields);
    try {
        ClearCalcFields(FCalcBuffer);
        for (int i = 0; i < FFields->Count(); ++i) {
            TField* field = (*FFields)[i];
            if (field->FieldKind() == fkLookup) field->CalcLookupValue();
        }
        DoOnCalcFields();
    } catch (...) {
        RestoreState(previous);
        throw;
    }
    RestoreState(previous);
}

std::string ExtractFieldName(const std::string& Fields, int& Pos) {
    const int n = static_cast<int>(Fields.size());
    int i = Pos < 1 ? 1 : Pos;
    while (i <= n && Fields[static_cast<size_t>(i - 1)] != ';') ++i;
    const int start = Pos < 1 ? 1 : Pos;
    std::string result = Trim(Fields.substr(static_cast<size_t>(start - 1), static_cast<size_t>(i - start)));
    if (i <= n) ++i; // past the ';'
    Pos = i;
    return result;
}

std::string FieldTypeName(TFieldType Type) {
    static const char* const names[] = {
        "Unknown",  "String",     "SmallInt",    "Integer", "Word",       "Boolean",   "Float",
        "Currency", "BCD",        "Date",        "Time",    "DateTime",   "Bytes",     "VarBytes",
        "AutoInc",  "Blob",       "Memo",        "Graphic", "FmtMemo",    "ParadoxOle", "dBaseOle",
        "TypedBinary", "Cursor",  "FixedChar",   "WideString", "Largeint", "ADT",      "Array",
        "Reference", "DataSet",   "OraBlob",     "OraClob", "Variant",    "Interface", "IDispatch",
        "Guid"};
    const int index = static_cast<int>(Type);
    if (index < 0 || index >= static_cast<int>(sizeof(names) / sizeof(names[0]))) return "Unknown";
    return names[index];
}

} // namespace vcl
