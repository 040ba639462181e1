#include "sandbox/tds/Encode.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "sandbox/sql/Decimal.h"
#include "sandbox/sql/SqlError.h"
#include "sandbox/tds/Wire.h"

namespace sandbox::tds {

using sql::Kind;
using sql::VType;

namespace {

std::string Shown(const sql::ValueView& v) {
    char buf[64];
    switch (v.type) {
        case VType::Int: std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.i)); return buf;
        case VType::Real: std::snprintf(buf, sizeof buf, "%.15g", v.d); return buf;
        case VType::Text: return std::string(v.bytes.substr(0, 60));
        case VType::Blob: return "<binary>";
        default: return "NULL";
    }
}

std::string SourceName(const sql::ValueView& v) {
    switch (v.type) {
        case VType::Int: return "INT";
        case VType::Real: return "FLOAT";
        case VType::Blob: return "VARBINARY";
        default: return "VARCHAR";
    }
}

[[noreturn]] void Overflow(const sql::ValueView& v, Kind to) {
    throw SqlError(247, 16, 1,
                   "Arithmetic overflow during implicit conversion of " + SourceName(v) + " value '" + Shown(v) +
                       "' to a " + sql::TypeName(to) + " field .");
}

[[noreturn]] void BadSyntax(const sql::ValueView& v, Kind to) {
    throw SqlError(249, 16, 1,
                   "Syntax error during implicit conversion of " + SourceName(v) + " value '" + Shown(v) +
                       "' to a " + sql::TypeName(to) + " field.");
}

bool IsFixedLengthKind(Kind k) { return k == Kind::Char || k == Kind::Binary; }
bool IsCharKind(Kind k) { return k == Kind::Char || k == Kind::VarChar; }

int IntWidth(Kind k) {
    switch (k) {
        case Kind::TinyInt: return 1;
        case Kind::SmallInt: return 2;
        case Kind::Int: return 4;
        default: return 8;
    }
}

int64_t ToInteger(const sql::ValueView& v, Kind to) {
    switch (v.type) {
        case VType::Int: return v.i;
        case VType::Real:
            if (!std::isfinite(v.d) || v.d >= 9.2233720368547758e18 || v.d <= -9.2233720368547758e18) Overflow(v, to);
            return static_cast<int64_t>(v.d);  // ASE truncates
        case VType::Text: {
            std::string s(v.bytes);
            errno = 0;
            char* end = nullptr;
            const long long n = std::strtoll(s.c_str(), &end, 10);
            while (end && *end == ' ') ++end;
            if (s.empty() || !end || *end) BadSyntax(v, to);
            if (errno == ERANGE) Overflow(v, to);
            return n;
        }
        default: BadSyntax(v, to);
    }
}

double ToDouble(const sql::ValueView& v, Kind to) {
    switch (v.type) {
        case VType::Int: return static_cast<double>(v.i);
        case VType::Real: return v.d;
        case VType::Text: {
            std::string s(v.bytes);
            char* end = nullptr;
            const double d = std::strtod(s.c_str(), &end);
            while (end && *end == ' ') ++end;
            if (s.empty() || !end || *end) BadSyntax(v, to);
            return d;
        }
        default: BadSyntax(v, to);
    }
}

std::string ToBytes(const sql::ValueView& v) {
    char buf[64];
    switch (v.type) {
        case VType::Int: std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.i)); return buf;
        case VType::Real: std::snprintf(buf, sizeof buf, "%.15g", v.d); return buf;
        default: return std::string(v.bytes);
    }
}

// The largest value of a numeric type, as the nearest double.
double LargestAsDouble(const sql::ColumnType& t) {
    std::string nines(t.precision, '9');
    if (t.scale > 0 && t.scale <= t.precision) nines.insert(nines.size() - t.scale, ".");
    return std::strtod(nines.c_str(), nullptr);
}

sql::Decimal ToDecimal(const sql::ValueView& v, int scale, Kind to) {
    std::optional<sql::Decimal> d;
    switch (v.type) {
        case VType::Int: d = sql::DecimalFromInt(v.i, scale); break;
        case VType::Real: d = sql::DecimalFromReal(v.d, scale); break;
        case VType::Text: d = sql::DecimalFromText(v.bytes, scale); break;
        default: break;
    }
    if (!d) BadSyntax(v, to);
    return *d;
}

sql::DateTimeParts ToDateTime(const sql::ValueView& v, Kind to, const EncodeContext& ctx) {
    switch (v.type) {
        case VType::Text: {
            const auto p = sql::ParseDateTime(v.bytes, ctx.dateOrder);
            if (!p) BadSyntax(v, to);
            return p->parts;
        }
        case VType::Int:
        case VType::Real: {
            // Numbers are days since 1900-01-01, as ASE converts them.
            const double days = v.type == VType::Int ? static_cast<double>(v.i) : v.d;
            if (!std::isfinite(days) || days < -53690 || days >= 2958464) Overflow(v, to);
            const double whole = std::floor(days);
            const auto ticks = static_cast<int64_t>(std::llround((days - whole) * 25920000.0));
            return sql::PartsFromDays(static_cast<int64_t>(whole), ticks >= 25920000 ? 25919999 : ticks);
        }
        default: BadSyntax(v, to);
    }
}

void PutVarLength(Buffer& b, bool wide, const std::string& s) {
    if (wide) PutU32(b, static_cast<uint32_t>(s.size()));
    else PutU8(b, static_cast<uint8_t>(s.size()));
    PutBytes(b, s);
}

}  // namespace

void PutTypeInfo(Buffer& b, const sql::ColumnType& t, const EncodeContext& ctx) {
    const bool n = t.nullable;
    switch (t.kind) {
        case Kind::Char:
        case Kind::VarChar:
        case Kind::Binary:
        case Kind::VarBinary: {
            const bool wide = t.length > 255;
            uint8_t code;
            if (wide) code = IsCharKind(t.kind) ? kLongChar : kLongBinary;
            else if (t.kind == Kind::Char) code = kChar;
            else if (t.kind == Kind::VarChar) code = kVarChar;
            else if (t.kind == Kind::Binary) code = kBinary;
            else code = kVarBinary;
            PutU8(b, code);
            if (wide) PutU32(b, t.length);
            else PutU8(b, static_cast<uint8_t>(t.length));
            return;
        }
        case Kind::Text:
        case Kind::Image:
            PutU8(b, t.kind == Kind::Text ? kText : kImage);
            PutU32(b, ctx.textSize);
            PutU16(b, 0);  // no object name
            return;
        case Kind::TinyInt:
        case Kind::SmallInt:
        case Kind::Int:
        case Kind::BigInt: {
            const int w = IntWidth(t.kind);
            if (n) {
                PutU8(b, kIntN);
                PutU8(b, static_cast<uint8_t>(w));
            } else {
                PutU8(b, w == 1 ? kInt1 : w == 2 ? kInt2 : w == 4 ? kInt4 : kInt8);
            }
            return;
        }
        case Kind::Real:
        case Kind::Float:
            if (n) {
                PutU8(b, kFltN);
                PutU8(b, t.kind == Kind::Real ? 4 : 8);
            } else {
                PutU8(b, t.kind == Kind::Real ? kReal : kFlt8);
            }
            return;
        case Kind::Bit:
            if (n) {
                PutU8(b, kBitN);
                PutU8(b, 1);
            } else {
                PutU8(b, kBit);
            }
            return;
        case Kind::DateTime:
        case Kind::SmallDateTime:
            if (n) {
                PutU8(b, kDateTimeN);
                PutU8(b, t.kind == Kind::DateTime ? 8 : 4);
            } else {
                PutU8(b, t.kind == Kind::DateTime ? kDateTime : kDateTime4);
            }
            return;
        case Kind::Money:
        case Kind::SmallMoney:
            if (n) {
                PutU8(b, kMoneyN);
                PutU8(b, t.kind == Kind::Money ? 8 : 4);
            } else {
                PutU8(b, t.kind == Kind::Money ? kMoney : kMoney4);
            }
            return;
        case Kind::Numeric:
        case Kind::Decimal:
            PutU8(b, t.kind == Kind::Numeric ? kNumeric : kDecimal);
            PutU8(b, static_cast<uint8_t>(sql::NumericBytes(t.precision)));
            PutU8(b, t.precision);
            PutU8(b, t.scale);
            return;
    }
}

void PutValue(Buffer& b, const sql::ColumnType& t, const sql::ValueView& v, const EncodeContext& ctx) {
    const bool null = v.type == VType::Null;
    switch (t.kind) {
        case Kind::Char:
        case Kind::VarChar:
        case Kind::Binary:
        case Kind::VarBinary: {
            const bool wide = t.length > 255;
            if (null) {
                if (wide) PutU32(b, 0);
                else PutU8(b, 0);
                return;
            }
            std::string s = ToBytes(v);
            // Never more than declared: FreeTDS overruns bound buffers otherwise.
            if (s.size() > t.length) s.resize(t.length);
            if (IsFixedLengthKind(t.kind)) s.resize(t.length, t.kind == Kind::Char ? ' ' : '\0');
            // A zero length means NULL on the wire: ASE returns '' as one blank.
            if (s.empty()) s = IsCharKind(t.kind) ? " " : std::string(1, '\0');
            PutVarLength(b, wide, s);
            return;
        }
        case Kind::Text:
        case Kind::Image: {
            if (null) {
                PutU8(b, 0);
                return;
            }
            std::string s = ToBytes(v);
            if (s.size() > ctx.textSize) s.resize(ctx.textSize);
            PutU8(b, 16);
            static const uint8_t kPointer[16] = {0x4b, 0x53, 0x42, 0x58, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
            PutBytes(b, kPointer, sizeof kPointer);
            PutU64(b, 1);  // text timestamp
            PutU32(b, static_cast<uint32_t>(s.size()));
            PutBytes(b, s);
            return;
        }
        case Kind::TinyInt:
        case Kind::SmallInt:
        case Kind::Int:
        case Kind::BigInt: {
            const int w = IntWidth(t.kind);
            if (null) {
                if (!t.nullable) throw SqlError(233, 16, 1, "The column does not allow nulls.");
                PutU8(b, 0);
                return;
            }
            const int64_t x = ToInteger(v, t.kind);
            const bool fits = w == 1 ? (x >= 0 && x <= 255)
                              : w == 2 ? (x >= -32768 && x <= 32767)
                              : w == 4 ? (x >= std::numeric_limits<int32_t>::min() && x <= std::numeric_limits<int32_t>::max())
                                       : true;
            if (!fits) Overflow(v, t.kind);
            if (t.nullable) PutU8(b, static_cast<uint8_t>(w));
            for (int k = 0; k < w; ++k) PutU8(b, static_cast<uint8_t>(static_cast<uint64_t>(x) >> (8 * k)));
            return;
        }
        case Kind::Real:
        case Kind::Float: {
            if (null) {
                if (!t.nullable) throw SqlError(233, 16, 1, "The column does not allow nulls.");
                PutU8(b, 0);
                return;
            }
            const double d = ToDouble(v, t.kind);
            if (t.kind == Kind::Real) {
                const float f = static_cast<float>(d);
                uint32_t bits;
                std::memcpy(&bits, &f, 4);
                if (t.nullable) PutU8(b, 4);
                PutU32(b, bits);
            } else {
                uint64_t bits;
                std::memcpy(&bits, &d, 8);
                if (t.nullable) PutU8(b, 8);
                PutU64(b, bits);
            }
            return;
        }
        case Kind::Bit: {
            if (null) {
                // Length 0 for the nullable bit; a fixed bit cannot carry NULL
                // (ASE's bits are NOT NULL) and reads as 0.
                PutU8(b, 0);
                return;
            }
            const int64_t x = v.type == VType::Real ? (v.d != 0) : ToInteger(v, Kind::Bit);
            if (t.nullable) PutU8(b, 1);
            PutU8(b, x != 0 ? 1 : 0);
            return;
        }
        case Kind::DateTime:
        case Kind::SmallDateTime: {
            if (null) {
                if (!t.nullable) throw SqlError(233, 16, 1, "The column does not allow nulls.");
                PutU8(b, 0);
                return;
            }
            const sql::DateTimeParts p = ToDateTime(v, t.kind, ctx);
            if (t.kind == Kind::DateTime) {
                const sql::WireDateTime w = sql::ToWireDateTime(p);
                if (t.nullable) PutU8(b, 8);
                PutI32(b, w.days);
                PutU32(b, w.ticks);
            } else {
                const auto w = sql::ToWireSmallDateTime(p);
                if (!w) Overflow(v, t.kind);
                if (t.nullable) PutU8(b, 4);
                PutU16(b, w->first);
                PutU16(b, w->second);
            }
            return;
        }
        case Kind::Money:
        case Kind::SmallMoney: {
            if (null) {
                if (!t.nullable) throw SqlError(233, 16, 1, "The column does not allow nulls.");
                PutU8(b, 0);
                return;
            }
            sql::Decimal d;
            // SQLite keeps the value as a double, and the doubles nearest to
            // money's limits lie just beyond them: they stand for the limits.
            if (t.kind == Kind::Money && v.type == VType::Real &&
                (v.d == 922337203685477.5807 || v.d == -922337203685477.5808)) {
                d.negative = v.d < 0;
                d.digits = d.negative ? "9223372036854775808" : "9223372036854775807";
            } else {
                d = ToDecimal(v, 4, t.kind);
            }
            if (d.digits.size() > 19) Overflow(v, t.kind);
            const unsigned long long mag = std::strtoull(d.digits.c_str(), nullptr, 10);
            // The negative range is one larger.
            if (mag > (d.negative ? 9223372036854775808ULL : 9223372036854775807ULL)) Overflow(v, t.kind);
            const int64_t scaled = d.negative ? static_cast<int64_t>(0ULL - mag) : static_cast<int64_t>(mag);
            if (t.kind == Kind::Money) {
                if (t.nullable) PutU8(b, 8);
                PutI32(b, static_cast<int32_t>(scaled >> 32));
                PutU32(b, static_cast<uint32_t>(scaled & 0xFFFFFFFF));
            } else {
                if (scaled < std::numeric_limits<int32_t>::min() || scaled > std::numeric_limits<int32_t>::max())
                    Overflow(v, t.kind);
                if (t.nullable) PutU8(b, 4);
                PutI32(b, static_cast<int32_t>(scaled));
            }
            return;
        }
        case Kind::Numeric:
        case Kind::Decimal: {
            if (null) {
                PutU8(b, 0);
                return;
            }
            sql::Decimal d = ToDecimal(v, t.scale, t.kind);
            // A double cannot tell the largest value of a wide numeric from
            // the next power of ten (38 nines come back from SQLite as 1e38).
            if (v.type == VType::Real && d.digits.size() == t.precision + 1u && std::fabs(v.d) == LargestAsDouble(t))
                d.digits = std::string(t.precision, '9');
            const int n = sql::NumericBytes(t.precision);
            if (d.digits.size() > t.precision) Overflow(v, t.kind);
            const auto mag = sql::DigitsToBigEndian(d.digits, static_cast<size_t>(n - 1));
            if (!mag) Overflow(v, t.kind);
            PutU8(b, static_cast<uint8_t>(n));
            PutU8(b, d.negative ? 1 : 0);
            PutBytes(b, mag->data(), mag->size());
            return;
        }
    }
}

}  // namespace sandbox::tds
