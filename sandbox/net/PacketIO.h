// One client socket: reassembles client messages from packets (bounded sizes,
// ProtocolError on malformed input), notices attentions while a reply is being
// produced, and sends reply token streams split into packets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "sandbox/tds/Buffer.h"

namespace sandbox::net {

// The peer went away (end of file, reset, or the server is stopping).
class ConnectionClosed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Message {
    uint8_t type = 0;
    tds::Buffer payload;
};

class PacketIO {
public:
    static constexpr size_t kMaxMessage = 4 * 1024 * 1024;  // longest request accepted

    explicit PacketIO(int fd) : FFd(fd) {}
    PacketIO(const PacketIO&) = delete;
    PacketIO& operator=(const PacketIO&) = delete;

    // Blocks for one whole message (an attention is a message of its own).
    // timeoutMs < 0 waits for ever. Throws ConnectionClosed at end of file or
    // timeout, ProtocolError on a malformed or oversized message.
    Message ReadMessage(int timeoutMs = -1);

    // Without blocking: consumes an attention that is next in the input.
    bool PollAttention();
    // Waits up to ms for an attention; true when one arrived.
    bool WaitAttention(int ms);

    void SetPacketSize(size_t size) { FPacketSize = size; }
    size_t PacketSize() const { return FPacketSize; }

    // Sends bytes [0, n) of `data` as response packets; the last one has EOM
    // when `eom`. Throws ConnectionClosed when the write fails.
    void Send(const uint8_t* data, size_t n, bool eom);

    int Fd() const { return FFd; }

private:
    bool Fill(int timeoutMs);   // reads what is available; false on timeout
    bool NextPacket(uint8_t& type, uint8_t& status, tds::Buffer& payload);
    void CheckHeader() const;

    int FFd;
    size_t FPacketSize = 512;
    tds::Buffer FIn;  // received bytes not yet consumed
};

}  // namespace sandbox::net
