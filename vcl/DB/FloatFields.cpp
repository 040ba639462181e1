// TFloatField, TCurrencyField and TBCDField.
#include <cmath>
#include <cstring>
#include <string>

#include "vcl/DB/DBError.h"
#include "vcl/DB/StdFields.h"

namespace vcl {

// --- TFloatField -------------------------------------------------------------------

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }

std::string TFloatField::GetAsString() {
    std::vector<char> buffer = ValueBuffer();
    double v;
    if (!GetData(buffer.data())) return std::string();
    std::memcpy(&v, buffer.data(), 8);
    return FloatToStr(v);
}

void TFloatField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    double v;
    if (!TryStrToFloat(Value, v))
        DatabaseErrorFmt("'%s' is not a valid floating point value for field '%s'", {Value, DisplayName()});
    SetAsFloatValue(v);
}

double TFloatField::GetAsFloat() {
    std::vector<char> buffer = ValueBuffer();
    double v = 0;
    if (!GetData(buffer.data())) return 0.0;
    std::memcpy(&v, buffer.data(), 8);
    return v;
}

void TFloatField::SetAsFloatValue(double Value) {
    if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
        RangeError(Value, FMinValue, FMaxValue);
    std::vector<char> buffer = ValueBuffer();
    std::memcpy(buffer.data(), &Value, 8);
    SetData(buffer.data());
}

int32_t TFloatField::GetAsInteger() {
    const double r = std::nearbyint(GetAsFloat());
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) RangeError(r, -2147483648.0, 2147483647.0);
    return static_cast<int32_t>(r);
}

void TFloatField::SetAsIntegerValue(int32_t Value) { SetAsFloatValue(Value); }

Variant TFloatField::GetAsVariant() {
    std::vector<char> buffer = ValueBuffer();
    double v = 0;
    if (!GetData(buffer.data())) return Variant::Null();
    std::memcpy(&v, buffer.data(), 8);
    return Variant(v);
}

void TFloatField::SetVarValue(const Variant& Value) { SetAsFloatValue(Value.AsFloat()); }

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
    SetDataType(ftCurrency);
    SetCurrency(true);
}

// --- packed decimals -------------------------------------------------------------

bool CurrToBCD(double Value, TBcd& Bcd, int Precision, int Decimals) {
    std::memset(&Bcd, 0, sizeof(Bcd));
    if (!std::isfinite(Value) || Decimals < 0 || Decimals > 63 || Precision < 1 || Precision > 64) return false;
    const bool negative = Value < 0;
    const double scaled = std::nearbyint(std::fabs(Value) * std::pow(10.0, Decimals));
    if (scaled >= 9.2e18) return false;
    std::string digits = std::to_string(static_cast<uint64_t>(scaled));
    if (static_cast<int>(digits.size()) <= Decimals)
        digits.insert(0, static_cast<size_t>(Decimals + 1) - digits.size(), '0');
    if (static_cast<int>(digits.size()) > Precision) return false;
    Bcd.Precision = static_cast<uint8_t>(digits.size());
    Bcd.SignSpecialPlaces = static_cast<uint8_t>((negative && scaled != 0 ? 0x80 : 0) | Decimals);
    for (size_t i = 0; i < digits.size(); ++i) {
        const uint8_t d = static_cast<uint8_t>(digits[i] - '0');
        Bcd.Fraction[i / 2] |= (i % 2 == 0) ? static_cast<uint8_t>(d << 4) : d;
    }
    return true;
}

bool BCDToCurr(const TBcd& Bcd, double& Value) {
    const int precision = Bcd.Precision;
    const int places = Bcd.SignSpecialPlaces & 0x3F;
    if (precision > 64 || places > precision) return false;
    long double v = 0;
    for (int i = 0; i < precision; ++i) {
        const uint8_t byte = Bcd.Fraction[i / 2];
        const int d = (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
        if (d > 9) return false;
        v = v * 10 + d;
    }
    v /= std::pow(10.0L, places);
    Value = static_cast<double>((Bcd.SignSpecialPlaces & 0x80) ? -v : v);
    return true;
}

// --- TBCDField -------------------------------------------------------------------

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
    SetDataType(ftBCD);
    SetSize(4);
}

namespace {

bool ReadBcd(TField& field, std::vector<char>& buffer, double& value) {
    TBcd bcd;
    std::memcpy(&bcd, buffer.data(), sizeof(bcd));
    if (!BCDToCurr(bcd, value)) DatabaseErrorFmt("Invalid value for field '%s'", {field.DisplayName()});
    return true;
}

} // namespace

double TBCDField::GetAsFloat() {
    std::vector<char> buffer = ValueBuffer();
    double v = 0;
    if (!GetData(buffer.data())) return 0.0;
    ReadBcd(*this, buffer, v);
    return v;
}

void TBCDField::SetAsFloatValue(double Value) {
    TBcd bcd;
    if (!CurrToBCD(Value, bcd, FPrecision > 0 ? FPrecision : 32, Size()))
        RangeError(Value, -922337203685477.5808, 922337203685477.5807);
    std::vector<char> buffer = ValueBuffer();
    std::memcpy(buffer.data(), &bcd, sizeof(bcd));
    SetData(buffer.data());
}

std::string TBCDField::GetAsString() { return IsNull() ? std::string() : FloatToStr(GetAsFloat()); }

void TBCDField::SetAsStringValue(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    double v;
    if (!TryStrToFloat(Value, v))
        DatabaseErrorFmt("'%s' is not a valid floating point value for field '%s'", {Value, DisplayName()});
    SetAsFloatValue(v);
}

int32_t TBCDField::GetAsInteger() {
    const double r = std::nearbyint(GetAsFloat());
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) RangeError(r, -2147483648.0, 2147483647.0);
    return static_cast<int32_t>(r);
}

void TBCDField::SetAsIntegerValue(int32_t Value) { SetAsFloatValue(Value); }

Variant TBCDField::GetAsVariant() { return IsNull() ? Variant::Null() : Variant::FromCurrency(GetAsFloat()); }

void TBCDField::SetVarValue(const Variant& Value) { SetAsFloatValue(Value.AsFloat()); }

} // namespace vcl
