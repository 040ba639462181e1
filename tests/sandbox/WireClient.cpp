#include "WireClient.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sandbox::testing {

namespace {

void PutField(std::vector<uint8_t>& rec, size_t offset, size_t size, const std::string& value) {
    const size_t n = value.size() < size ? value.size() : size;
    std::memcpy(rec.data() + offset, value.data(), n);
    rec[offset + size] = static_cast<uint8_t>(n);
}

}  // namespace

std::vector<uint8_t> LoginRecord(const std::string& user, const std::string& password) {
    std::vector<uint8_t> rec(568, 0);
    PutField(rec, 0, 30, "testhost");
    PutField(rec, 31, 30, user);
    PutField(rec, 62, 30, password);
    PutField(rec, 93, 30, "1");
    rec[124] = 3, rec[125] = 1, rec[126] = 6, rec[127] = 10, rec[128] = 9, rec[129] = 1;
    PutField(rec, 140, 30, "wire");
    PutField(rec, 171, 30, "SANDBOX");
    rec[458] = 5;
    std::memcpy(rec.data() + 462, "CT-Library", 10);
    rec[472] = 10;
    rec[473] = 5;
    PutField(rec, 480, 30, "us_english");
    rec[556] = 1;
    PutField(rec, 557, 6, "512");
    return rec;
}

WireClient::WireClient(int port) {
    FFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(FFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(FFd);
        FFd = -1;
    }
}

WireClient::~WireClient() {
    if (FFd >= 0) ::close(FFd);
}

bool WireClient::Send(const std::vector<uint8_t>& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(FFd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool WireClient::SendPacket(uint8_t type, const std::vector<uint8_t>& payload, bool eom) {
    // FreeTDS's block size: 512-byte packets.
    size_t pos = 0;
    do {
        const size_t len = payload.size() - pos < 504 ? payload.size() - pos : 504;
        const bool last = pos + len == payload.size();
        const size_t total = len + 8;
        std::vector<uint8_t> p = {type, static_cast<uint8_t>(last && eom ? 1 : 0), static_cast<uint8_t>(total >> 8),
                                  static_cast<uint8_t>(total), 0, 0, 0, 0};
        p.insert(p.end(), payload.begin() + static_cast<long>(pos), payload.begin() + static_cast<long>(pos + len));
        if (!Send(p)) return false;
        pos += len;
    } while (pos < payload.size());
    return true;
}

bool WireClient::Login(const std::string& password) {
    if (!SendPacket(0x02, LoginRecord("sa", password))) return false;
    std::vector<uint8_t> reply;
    if (ReadReply(5000, &reply) != Outcome::Reply) return false;
    for (size_t i = 0; i + 3 < reply.size(); ++i)
        if (reply[i] == 0xAD && reply[i + 3] == 5) return true;
    return false;
}

WireClient::Outcome WireClient::ReadReply(int timeoutMs, std::vector<uint8_t>* payload) {
    std::vector<uint8_t> in;
    for (;;) {
        // Whole packets at the front of the input.
        while (in.size() >= 8) {
            const size_t len = static_cast<size_t>(in[2]) << 8 | in[3];
            if (len < 8 || in.size() < len) break;
            const bool eom = in[1] & 1;
            if (payload) payload->insert(payload->end(), in.begin() + 8, in.begin() + static_cast<long>(len));
            in.erase(in.begin(), in.begin() + static_cast<long>(len));
            if (eom) return Outcome::Reply;
        }
        pollfd p{FFd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return Outcome::Silent;
        uint8_t buf[4096];
        const ssize_t n = ::recv(FFd, buf, sizeof buf, 0);
        if (n <= 0) return Outcome::Closed;
        in.insert(in.end(), buf, buf + n);
    }
}

}  // namespace sandbox::testing
