// Reassembly of client messages and the limits that protect the server.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "sandbox/net/PacketIO.h"
#include "sandbox/tds/Wire.h"

using namespace sandbox;

namespace {

struct Pair {
    int fds[2];
    Pair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0); }
    ~Pair() {
        ::close(fds[0]);
        if (fds[1] >= 0) ::close(fds[1]);
    }
    void Write(const std::vector<uint8_t>& b) { ASSERT_EQ(::write(fds[1], b.data(), b.size()), static_cast<ssize_t>(b.size())); }
    void CloseClient() {
        ::close(fds[1]);
        fds[1] = -1;
    }
};

std::vector<uint8_t> Packet(uint8_t type, uint8_t status, const std::string& payload) {
    const size_t len = payload.size() + 8;
    std::vector<uint8_t> p(len, 0);
    p[0] = type, p[1] = status, p[2] = static_cast<uint8_t>(len >> 8), p[3] = static_cast<uint8_t>(len);
    for (size_t i = 0; i < payload.size(); ++i) p[8 + i] = static_cast<uint8_t>(payload[i]);
    return p;
}

}  // namespace

TEST(SandboxPackets, MessagesAreReassembledAcrossPacketsAndByteBoundaries) {
    Pair pair;
    net::PacketIO io(pair.fds[0]);
    auto a = Packet(tds::kPacketLogin, 0, std::string(504, 'a'));
    auto b = Packet(tds::kPacketLogin, tds::kStatusEom, "tail");
    std::vector<uint8_t> all = a;
    all.insert(all.end(), b.begin(), b.end());
    // Dribble the bytes in three uneven pieces, cutting a header in half.
    pair.Write({all.begin(), all.begin() + 3});
    pair.Write({all.begin() + 3, all.begin() + 515});
    pair.Write({all.begin() + 515, all.end()});
    const net::Message m = io.ReadMessage(2000);
    EXPECT_EQ(m.type, tds::kPacketLogin);
    ASSERT_EQ(m.payload.size(), 508u);
    EXPECT_EQ(std::string(m.payload.end() - 4, m.payload.end()), "tail");
}

TEST(SandboxPackets, MalformedInputIsAProtocolError) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"unknown packet type", Packet(0x12, 1, "prelogin")},
        {"length shorter than the header", {0x0F, 1, 0, 4, 0, 0, 0, 0}},
        {"type changes mid-message", [] {
             auto p = Packet(tds::kPacketNormal, 0, "ab");
             auto q = Packet(tds::kPacketLogin, 1, "cd");
             p.insert(p.end(), q.begin(), q.end());
             return p;
         }()},
    };
    for (const Case& c : cases) {
        Pair pair;
        net::PacketIO io(pair.fds[0]);
        pair.Write(c.bytes);
        EXPECT_THROW(io.ReadMessage(2000), tds::ProtocolError) << c.what;
    }
}

TEST(SandboxPackets, OversizedMessagesAreRefused) {
    Pair pair;
    net::PacketIO io(pair.fds[0]);
    const auto chunk = Packet(tds::kPacketNormal, 0, std::string(65000, 'x'));
    std::thread writer([&] {
        for (size_t sent = 0; sent <= net::PacketIO::kMaxMessage + 65000; sent += 65000)
            if (::send(pair.fds[1], chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0) break;
    });
    EXPECT_THROW(io.ReadMessage(5000), tds::ProtocolError);
    ::shutdown(pair.fds[0], SHUT_RDWR);
    writer.join();
}

TEST(SandboxPackets, AttentionIsAMessageOfItsOwnAndCanBePolled) {
    Pair pair;
    net::PacketIO io(pair.fds[0]);
    EXPECT_FALSE(io.PollAttention());
    pair.Write(Packet(tds::kPacketAttention, 1, ""));
    EXPECT_TRUE(io.WaitAttention(2000));
    EXPECT_FALSE(io.PollAttention());  // consumed
    // Half a request, then an attention: the request is dropped.
    pair.Write(Packet(tds::kPacketNormal, 0, "half"));
    pair.Write(Packet(tds::kPacketAttention, 1, ""));
    EXPECT_EQ(io.ReadMessage(2000).type, tds::kPacketAttention);
}

TEST(SandboxPackets, EndOfFileAndSilenceEndTheRead) {
    {
        Pair pair;
        net::PacketIO io(pair.fds[0]);
        pair.Write({0x0F, 0, 0});
        pair.CloseClient();
        EXPECT_THROW(io.ReadMessage(2000), net::ConnectionClosed);
    }
    {
        Pair pair;
        net::PacketIO io(pair.fds[0]);
        EXPECT_THROW(io.ReadMessage(50), net::ConnectionClosed);
    }
}

TEST(SandboxPackets, RepliesAreSplitAtThePacketSizeWithEomOnTheLast) {
    Pair pair;
    net::PacketIO io(pair.fds[0]);
    io.SetPacketSize(512);
    const std::vector<uint8_t> data(1200, 7);
    io.Send(data.data(), data.size(), true);
    std::vector<uint8_t> got(2000);
    size_t n = 0;
    while (n < 1200 + 3 * 8) {
        const ssize_t r = ::read(pair.fds[1], got.data() + n, got.size() - n);
        ASSERT_GT(r, 0);
        n += static_cast<size_t>(r);
    }
    ASSERT_EQ(n, 1224u);
    EXPECT_EQ(got[0], tds::kPacketResponse);
    EXPECT_EQ(got[1], 0);
    EXPECT_EQ((got[2] << 8) | got[3], 512);
    EXPECT_EQ(got[512 + 1], 0);
    EXPECT_EQ(got[1024 + 1], tds::kStatusEom);
    EXPECT_EQ((got[1026] << 8) | got[1027], 1200 - 2 * 504 + 8);
}
