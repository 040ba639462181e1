// Variants of the host class library: a value of one of a few scalar types,
// Unassigned, Null, or an array of variants with one or more dimensions.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "vcl/DateTime.h"
#include "vcl/SysUtils.h"

namespace vcl {

enum TVarType : uint16_t {
    varEmpty = 0,
    varNull = 1,
    varSmallint = 2,
    varInteger = 3,
    varSingle = 4,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,
    varBoolean = 11,
    varVariant = 12,
    varByte = 17,
    varInt64 = 20,
    varString = 0x100,
    varTypeMask = 0x0FFF,
    varArray = 0x2000,
};

// Raised by conversions and array access. The texts are the framework's
// (below); a conversion that overflows the target type raises the conversion
// text as well.
class EVariantError : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* SInvalidVarCast = "Invalid variant type conversion";
inline constexpr const char* SVarArrayBounds = "Variant or safe array index out of bounds";
inline constexpr const char* SVarArrayCreate = "Error creating variant array";
inline constexpr const char* SVarNotArray = "Variant is not an array";

struct TVarArrayData;
// Out of line, so inline constructors do not need the array's definition.
struct TVarArrayDeleter {
    void operator()(TVarArrayData* data) const noexcept;
};

// A value type: copying a variant copies its array elements too.
//
// Conversions follow the framework: Unassigned converts to 0, 0.0, "", false;
// Null and arrays raise EVariantError "Invalid variant type conversion"; a
// string converts to a number when it holds one (decimal separator from
// FormatSettings), otherwise the conversion error; "True"/"False" (any case)
// convert to booleans; true converts to the integer -1; a floating value
// converts to an integer by rounding half to even; a date converts to its
// TDateTime double and back; strings convert to dates with StrToDateTime.
class Variant {
public:
    Variant() noexcept;
    Variant(bool value) noexcept;
    Variant(int value) noexcept;
    Variant(int64_t value) noexcept;
    Variant(double value) noexcept;
    Variant(float value) noexcept;               // varSingle
    Variant(const char* value);                  // nullptr gives ""
    Variant(char* value) : Variant(static_cast<const char*>(value)) {}
    Variant(std::string value) noexcept;
    // Other integer types: 8/16-bit signed -> varSmallint, uint8_t -> varByte,
    // uint16_t -> varInteger, wider ones -> varInt64 (EVariantError when an
    // unsigned value does not fit in 64 signed bits).
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, int> && !std::same_as<T, int64_t> &&
                 !std::same_as<T, char>)
    Variant(T value);
    // A pointer is not a boolean.
    template <typename T>
    Variant(T*) = delete;

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    static Variant Null();
    static Variant FromDateTime(TDateTime value);
    // Rounded to 4 decimals, the currency type's precision.
    static Variant FromCurrency(double value);
    static Variant FromSmallint(int16_t value);
    static Variant FromByte(uint8_t value);

    // Variant arrays. Each bound pair is (low, high), high >= low - 1 (an
    // empty dimension); at least one dimension. Elements start as Unassigned
    // (varVariant) or as the zero of elemType; PutElement converts to elemType.
    // EVariantError "Error creating variant array" for bad bounds or an element
    // type that is not a scalar type or varVariant.
    static Variant CreateArray(const std::vector<std::pair<int, int>>& bounds,
                               TVarType elemType = varVariant);

    // varArray | element type for arrays.
    TVarType VarType() const noexcept;
    bool IsEmpty() const noexcept { return FType == varEmpty; }
    bool IsNull() const noexcept { return FType == varNull; }
    bool IsArray() const noexcept { return FArray != nullptr; }

    std::string AsString() const;
    int32_t AsInteger() const;
    int64_t AsInt64() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    // The value as a variant of the given scalar type (varEmpty/varNull pass
    // through unchanged when asked for varVariant).
    Variant AsType(TVarType type) const;

    // Arrays; dimensions are 1-based. Not an array: ArrayDimCount 0, the
    // others EVariantError "Variant is not an array". A dimension outside
    // 1..count, or an index outside the bounds, or a wrong number of indices:
    // EVariantError "Variant or safe array index out of bounds".
    int ArrayDimCount() const noexcept;
    int ArrayLowBound(int dim) const;
    int ArrayHighBound(int dim) const;
    TVarType ArrayElemType() const;
    Variant GetElement(const std::vector<int>& indices) const;
    void PutElement(const std::vector<int>& indices, const Variant& value);

    // Equality as the framework compares: Unassigned equals only Unassigned,
    // Null only Null; numbers, dates and booleans (true = -1) compare by value;
    // strings compare byte for byte; a string against a number is converted
    // to a number first and raises the conversion error when it holds none.
    // Arrays compare equal with the same bounds and equal elements (the
    // framework cannot compare arrays at all).
    friend bool operator==(const Variant& a, const Variant& b);

private:
    void Reset() noexcept;
    const TVarArrayData& Array() const;
    [[noreturn]] static void CastError();

    TVarType FType = varEmpty;
    int64_t FInt = 0;       // varSmallint, varInteger, varByte, varInt64, varBoolean
    double FFloat = 0;      // varSingle, varDouble, varCurrency, varDate
    std::string FString;    // varString
    std::unique_ptr<TVarArrayData, TVarArrayDeleter> FArray;

    friend struct TVarArrayData;
};

template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, int> && !std::same_as<T, int64_t> &&
             !std::same_as<T, char>)
Variant::Variant(T value) {
    if constexpr (std::same_as<T, uint8_t>) {
        FType = varByte;
        FInt = value;
    } else if constexpr (std::is_signed_v<T> && sizeof(T) <= 2) {
        FType = varSmallint;
        FInt = value;
    } else if constexpr (std::is_unsigned_v<T> && sizeof(T) <= 2) {
        FType = varInteger;
        FInt = value;
    } else if constexpr (std::is_unsigned_v<T> && sizeof(T) >= 8) {
        if (value > static_cast<T>(INT64_MAX)) CastError();
        FType = varInt64;
        FInt = static_cast<int64_t>(value);
    } else {
        FType = varInt64;
        FInt = static_cast<int64_t>(value);
    }
}

// A one-dimensional varVariant array with bounds 0..n-1.
Variant VarArrayOf(const std::vector<Variant>& values);
Variant VarArrayCreate(const std::vector<std::pair<int, int>>& bounds, TVarType elemType);
// A one-dimensional varByte array 0..size-1 holding the bytes, and back
// (EVariantError "Invalid variant type conversion" for a value that is not a
// one-dimensional array; elements are converted to bytes).
Variant VarArrayFromBytes(const void* data, size_t size);
std::vector<uint8_t> VarArrayToBytes(const Variant& v);

inline Variant Unassigned() { return Variant(); }
inline Variant Null() { return Variant::Null(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
inline TVarType VarType(const Variant& v) { return v.VarType(); }
inline int VarArrayDimCount(const Variant& v) { return v.ArrayDimCount(); }
inline int VarArrayLowBound(const Variant& v, int dim) { return v.ArrayLowBound(dim); }
inline int VarArrayHighBound(const Variant& v, int dim) { return v.ArrayHighBound(dim); }
inline Variant VarAsType(const Variant& v, TVarType type) { return v.AsType(type); }
// Null and Unassigned give ""; otherwise AsString.
std::string VarToStr(const Variant& v);

} // namespace vcl
