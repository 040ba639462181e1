// TParam values taken from dataset fields.
#include "vcl/DB/Field.h"
#include "vcl/DB/Params.h"

namespace vcl {

namespace {

TFieldType ParamTypeOfField(TField* field) {
    // Long memo fields travel as strings.
    if (field->DataType() == ftMemo && field->Size() > 255) return ftString;
    return field->DataType();
}

} // namespace

void TParam::AssignField(TField* field) {
    if (!field) {
        Clear();
        FName.clear();
        return;
    }
    FDataType = ParamTypeOfField(field);
    if (field->IsNull())
        Clear();
    else
        FValue = field->Value();
    FBound = true;
    FName = field->FieldName();
}

void TParam::AssignFieldValue(TField* field, const Variant& value) {
    if (!field) return;
    FDataType = ParamTypeOfField(field);
    if (value.IsNull())
        Clear();
    else
        FValue = value;
    FBound = true;
}

} // namespace vcl
