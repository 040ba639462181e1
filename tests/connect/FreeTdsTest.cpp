// Through FreeTDS's real CT-Library: the package binds it, and a login to a
// loopback port where nothing listens fails with the message FreeTDS queued.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "binding/Cspublic.h"
#include "binding/Ctpublic.h"
#include "components/SybConnect.h"
#include "packages/Package.h"

namespace {

// A loopback port that was free a moment ago and has no listener now.
int ClosedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = -1;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    close(s);
    return port;
}

class FreeTdsTest : public ::testing::Test {
protected:
    void SetUp() override { kestrel::Initialize(); }
    void TearDown() override { kestrel::Finalize(); }
};

TEST_F(FreeTdsTest, TheLibrariesBindCompletely) {
    // Any entry point missing would have stopped Initialize with an assertion.
    EXPECT_TRUE(Cspublic::csDLLLoaded);
    EXPECT_TRUE(Ctpublic::ctDLLLoaded);
    EXPECT_NE(Cspublic::cs_conv_mult, nullptr);
    EXPECT_NE(Ctpublic::ct_setparam, nullptr);
}

TEST_F(FreeTdsTest, ALoginToAClosedPortRaisesTheQueuedClientMessage) {
    const int port = ClosedPort();
    ASSERT_GT(port, 0);
    SybConnect::TSybConnect c(nullptr);
    c.SetServerName("127.0.0.1:" + std::to_string(port));
    c.SetUserName("sa");
    c.SetLoginTimeout(5);
    bool connected = false;
    c.SetOnConnect([&](vcl::TObject*) { connected = true; });
    std::string raised;
    try {
        c.Connect();
    } catch (const vcl::Exception& e) {
        raised = e.Message();
    }
    EXPECT_EQ(raised,
              "Client library error 20009, severity 9, number 41, origin 0, layer 0 "
              "Unable to connect: Adaptive Server is unavailable or does not exist");
    EXPECT_FALSE(connected);
    EXPECT_FALSE(c.GetConnected());
    EXPECT_EQ(c.GetContext(), nullptr);
    EXPECT_EQ(c.GetConnection(), nullptr);

    // A retry fails the same way: nothing of the first attempt is in the way.
    EXPECT_THROW(c.Connect(), vcl::Exception);
    EXPECT_FALSE(c.GetConnected());
}

} // namespace
