// TBooleanField.
#include <cstring>

#include "vcl/DB/DBError.h"
#include "vcl/DB/StdFields.h"

namespace vcl {

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const std::string& Value) {
    FDisplayValues = Value;
    const size_t sep = Value.find(';');
    FTextValues[1] = Value.substr(0, sep);
    FTextValues[0] = sep == std::string::npos ? std::string() : Value.substr(sep + 1);
}

bool TBooleanField::GetAsBoolean() {
    std::vector<char> buffer = ValueBuffer();
    if (!GetData(buffer.data())) return false;
    int16_t v;
    std::memcpy(&v, buffer.data(), 2);
    return v != 0;
}

void TBooleanField::SetAsBooleanValue(bool Value) {
    std::vector<char> buffer = ValueBuffer();
    const int16_t v = Value ? 1 : 0;
    std::memcpy(buffer.data(), &v, 2);
    SetData(buffer.data());
}

std::string TBooleanField::GetAsString() {
    if (IsNull()) return std::string();
    return FTextValues[GetAsBoolean() ? 1 : 0];
}

void TBooleanField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        if (FTextValues[0].empty())
            SetAsBooleanValue(false);
        else if (FTextValues[1].empty())
            SetAsBooleanValue(true);
        else
            Clear();
        return;
    }
    const std::string key = UpperCase(Value);
    auto isPrefixOf = [&](const std::string& text) { return UpperCase(text.substr(0, key.size())) == key; };
    if (isPrefixOf(FTextValues[0]))
        SetAsBooleanValue(false);
    else if (isPrefixOf(FTextValues[1]))
        SetAsBooleanValue(true);
    else
        DatabaseErrorFmt("'%s' is not a valid boolean value for field '%s'", {Value, DisplayName()});
}

Variant TBooleanField::GetAsVariant() { return IsNull() ? Variant::Null() : Variant(GetAsBoolean()); }

void TBooleanField::SetVarValue(const Variant& Value) { SetAsBooleanValue(Value.AsBoolean()); }

} // namespace vcl
