#include "sandbox/tds/Login.h"

#include <cctype>

#include "sandbox/tds/Wire.h"

namespace sandbox::tds {

namespace {

constexpr size_t kRecordSize = 568;

std::string Field(const Buffer& p, size_t offset, size_t size) {
    size_t len = p[offset + size];
    if (len > size) len = size;
    return std::string(reinterpret_cast<const char*>(p.data() + offset), len);
}

}  // namespace

LoginRecord ParseLogin(const Buffer& p) {
    if (p.size() < kRecordSize) throw ProtocolError("login record of " + std::to_string(p.size()) + " bytes is too short");
    LoginRecord r;
    r.hostName = Field(p, 0, 30);
    r.userName = Field(p, 31, 30);
    r.password = Field(p, 62, 30);
    r.hostProcess = Field(p, 93, 30);
    r.appName = Field(p, 140, 30);
    r.serverName = Field(p, 171, 30);
    // Passwords longer than 30 bytes come whole in the remote-password list,
    // in the entry with an empty server name.
    const size_t remLen = p[457];
    if (remLen >= 2 && remLen <= 255 && p[202] == 0) {
        const size_t n = p[203];
        if (n + 2 <= remLen && n > r.password.size()) r.password.assign(reinterpret_cast<const char*>(p.data() + 204), n);
    }
    r.language = Field(p, 480, 30);
    const std::string size = Field(p, 557, 6);
    size_t value = 0;
    bool digits = !size.empty();
    for (char c : size) {
        if (!std::isdigit(static_cast<unsigned char>(c))) digits = false;
        else value = value * 10 + static_cast<size_t>(c - '0');
    }
    if (digits) r.packetSize = value;
    // Capability token: E2, u16 length, then (type, length, bytes) blocks.
    if (p.size() >= kRecordSize + 3 && p[kRecordSize] == kTokCapability) {
        Reader rd(p.data() + kRecordSize + 1, p.size() - kRecordSize - 1);
        const uint16_t len = rd.U16();
        rd.Need(len);
        Reader caps(p.data() + kRecordSize + 3, len);
        while (caps.Remaining() >= 2) {
            const uint8_t type = caps.U8();
            const uint8_t n = caps.U8();
            std::string block = caps.Bytes(n);
            if (type == 1) r.capRequest = std::move(block);
            else if (type == 2) r.capResponse = std::move(block);
        }
    }
    return r;
}

}  // namespace sandbox::tds
