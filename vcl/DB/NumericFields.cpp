// The integer fields: TIntegerField, TSmallintField, TWordField, TAutoIncField
// and TLargeintField.
#include <cmath>
#include <cstring>

#include "vcl/DB/DBError.h"
#include "vcl/DB/StdFields.h"

namespace vcl {

// --- TIntegerField ---------------------------------------------------------------

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftInteger); }

void TIntegerField::ReadNative(const char* Data, int32_t& Value) const { std::memcpy(&Value, Data, 4); }

void TIntegerField::WriteNative(char* Data, int32_t Value) const { std::memcpy(Data, &Value, 4); }

bool TIntegerField::GetValue(int32_t& Value) {
    std::vector<char> buffer = ValueBuffer();
    if (!GetData(buffer.data())) return false;
    ReadNative(buffer.data(), Value);
    return true;
}

void TIntegerField::CheckRange(int64_t Value) const {
    int64_t lo = FMinRange, hi = FMaxRange;
    if (FMinValue != 0 || FMaxValue != 0) {
        lo = FMinValue;
        hi = FMaxValue;
    }
    if (Value < lo || Value > hi) RangeError(static_cast<double>(Value), static_cast<double>(lo), static_cast<double>(hi));
}

std::string TIntegerField::GetAsString() {
    int32_t v;
    return GetValue(v) ? IntToStr(v) : std::string();
}

void TIntegerField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    int v;
    if (!TryStrToInt(Value, v))
        DatabaseErrorFmt("'%s' is not a valid integer value for field '%s'", {Value, DisplayName()});
    SetAsIntegerValue(v);
}

int32_t TIntegerField::GetAsInteger() {
    int32_t v;
    return GetValue(v) ? v : 0;
}

void TIntegerField::SetAsIntegerValue(int32_t Value) {
    CheckRange(Value);
    std::vector<char> buffer = ValueBuffer();
    WriteNative(buffer.data(), Value);
    SetData(buffer.data());
}

double TIntegerField::GetAsFloat() {
    int32_t v;
    return GetValue(v) ? v : 0.0;
}

void TIntegerField::SetAsFloatValue(double Value) {
    const double r = std::nearbyint(Value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        RangeError(Value, static_cast<double>(FMinRange), static_cast<double>(FMaxRange));
    SetAsIntegerValue(static_cast<int32_t>(r));
}

Variant TIntegerField::GetAsVariant() {
    int32_t v;
    return GetValue(v) ? Variant(static_cast<int>(v)) : Variant::Null();
}

void TIntegerField::SetVarValue(const Variant& Value) {
    // Through 64 bits so an out-of-range value gets the field's range message.
    const int64_t v = Value.AsInt64();
    CheckRange(v);
    SetAsIntegerValue(static_cast<int32_t>(v));
}

// --- TSmallintField, TWordField, TAutoIncField -----------------------------------

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) {
    SetDataType(ftSmallint);
    FMinRange = INT16_MIN;
    FMaxRange = INT16_MAX;
}

void TSmallintField::ReadNative(const char* Data, int32_t& Value) const {
    int16_t v;
    std::memcpy(&v, Data, 2);
    Value = v;
}

void TSmallintField::WriteNative(char* Data, int32_t Value) const {
    const int16_t v = static_cast<int16_t>(Value);
    std::memcpy(Data, &v, 2);
}

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) {
    SetDataType(ftWord);
    FMinRange = 0;
    FMaxRange = UINT16_MAX;
}

void TWordField::ReadNative(const char* Data, int32_t& Value) const {
    uint16_t v;
    std::memcpy(&v, Data, 2);
    Value = v;
}

void TWordField::WriteNative(char* Data, int32_t Value) const {
    const uint16_t v = static_cast<uint16_t>(Value);
    std::memcpy(Data, &v, 2);
}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftAutoInc); }

// --- TLargeintField --------------------------------------------------------------

TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftLargeint); }

bool TLargeintField::GetValue(int64_t& Value) {
    std::vector<char> buffer = ValueBuffer();
    if (!GetData(buffer.data())) return false;
    std::memcpy(&Value, buffer.data(), 8);
    return true;
}

int64_t TLargeintField::AsLargeInt() {
    int64_t v;
    return GetValue(v) ? v : 0;
}

void TLargeintField::SetAsLargeInt(int64_t Value) {
    std::vector<char> buffer = ValueBuffer();
    std::memcpy(buffer.data(), &Value, 8);
    SetData(buffer.data());
}

std::string TLargeintField::GetAsString() {
    int64_t v;
    return GetValue(v) ? IntToStr(v) : std::string();
}

void TLargeintField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    int64_t v;
    if (!TryStrToInt64(Value, v))
        DatabaseErrorFmt("'%s' is not a valid integer value for field '%s'", {Value, DisplayName()});
    SetAsLargeInt(v);
}

int32_t TLargeintField::GetAsInteger() {
    const int64_t v = AsLargeInt();
    // No silent wrap-around of large values.
    if (v < INT32_MIN || v > INT32_MAX) RangeError(static_cast<double>(v), INT32_MIN, INT32_MAX);
    return static_cast<int32_t>(v);
}

void TLargeintField::SetAsIntegerValue(int32_t Value) { SetAsLargeInt(Value); }

double TLargeintField::GetAsFloat() { return static_cast<double>(AsLargeInt()); }

void TLargeintField::SetAsFloatValue(double Value) {
    const double r = std::nearbyint(Value);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        RangeError(Value, -9223372036854775808.0, 9223372036854775807.0);
    SetAsLargeInt(static_cast<int64_t>(r));
}

Variant TLargeintField::GetAsVariant() {
    int64_t v;
    return GetValue(v) ? Variant(v) : Variant::Null();
}

void TLargeintField::SetVarValue(const Variant& Value) { SetAsLargeInt(Value.AsInt64()); }

} // namespace vcl
