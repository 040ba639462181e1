// Little-endian writers and a bounds-checked reader for token streams.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox::tds {

using Buffer = std::vector<uint8_t>;

inline void PutU8(Buffer& b, uint8_t v) { b.push_back(v); }
inline void PutU16(Buffer& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(Buffer& b, uint32_t v) {
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
inline void PutI32(Buffer& b, int32_t v) { PutU32(b, static_cast<uint32_t>(v)); }
inline void PutU64(Buffer& b, uint64_t v) {
    for (int k = 0; k < 8; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
inline void PutBytes(Buffer& b, std::string_view s) { b.insert(b.end(), s.begin(), s.end()); }
inline void PutBytes(Buffer& b, const void* p, size_t n) {
    const auto* u = static_cast<const uint8_t*>(p);
    b.insert(b.end(), u, u + n);
}
// u8 length + bytes, cut to 255.
inline void PutName8(Buffer& b, std::string_view s) {
    if (s.size() > 255) s = s.substr(0, 255);
    PutU8(b, static_cast<uint8_t>(s.size()));
    PutBytes(b, s);
}
inline void PatchU16(Buffer& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PatchU32(Buffer& b, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

// A malformed client message: the connection is closed with this reason.
class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    explicit Reader(const Buffer& b) : Reader(b.data(), b.size()) {}

    size_t Remaining() const { return FSize - FPos; }
    size_t Position() const { return FPos; }
    bool AtEnd() const { return FPos >= FSize; }
    void Need(size_t n) const {
        if (n > Remaining()) throw ProtocolError("token runs past the end of the message");
    }
    uint8_t U8() { Need(1); return FData[FPos++]; }
    uint16_t U16() {
        Need(2);
        const uint16_t v = static_cast<uint16_t>(FData[FPos] | (FData[FPos + 1] << 8));
        FPos += 2;
        return v;
    }
    uint32_t U32() {
        Need(4);
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(FData[FPos + k]) << (8 * k);
        FPos += 4;
        return v;
    }
    uint64_t U64() {
        const uint64_t lo = U32();
        return lo | (static_cast<uint64_t>(U32()) << 32);
    }
    std::string Bytes(size_t n) {
        Need(n);
        std::string s(reinterpret_cast<const char*>(FData + FPos), n);
        FPos += n;
        return s;
    }
    void Skip(size_t n) { Need(n); FPos += n; }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
};

}  // namespace sandbox::tds
