// Garbage at the sandbox: every connection must get an answer or be closed,
// never hang, and the server must go on serving good clients.
#include <gtest/gtest.h>

#include <random>

#include "CtClient.h"
#include "WireClient.h"
#include "sandbox/testing/SandboxProcess.h"

using namespace sandbox::testing;

namespace {

unsigned Seed() {
    const char* s = std::getenv("SANDBOX_FUZZ_SEED");
    const unsigned seed = s ? static_cast<unsigned>(std::strtoul(s, nullptr, 10)) : std::random_device{}();
    std::printf("SANDBOX_FUZZ_SEED=%u\n", seed);
    return seed;
}

std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t max) {
    std::vector<uint8_t> b(rng() % max + 1);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

void ExpectServes(const TSandboxProcess& server) {
    CtClient client;
    ASSERT_TRUE(client.Connect(server.Address()));
    const auto o = client.Run("select 40 + 2");
    ASSERT_NE(o.First(CS_ROW_RESULT), nullptr);
    EXPECT_EQ(o.First(CS_ROW_RESULT)->rows[0][0], "42");
}

}  // namespace

TEST(SandboxFuzz, GarbageBeforeLoginClosesOnlyThatConnection) {
    TSandboxProcess server;
    std::mt19937 rng(Seed());
    for (int round = 0; round < 60; ++round) {
        WireClient c(server.Port());
        std::vector<uint8_t> bytes = RandomBytes(rng, 700);
        if (round % 3 == 0) bytes[0] = 0x02;  // looks like a login packet
        if (round % 5 == 0 && bytes.size() > 4) bytes[1] = 1, bytes[2] = 0, bytes[3] = static_cast<uint8_t>(bytes.size());
        c.Send(bytes);
        // Either the server closes, or it waits for the rest of a packet; never a reply to garbage.
        const auto outcome = c.ReadReply(round % 10 == 0 ? 500 : 50);
        EXPECT_NE(outcome, WireClient::Outcome::Reply) << "round " << round;
    }
    ExpectServes(server);
}

TEST(SandboxFuzz, GarbageRequestsAreAnsweredOrTheConnectionIsClosed) {
    TSandboxProcess server;
    std::mt19937 rng(Seed());
    const uint8_t tokens[] = {0x21, 0xE6, 0xA6, 0x71, 0xEC, 0xD7, 0x00, 0xFF};
    for (int round = 0; round < 80; ++round) {
        WireClient c(server.Port());
        ASSERT_TRUE(c.Login()) << "round " << round;
        for (int request = 0; request < 5; ++request) {
            std::vector<uint8_t> payload = RandomBytes(rng, 300);
            payload[0] = tokens[rng() % std::size(tokens)];
            if (!c.SendPacket(0x0F, payload)) break;
            const auto outcome = c.ReadReply(5000);
            // A request left unanswered hangs a real client for ever.
            ASSERT_NE(outcome, WireClient::Outcome::Silent) << "round " << round << " request " << request;
            if (outcome == WireClient::Outcome::Closed) break;
        }
    }
    ExpectServes(server);
}

TEST(SandboxFuzz, OversizedAndTruncatedMessages) {
    TSandboxProcess server;
    {
        // A language request that never ends: refused once past the bound.
        WireClient c(server.Port());
        ASSERT_TRUE(c.Login());
        std::vector<uint8_t> chunk(504, 'x');
        chunk[0] = 0x21;
        bool open = true;
        for (int i = 0; i < 20000 && open; ++i) open = c.SendPacket(0x0F, chunk, false);
        EXPECT_NE(c.ReadReply(5000), WireClient::Outcome::Silent);
    }
    {
        // A language token claiming more text than it carries.
        WireClient c(server.Port());
        ASSERT_TRUE(c.Login());
        ASSERT_TRUE(c.SendPacket(0x0F, {0x21, 0xFF, 0xFF, 0, 0, 0, 's'}));
        EXPECT_EQ(c.ReadReply(5000), WireClient::Outcome::Closed);
    }
    {
        // The client leaves in the middle of a long reply.
        WireClient c(server.Port());
        ASSERT_TRUE(c.Login());
        const std::string sql = "use kestrel_sample select * from many_rows a, many_rows b";
        std::string token = std::string("\x21") + static_cast<char>(sql.size() + 1) + std::string(4, '\0') + sql;
        const std::vector<uint8_t> p(token.begin(), token.end());
        ASSERT_TRUE(c.SendPacket(0x0F, p));
    }
    ExpectServes(server);
}

TEST(SandboxFuzz, UnknownTokenGetsAnErrorReplyAndTheSessionGoesOn) {
    TSandboxProcess server;
    WireClient c(server.Port());
    ASSERT_TRUE(c.Login());
    ASSERT_TRUE(c.SendPacket(0x0F, {0xE7, 0x00, 0x00}));  // a dynamic-SQL token the sandbox does not do
    std::vector<uint8_t> reply;
    ASSERT_EQ(c.ReadReply(5000, &reply), WireClient::Outcome::Reply);
    ASSERT_GE(reply.size(), 9u);
    EXPECT_EQ(reply[reply.size() - 9], 0xFD);
    EXPECT_EQ(reply[reply.size() - 8] & 0x02, 0x02);  // DONE with ERROR
    ASSERT_TRUE(c.SendPacket(0x0F, {0x71, 0x00}));      // logout: a DONE, then the socket closes
    EXPECT_EQ(c.ReadReply(5000), WireClient::Outcome::Reply);
    EXPECT_EQ(c.ReadReply(5000), WireClient::Outcome::Closed);
}
