#include "sandbox/net/PacketIO.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>

#include "sandbox/tds/Wire.h"

namespace sandbox::net {

using tds::ProtocolError;

namespace {

size_t PacketLength(const tds::Buffer& in) { return static_cast<size_t>(in[2]) << 8 | in[3]; }

bool KnownType(uint8_t t) {
    return t == tds::kPacketLogin || t == tds::kPacketNormal || t == tds::kPacketAttention;
}

}  // namespace

bool PacketIO::Fill(int timeoutMs) {
    pollfd p{FFd, POLLIN, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw ConnectionClosed(std::string("poll failed: ") + std::strerror(errno));
        if (r == 0) return false;
        break;
    }
    uint8_t buf[8192];
    const ssize_t n = ::recv(FFd, buf, sizeof buf, MSG_DONTWAIT);
    if (n == 0) throw ConnectionClosed("end of file");
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return true;
        throw ConnectionClosed(std::string("read failed: ") + std::strerror(errno));
    }
    FIn.insert(FIn.end(), buf, buf + n);
    return true;
}

void PacketIO::CheckHeader() const {
    if (!KnownType(FIn[0])) throw ProtocolError("unknown packet type " + std::to_string(FIn[0]));
    if (FIn.size() >= 4 && PacketLength(FIn) < tds::kHeaderSize)
        throw ProtocolError("packet length " + std::to_string(PacketLength(FIn)) + " is shorter than its header");
}

bool PacketIO::NextPacket(uint8_t& type, uint8_t& status, tds::Buffer& payload) {
    if (FIn.empty()) return false;
    CheckHeader();
    if (FIn.size() < tds::kHeaderSize) return false;
    const size_t len = PacketLength(FIn);
    if (FIn.size() < len) return false;
    type = FIn[0];
    status = FIn[1];
    payload.insert(payload.end(), FIn.begin() + tds::kHeaderSize, FIn.begin() + static_cast<long>(len));
    FIn.erase(FIn.begin(), FIn.begin() + static_cast<long>(len));
    return true;
}

Message PacketIO::ReadMessage(int timeoutMs) {
    Message m;
    bool started = false;
    for (;;) {
        uint8_t type = 0, status = 0;
        tds::Buffer payload;
        while (!NextPacket(type, status, payload)) {
            if (!Fill(timeoutMs)) throw ConnectionClosed("timed out waiting for the client");
        }
        if (type == tds::kPacketAttention) {
            // An attention drops whatever part of a request came before it.
            return Message{type, {}};
        }
        if (started && type != m.type) throw ProtocolError("packet type changed in the middle of a message");
        started = true;
        m.type = type;
        if (m.payload.size() + payload.size() > kMaxMessage)
            throw ProtocolError("message longer than " + std::to_string(kMaxMessage) + " bytes");
        m.payload.insert(m.payload.end(), payload.begin(), payload.end());
        if (status & tds::kStatusEom) return m;
    }
}

bool PacketIO::PollAttention() {
    if (FIn.size() < tds::kHeaderSize) Fill(0);
    if (FIn.size() >= tds::kHeaderSize && FIn[0] == tds::kPacketAttention) {
        const size_t len = PacketLength(FIn);
        if (len < tds::kHeaderSize || len > FIn.size()) return false;
        FIn.erase(FIn.begin(), FIn.begin() + static_cast<long>(len));
        return true;
    }
    return false;
}

bool PacketIO::WaitAttention(int ms) {
    if (PollAttention()) return true;
    if (!FIn.empty()) {
        // Something else is queued, so no attention can come before it: just wait.
        ::poll(nullptr, 0, ms);
        return false;
    }
    if (!Fill(ms)) return false;
    return PollAttention();
}

void PacketIO::Send(const uint8_t* data, size_t n, bool eom) {
    const size_t chunk = FPacketSize - tds::kHeaderSize;
    size_t pos = 0;
    uint8_t packet[65536];
    do {
        const size_t len = n - pos < chunk ? n - pos : chunk;
        const bool last = pos + len == n;
        packet[0] = tds::kPacketResponse;
        packet[1] = last && eom ? tds::kStatusEom : 0;
        const size_t total = len + tds::kHeaderSize;
        packet[2] = static_cast<uint8_t>(total >> 8);
        packet[3] = static_cast<uint8_t>(total);
        packet[4] = packet[5] = packet[6] = packet[7] = 0;
        std::memcpy(packet + tds::kHeaderSize, data + pos, len);
        size_t sent = 0;
        while (sent < total) {
            const ssize_t w = ::send(FFd, packet + sent, total - sent, MSG_NOSIGNAL);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) throw ConnectionClosed(std::string("write failed: ") + std::strerror(errno));
            sent += static_cast<size_t>(w);
        }
        pos += len;
    } while (pos < n);
}

}  // namespace sandbox::net
