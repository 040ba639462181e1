#include "sandbox/tds/Decode.h"

#include <cstdio>
#include <cstring>

#include "sandbox/sql/DateTime.h"
#include "sandbox/sql/Decimal.h"
#include "sandbox/tds/Wire.h"

namespace sandbox::tds {

using sql::Kind;

namespace {

struct Format {
    uint8_t type = 0;
    uint32_t maxLength = 0;
    uint8_t precision = 0, scale = 0;
};

// Wire codes outside the classic set, known to FreeTDS.
constexpr uint8_t kDate = 0x31, kTime = 0x33, kUInt2 = 0x41, kUInt4 = 0x42, kUInt8 = 0x43, kUIntN = 0x44;

int FixedSize(uint8_t t) {
    switch (t) {
        case kInt1: case kBit: return 1;
        case kInt2: case kUInt2: return 2;
        case kInt4: case kReal: case kDateTime4: case kMoney4: case kDate: case kTime: case kUInt4: return 4;
        case kInt8: case kFlt8: case kDateTime: case kMoney: case kUInt8: return 8;
        default: return 0;
    }
}

Format ReadFormat(Reader& r) {
    Format f;
    f.type = r.U8();
    if (const int n = FixedSize(f.type)) {
        f.maxLength = static_cast<uint32_t>(n);
        return f;
    }
    switch (f.type) {
        case kChar: case kVarChar: case kBinary: case kVarBinary: case kIntN: case kFltN: case kDateTimeN:
        case kMoneyN: case kBitN: case kUIntN:
            f.maxLength = r.U8();
            return f;
        case kLongChar: case kLongBinary:
            f.maxLength = r.U32();
            return f;
        case kText: case kImage:
            f.maxLength = r.U32();
            r.Skip(r.U16());
            return f;
        case kNumeric: case kDecimal:
            f.maxLength = r.U8();
            f.precision = r.U8();
            f.scale = r.U8();
            if (f.precision < 1 || f.precision > 77 || f.scale > f.precision)
                throw ProtocolError("numeric parameter with precision " + std::to_string(f.precision));
            return f;
        default: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "unknown parameter type 0x%02X", f.type);
            throw ProtocolError(buf);
        }
    }
}

sql::ColumnType TypeOf(const Format& f) {
    sql::ColumnType t;
    auto intKind = [](uint32_t n) { return n == 1 ? Kind::TinyInt : n == 2 ? Kind::SmallInt : n == 4 ? Kind::Int : Kind::BigInt; };
    const uint32_t len = f.maxLength ? f.maxLength : 1;
    switch (f.type) {
        case kChar: t.kind = Kind::Char, t.length = len; break;
        case kVarChar: case kLongChar: t.kind = Kind::VarChar, t.length = len > sql::kMaxCharLength ? sql::kMaxCharLength : len; break;
        case kText: t.kind = Kind::Text; break;
        case kBinary: t.kind = Kind::Binary, t.length = len; break;
        case kVarBinary: case kLongBinary: t.kind = Kind::VarBinary, t.length = len > sql::kMaxCharLength ? sql::kMaxCharLength : len; break;
        case kImage: t.kind = Kind::Image; break;
        case kInt1: case kInt2: case kInt4: case kInt8: case kIntN: t.kind = intKind(f.maxLength); break;
        case kUInt2: t.kind = Kind::Int; break;
        case kUInt4: case kUInt8: case kUIntN: t.kind = Kind::BigInt; break;
        case kReal: t.kind = Kind::Real; break;
        case kFlt8: t.kind = Kind::Float; break;
        case kFltN: t.kind = f.maxLength == 4 ? Kind::Real : Kind::Float; break;
        case kBit: case kBitN: t.kind = Kind::Bit; break;
        case kDateTime: case kDate: case kTime: t.kind = Kind::DateTime; break;
        case kDateTime4: t.kind = Kind::SmallDateTime; break;
        case kDateTimeN: t.kind = f.maxLength == 4 ? Kind::SmallDateTime : Kind::DateTime; break;
        case kMoney: t.kind = Kind::Money; break;
        case kMoney4: t.kind = Kind::SmallMoney; break;
        case kMoneyN: t.kind = f.maxLength == 4 ? Kind::SmallMoney : Kind::Money; break;
        case kNumeric: case kDecimal:
            t.kind = f.type == kNumeric ? Kind::Numeric : Kind::Decimal;
            t.precision = f.precision > 38 ? 38 : f.precision;
            t.scale = f.scale > t.precision ? t.precision : f.scale;
            break;
        default: break;
    }
    return t;
}

int64_t SignedLE(const std::string& b) {
    uint64_t v = 0;
    for (size_t k = 0; k < b.size(); ++k) v |= static_cast<uint64_t>(static_cast<uint8_t>(b[k])) << (8 * k);
    if (b.size() < 8 && (v >> (8 * b.size() - 1)) & 1) v |= ~0ULL << (8 * b.size());
    return static_cast<int64_t>(v);
}

uint64_t UnsignedLE(const std::string& b) {
    uint64_t v = 0;
    for (size_t k = 0; k < b.size(); ++k) v |= static_cast<uint64_t>(static_cast<uint8_t>(b[k])) << (8 * k);
    return v;
}

sql::Value DecodeFixed(uint8_t type, const std::string& b) {
    switch (type) {
        case kInt1: case kBit: case kUInt2: case kUInt4: case kUInt8:
            return sql::Value::Int(static_cast<int64_t>(UnsignedLE(b)));
        case kInt2: case kInt4: case kInt8: return sql::Value::Int(SignedLE(b));
        case kReal: {
            float f;
            const uint32_t bits = static_cast<uint32_t>(UnsignedLE(b));
            std::memcpy(&f, &bits, 4);
            return sql::Value::Real(f);
        }
        case kFlt8: {
            double d;
            const uint64_t bits = UnsignedLE(b);
            std::memcpy(&d, &bits, 8);
            return sql::Value::Real(d);
        }
        case kDateTime: {
            const int64_t days = SignedLE(b.substr(0, 4));
            const int64_t ticks = static_cast<int64_t>(UnsignedLE(b.substr(4, 4)));
            return sql::Value::Text(sql::FormatCanonical(sql::PartsFromDays(days, ticks % 25920000)));
        }
        case kDateTime4: {
            const int64_t days = static_cast<int64_t>(UnsignedLE(b.substr(0, 2)));
            const int64_t minutes = static_cast<int64_t>(UnsignedLE(b.substr(2, 2)));
            return sql::Value::Text(sql::FormatCanonical(sql::PartsFromDays(days, (minutes % 1440) * 18000)));
        }
        case kDate:
            return sql::Value::Text(sql::FormatCanonical(sql::PartsFromDays(SignedLE(b), 0)));
        case kTime:
            return sql::Value::Text(sql::FormatCanonical(sql::PartsFromDays(0, static_cast<int64_t>(UnsignedLE(b)) % 25920000)));
        case kMoney: case kMoney4: {
            const int64_t scaled = type == kMoney4 ? SignedLE(b)
                                                   : static_cast<int64_t>((static_cast<uint64_t>(SignedLE(b.substr(0, 4))) << 32) |
                                                                          UnsignedLE(b.substr(4, 4)));
            return sql::Value::Real(static_cast<double>(scaled) / 10000.0);
        }
        default: return {};
    }
}

sql::Value DecodeValue(Reader& r, const Format& f) {
    if (const int n = FixedSize(f.type)) return DecodeFixed(f.type, r.Bytes(static_cast<size_t>(n)));
    switch (f.type) {
        case kChar: case kVarChar: case kBinary: case kVarBinary: case kLongChar: case kLongBinary: {
            const bool wide = f.type == kLongChar || f.type == kLongBinary;
            const uint32_t n = wide ? r.U32() : r.U8();
            if (n == 0) return {};
            std::string s = r.Bytes(n);
            return f.type == kChar || f.type == kVarChar || f.type == kLongChar ? sql::Value::Text(std::move(s))
                                                                                : sql::Value::Blob(std::move(s));
        }
        case kText: case kImage: {
            const uint8_t ptr = r.U8();
            if (ptr == 0) return {};
            r.Skip(ptr + 8u);
            std::string s = r.Bytes(r.U32());
            return f.type == kText ? sql::Value::Text(std::move(s)) : sql::Value::Blob(std::move(s));
        }
        case kIntN: case kFltN: case kDateTimeN: case kMoneyN: case kBitN: case kUIntN: {
            const uint8_t n = r.U8();
            if (n == 0) return {};
            const std::string b = r.Bytes(n);
            uint8_t fixed = 0;
            if (f.type == kIntN) fixed = n == 1 ? kInt1 : n == 2 ? kInt2 : n == 4 ? kInt4 : n == 8 ? kInt8 : 0;
            if (f.type == kUIntN) fixed = n == 1 ? kInt1 : n == 2 ? kUInt2 : n == 4 ? kUInt4 : n == 8 ? kUInt8 : 0;
            if (f.type == kFltN) fixed = n == 4 ? kReal : n == 8 ? kFlt8 : 0;
            if (f.type == kDateTimeN) fixed = n == 4 ? kDateTime4 : n == 8 ? kDateTime : 0;
            if (f.type == kMoneyN) fixed = n == 4 ? kMoney4 : n == 8 ? kMoney : 0;
            if (f.type == kBitN) fixed = n == 1 ? kBit : 0;
            if (!fixed) throw ProtocolError("parameter value of length " + std::to_string(n) + " for its type");
            return DecodeFixed(fixed, b);
        }
        case kNumeric: case kDecimal: {
            const uint8_t n = r.U8();
            if (n == 0) return {};
            const std::string b = r.Bytes(n);
            sql::Decimal d;
            d.negative = b[0] != 0;
            d.digits = sql::BigEndianToDigits(reinterpret_cast<const uint8_t*>(b.data()) + 1, b.size() - 1);
            const std::string text = sql::FormatScaled(d, f.scale);
            if (f.scale == 0 && d.digits.size() <= 18) return sql::Value::Int(std::stoll(text));
            if (d.digits.size() <= 15) return sql::Value::Real(std::stod(text));
            return sql::Value::Text(text);
        }
        default: throw ProtocolError("unknown parameter type");
    }
}

}  // namespace

std::vector<ClientParam> ReadParams(Reader& r) {
    const uint8_t token = r.U8();
    if (token != kTokParamFmt && token != kTokParamFmt2) throw ProtocolError("parameters without a parameter format");
    const bool wide = token == kTokParamFmt2;
    const uint32_t len = wide ? r.U32() : r.U16();
    r.Need(len);
    const uint16_t count = r.U16();
    if (count > 1024) throw ProtocolError("too many parameters");
    std::vector<ClientParam> params(count);
    std::vector<Format> formats(count);
    for (uint16_t k = 0; k < count; ++k) {
        ClientParam& p = params[k];
        p.name = r.Bytes(r.U8());
        const uint32_t status = wide ? r.U32() : r.U8();
        p.output = (status & kParamReturn) != 0;
        r.U32();  // usertype
        formats[k] = ReadFormat(r);
        p.wireType = formats[k].type;
        p.type = TypeOf(formats[k]);
        r.Skip(r.U8());  // locale
    }
    if (r.U8() != kTokParams) throw ProtocolError("parameter format without parameter values");
    for (uint16_t k = 0; k < count; ++k) params[k].value = DecodeValue(r, formats[k]);
    return params;
}

}  // namespace sandbox::tds
