// Scalar variants: construction, conversion and comparison.
#include <cfenv>
#include <cmath>
#include <cstdio>

#include "vcl/Util/VariantArray.h"
#include "vcl/Variants.h"

namespace vcl {

namespace {

bool IsIntegerType(TVarType t) {
    return t == varSmallint || t == varInteger || t == varByte || t == varInt64 || t == varBoolean;
}

bool IsFloatType(TVarType t) {
    return t == varSingle || t == varDouble || t == varCurrency || t == varDate;
}

// Half to even, as the framework's variant conversions round.
int64_t RoundToInt64(double v) {
    if (!std::isfinite(v)) throw EVariantError(SInvalidVarCast);
    const double r = std::nearbyint(v);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) throw EVariantError(SInvalidVarCast);
    return static_cast<int64_t>(r);
}

bool EqualsNoCase(const std::string& a, const char* b) {
    return UpperCase(a) == UpperCase(b);
}

} // namespace

void TVarArrayDeleter::operator()(TVarArrayData* data) const noexcept {
    delete data;
}

void Variant::CastError() {
    throw EVariantError(SInvalidVarCast);
}

Variant::Variant() noexcept = default;
Variant::Variant(bool value) noexcept : FType(varBoolean), FInt(value ? -1 : 0) {}
Variant::Variant(int value) noexcept : FType(varInteger), FInt(value) {}
Variant::Variant(int64_t value) noexcept : FType(varInt64), FInt(value) {}
Variant::Variant(double value) noexcept : FType(varDouble), FFloat(value) {}
Variant::Variant(float value) noexcept : FType(varSingle), FFloat(value) {}
Variant::Variant(const char* value) : FType(varString), FString(value ? value : "") {}
Variant::Variant(std::string value) noexcept : FType(varString), FString(std::move(value)) {}

Variant::Variant(const Variant& other)
    : FType(other.FType), FInt(other.FInt), FFloat(other.FFloat), FString(other.FString),
      FArray(other.FArray ? new TVarArrayData(*other.FArray) : nullptr) {}

Variant::Variant(Variant&& other) noexcept
    : FType(other.FType), FInt(other.FInt), FFloat(other.FFloat), FString(std::move(other.FString)),
      FArray(std::move(other.FArray)) {
    other.Reset();
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        FType = other.FType;
        FInt = other.FInt;
        FFloat = other.FFloat;
        FString = std::move(other.FString);
        FArray = std::move(other.FArray);
        other.Reset();
    }
    return *this;
}

Variant::~Variant() = default;

void Variant::Reset() noexcept {
    FType = varEmpty;
    FInt = 0;
    FFloat = 0;
    FString.clear();
    FArray.reset();
}

Variant Variant::Null() {
    Variant v;
    v.FType = varNull;
    return v;
}

Variant Variant::FromDateTime(TDateTime value) {
    Variant v(value);
    v.FType = varDate;
    return v;
}

Variant Variant::FromCurrency(double value) {
    Variant v(std::isfinite(value) ? std::round(value * 10000.0) / 10000.0 : value);
    v.FType = varCurrency;
    return v;
}

Variant Variant::FromSmallint(int16_t value) {
    Variant v(static_cast<int>(value));
    v.FType = varSmallint;
    return v;
}

Variant Variant::FromByte(uint8_t value) {
    Variant v(static_cast<int>(value));
    v.FType = varByte;
    return v;
}

TVarType Variant::VarType() const noexcept {
    if (FArray) return static_cast<TVarType>(varArray | FArray->ElemType);
    return FType;
}

std::string Variant::AsString() const {
    if (FArray) CastError();
    switch (FType) {
    case varEmpty: return std::string();
    case varString: return FString;
    case varBoolean: return FInt ? "True" : "False";
    case varSmallint:
    case varInteger:
    case varByte:
    case varInt64: return IntToStr(FInt);
    case varSingle: {
        // A single has about 7 significant digits; do not show its binary tail.
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.7g", FFloat);
        return FloatToStr(std::strtod(buf, nullptr));
    }
    case varDouble:
    case varCurrency: return FloatToStr(FFloat);
    case varDate: return DateTimeToStr(FFloat);
    default: CastError();
    }
}

int64_t Variant::AsInt64() const {
    if (FArray) CastError();
    if (FType == varEmpty) return 0;
    if (IsIntegerType(FType)) return FInt;
    if (IsFloatType(FType)) return RoundToInt64(FFloat);
    if (FType == varString) {
        int64_t i;
        if (TryStrToInt64(FString, i)) return i;
        double d;
        if (TryStrToFloat(FString, d)) return RoundToInt64(d);
    }
    CastError();
}

int32_t Variant::AsInteger() const {
    const int64_t v = AsInt64();
    if (v < INT32_MIN || v > INT32_MAX) CastError();
    return static_cast<int32_t>(v);
}

double Variant::AsFloat() const {
    if (FArray) CastError();
    if (FType == varEmpty) return 0;
    if (IsIntegerType(FType)) return static_cast<double>(FInt);
    if (IsFloatType(FType)) return FFloat;
    if (FType == varString) {
        double d;
        if (TryStrToFloat(FString, d)) return d;
    }
    CastError();
}

bool Variant::AsBoolean() const {
    if (FArray) CastError();
    if (FType == varEmpty) return false;
    if (IsIntegerType(FType)) return FInt != 0;
    if (IsFloatType(FType)) return FFloat != 0;
    if (FType == varString) {
        const std::string t = Trim(FString);
        if (EqualsNoCase(t, "TRUE")) return true;
        if (EqualsNoCase(t, "FALSE")) return false;
        double d;
        if (TryStrToFloat(t, d)) return d != 0;
    }
    CastError();
}

TDateTime Variant::AsDateTime() const {
    if (FArray) CastError();
    if (FType == varString) {
        TDateTime d;
        if (TryStrToDateTime(FString, d)) return d;
        CastError();
    }
    return AsFloat();
}

Variant Variant::AsType(TVarType type) const {
    if (type == varVariant) return *this;
    if (FArray) {
        if (type == VarType()) return *this;
        CastError();
    }
    if (type == FType) return *this;
    if (FType == varNull) CastError();
    switch (type) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varSmallint: {
        const int32_t v = AsInteger();
        if (v < INT16_MIN || v > INT16_MAX) CastError();
        return FromSmallint(static_cast<int16_t>(v));
    }
    case varInteger: return Variant(AsInteger());
    case varSingle: {
        const double d = AsFloat();
        if (std::isfinite(d) && std::fabs(d) > 3.4028234663852886e38) CastError();
        return Variant(static_cast<float>(d));
    }
    case varDouble: return Variant(AsFloat());
    case varCurrency: return FromCurrency(AsFloat());
    case varDate: return FromDateTime(AsDateTime());
    case varBoolean: return Variant(AsBoolean());
    case varByte: {
        const int32_t v = AsInteger();
        if (v < 0 || v > 255) CastError();
        return FromByte(static_cast<uint8_t>(v));
    }
    case varInt64: return Variant(AsInt64());
    case varString: return Variant(AsString());
    default: CastError();
    }
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.FArray || b.FArray) {
        if (!a.FArray || !b.FArray) return false;
        return a.FArray->Bounds == b.FArray->Bounds && a.FArray->Items == b.FArray->Items;
    }
    if (a.FType == varEmpty || b.FType == varEmpty) return a.FType == b.FType;
    if (a.FType == varNull || b.FType == varNull) return a.FType == b.FType;
    if (a.FType == varString && b.FType == varString) return a.FString == b.FString;
    if (a.FType == varBoolean || b.FType == varBoolean) return a.AsBoolean() == b.AsBoolean();
    if (IsIntegerType(a.FType) && IsIntegerType(b.FType)) return a.FInt == b.FInt;
    return a.AsFloat() == b.AsFloat();
}

std::string VarToStr(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) return std::string();
    return v.AsString();
}

} // namespace vcl
