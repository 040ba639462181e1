// TStringField and TWideStringField.
#include <algorithm>
#include <cstring>

#include "vcl/DB/DataSet.h"
#include "vcl/DB/StdFields.h"

namespace vcl {

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
    SetDataType(ftString);
    SetSize(20);
}

void TStringField::SetFixedChar(bool Value) {
    FFixedChar = Value;
    SetDataType(Value ? ftFixedChar : (DataType() == ftWideString ? ftWideString : ftString));
}

bool TStringField::GetValue(std::string& Value) {
    std::vector<char> buffer = ValueBuffer();
    if (!GetData(buffer.data())) return false;
    Value.assign(buffer.data(), strnlen(buffer.data(), static_cast<size_t>(std::max(Size(), 0))));
    if (FTransliterate && DataSet()) {
        std::string translated;
        DataSet()->Translate(Value, translated, false);
        Value = translated;
    }
    return true;
}

std::string TStringField::GetAsString() {
    std::string value;
    return GetValue(value) ? value : std::string();
}

void TStringField::SetAsStringValue(const std::string& Value) {
    std::string text = Value.substr(0, static_cast<size_t>(std::max(Size(), 0)));
    if (FTransliterate && DataSet()) {
        std::string translated;
        DataSet()->Translate(text, translated, true);
        text = translated.substr(0, text.size());
    }
    std::vector<char> buffer = ValueBuffer();
    std::memcpy(buffer.data(), text.data(), text.size());
    SetData(buffer.data());
}

int32_t TStringField::GetAsInteger() {
    std::string value;
    return GetValue(value) ? StrToInt(value) : 0;
}

void TStringField::SetAsIntegerValue(int32_t Value) { SetAsStringValue(IntToStr(Value)); }

double TStringField::GetAsFloat() {
    std::string value;
    return GetValue(value) ? StrToFloat(value) : 0.0;
}

void TStringField::SetAsFloatValue(double Value) { SetAsStringValue(FloatToStr(Value)); }

bool TStringField::GetAsBoolean() {
    std::string value;
    if (!GetValue(value) || value.empty()) return false;
    const char c = value[0];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

void TStringField::SetAsBooleanValue(bool Value) { SetAsStringValue(Value ? "T" : "F"); }

TDateTime TStringField::GetAsDateTime() {
    std::string value;
    return GetValue(value) ? StrToDateTime(value) : 0.0;
}

void TStringField::SetAsDateTimeValue(TDateTime Value) { SetAsStringValue(DateTimeToStr(Value)); }

Variant TStringField::GetAsVariant() {
    std::string value;
    return GetValue(value) ? Variant(value) : Variant::Null();
}

void TStringField::SetVarValue(const Variant& Value) { SetAsStringValue(Value.AsString()); }

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) { SetDataType(ftWideString); }

} // namespace vcl
