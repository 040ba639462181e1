// TBytesField and TVarBytesField.
#include <algorithm>
#include <cstring>

#include "vcl/DB/StdFields.h"

namespace vcl {

std::string TBinaryField::GetAsString() {
    std::string bytes;
    return GetBytes(bytes) ? bytes : std::string();
}

void TBinaryField::SetAsStringValue(const std::string& Value) { SetBytes(Value); }

Variant TBinaryField::GetAsVariant() {
    std::string bytes;
    if (!GetBytes(bytes)) return Variant::Null();
    return VarArrayFromBytes(bytes.data(), bytes.size());
}

void TBinaryField::SetVarValue(const Variant& Value) {
    if (Value.IsArray()) {
        const std::vector<uint8_t> bytes = VarArrayToBytes(Value);
        SetBytes(std::string(bytes.begin(), bytes.end()));
    } else {
        SetBytes(Value.AsString());
    }
}

TBytesField::TBytesField(TComponent* AOwner) : TBinaryField(AOwner) {
    SetDataType(ftBytes);
    SetSize(16);
}

bool TBytesField::GetBytes(std::string& Bytes) {
    std::vector<char> buffer = ValueBuffer();
    if (!GetData(buffer.data())) return false;
    Bytes.assign(buffer.data(), static_cast<size_t>(std::max(Size(), 0)));
    return true;
}

void TBytesField::SetBytes(const std::string& Bytes) {
    std::vector<char> buffer = ValueBuffer();
    std::memcpy(buffer.data(), Bytes.data(), std::min(Bytes.size(), static_cast<size_t>(std::max(Size(), 0))));
    SetData(buffer.data());
}

TVarBytesField::TVarBytesField(TComponent* AOwner) : TBinaryField(AOwner) {
    SetDataType(ftVarBytes);
    SetSize(16);
}

bool TVarBytesField::GetBytes(std::string& Bytes) {
    std::vector<char> buffer = ValueBuffer();
    if (!GetData(buffer.data())) return false;
    uint16_t length;
    std::memcpy(&length, buffer.data(), 2);
    // A length beyond the declared size can only be damage; do not read past it.
    const size_t n = std::min<size_t>(length, static_cast<size_t>(std::max(Size(), 0)));
    Bytes.assign(buffer.data() + 2, n);
    return true;
}

void TVarBytesField::SetBytes(const std::string& Bytes) {
    std::vector<char> buffer = ValueBuffer();
    const size_t n = std::min(Bytes.size(), static_cast<size_t>(std::max(std::min(Size(), 65535), 0)));
    const uint16_t length = static_cast<uint16_t>(n);
    std::memcpy(buffer.data(), &length, 2);
    std::memcpy(buffer.data() + 2, Bytes.data(), n);
    SetData(buffer.data());
}

} // namespace vcl
