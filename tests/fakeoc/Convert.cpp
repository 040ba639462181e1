// How a value reaches a bound buffer: same-type copies, the character and
// binary family among themselves, integers and floats among themselves.
#include "tests/fakeoc/Internal.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace FakeOC::Detail {

namespace {

bool IsBytes(int32_t t) {
    return t == Code::Char || t == Code::Binary || t == Code::LongChar || t == Code::LongBinary || t == Code::Text ||
           t == Code::Image;
}

bool IsInteger(int32_t t) {
    return t == Code::TinyInt || t == Code::SmallInt || t == Code::Int || t == Code::BigInt || t == Code::Bit ||
           t == Code::USmallInt || t == Code::UInt || t == Code::UBigInt || t == Code::UShort;
}

bool IsFloat(int32_t t) { return t == Code::Real || t == Code::Float; }

template <class T> T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Reads an integer value; false when the bytes are too few for the type.
bool ReadInteger(int32_t t, const ValueView& v, long double& out) {
    std::size_t need = static_cast<std::size_t>(FixedSize(t));
    if (v.Length < need) return false;
    switch (t) {
    case Code::TinyInt: case Code::Bit: out = Load<uint8_t>(v.Data); return true;
    case Code::SmallInt: out = Load<int16_t>(v.Data); return true;
    case Code::USmallInt: case Code::UShort: out = Load<uint16_t>(v.Data); return true;
    case Code::Int: out = Load<int32_t>(v.Data); return true;
    case Code::UInt: out = Load<uint32_t>(v.Data); return true;
    case Code::BigInt: out = static_cast<long double>(Load<int64_t>(v.Data)); return true;
    case Code::UBigInt: out = static_cast<long double>(Load<uint64_t>(v.Data)); return true;
    case Code::Real: out = Load<float>(v.Data); return true;
    case Code::Float: out = Load<double>(v.Data); return true;
    }
    return false;
}

template <class T> bool Store(long double x, void* buffer) {
    if constexpr (std::numeric_limits<T>::is_integer) {
        if (x < static_cast<long double>(std::numeric_limits<T>::min()) ||
            x > static_cast<long double>(std::numeric_limits<T>::max()))
            return false;
    }
    T v = static_cast<T>(x);
    std::memcpy(buffer, &v, sizeof v);
    return true;
}

bool WriteNumber(int32_t t, long double x, void* buffer) {
    switch (t) {
    case Code::TinyInt: return Store<uint8_t>(x, buffer);
    case Code::Bit: return (x == 0 || x == 1) && Store<uint8_t>(x, buffer);
    case Code::SmallInt: return Store<int16_t>(x, buffer);
    case Code::USmallInt: case Code::UShort: return Store<uint16_t>(x, buffer);
    case Code::Int: return Store<int32_t>(x, buffer);
    case Code::UInt: return Store<uint32_t>(x, buffer);
    case Code::BigInt: return Store<int64_t>(x, buffer);
    case Code::UBigInt: return Store<uint64_t>(x, buffer);
    case Code::Real: return Store<float>(x, buffer);
    case Code::Float: return Store<double>(x, buffer);
    }
    return false;
}

void SetOut(int32_t* copied, int16_t* indicator, int32_t c, int16_t i) {
    if (copied) *copied = c;
    if (indicator) *indicator = i;
}

} // namespace

int FixedSize(int32_t type) {
    switch (type) {
    case Code::TinyInt: case Code::Bit: return 1;
    case Code::SmallInt: case Code::USmallInt: case Code::UShort: return 2;
    case Code::Int: case Code::UInt: case Code::Real: case Code::DateTime4: case Code::Money4: case Code::Date:
    case Code::Time: return 4;
    case Code::BigInt: case Code::UBigInt: case Code::Float: case Code::DateTime: case Code::Money: return 8;
    case Code::Numeric: case Code::Decimal: return Code::NumericSize;
    default: return 0;
    }
}

bool CanConvert(int32_t from, int32_t to) {
    if (from == to) return true;
    if (IsBytes(from) && IsBytes(to)) return true;
    bool fromNumber = IsInteger(from) || IsFloat(from);
    bool toNumber = IsInteger(to) || IsFloat(to);
    if (fromNumber && toNumber) return !(IsFloat(from) && IsInteger(to)); // no silent rounding
    if ((from == Code::Numeric && to == Code::Decimal) || (from == Code::Decimal && to == Code::Numeric)) return true;
    return false;
}

CopyResult CopyOut(int32_t srcType, const ValueView& v, int32_t dstType, int32_t maxLength, int32_t format,
                   void* buffer, int32_t* copied, int16_t* indicator) {
    if (v.Null) {
        SetOut(copied, indicator, 0, -1); // the buffer keeps what it held
        return CopyResult::Ok;
    }
    if (!buffer) return CopyResult::Failed;
    int fixed = FixedSize(dstType);
    if (srcType != dstType && (IsInteger(dstType) || IsFloat(dstType))) {
        long double x = 0;
        if (!ReadInteger(srcType, v, x) || !WriteNumber(dstType, x, buffer)) {
            SetOut(copied, indicator, 0, 0);
            return CopyResult::Failed;
        }
        SetOut(copied, indicator, fixed, 0);
        return CopyResult::Ok;
    }
    if (fixed > 0) {
        // Fixed-length types ignore the bound maxlength, as Open Client does.
        std::size_t n = std::min(v.Length, static_cast<std::size_t>(fixed));
        std::memcpy(buffer, v.Data, n);
        if (n < static_cast<std::size_t>(fixed)) std::memset(static_cast<uint8_t*>(buffer) + n, 0, fixed - n);
        SetOut(copied, indicator, fixed, 0);
        return CopyResult::Ok;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    std::size_t capacity = maxLength > 0 ? static_cast<std::size_t>(maxLength) : 0;
    std::size_t room = capacity;
    if (format == Code::FmtNullTerm) room = capacity ? capacity - 1 : 0;
    std::size_t n = std::min(v.Length, room);
    if (n) std::memcpy(out, v.Data, n);
    int32_t copiedLen = static_cast<int32_t>(n);
    if (format == Code::FmtNullTerm && capacity) {
        out[n] = 0;
        copiedLen = static_cast<int32_t>(n + 1);
    } else if (format == Code::FmtPadBlank || format == Code::FmtPadNull) {
        std::memset(out + n, format == Code::FmtPadBlank ? ' ' : 0, capacity - n);
        copiedLen = static_cast<int32_t>(capacity);
    }
    if (v.Length > room) {
        // Open Client: what fits is copied, the indicator holds the real length.
        auto real = std::min<std::size_t>(v.Length, static_cast<std::size_t>(std::numeric_limits<int16_t>::max()));
        SetOut(copied, indicator, copiedLen, static_cast<int16_t>(real));
        return CopyResult::Truncated;
    }
    SetOut(copied, indicator, copiedLen, 0);
    return CopyResult::Ok;
}

} // namespace FakeOC::Detail
