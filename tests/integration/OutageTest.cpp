// The server goes away during a session: executions fail at once instead of
// hanging, what the library queued for a failed step is reported with that
// step and never again, and once the server is back on the same port a
// Reconnect works and nothing is left behind.
#include "tests/integration/Fixture.h"

#include "binding/Ctpublic.h"
#include "vcl/DB.h"
#include "vcl/Forms.h"

namespace Integration {
namespace {

using namespace Cstypes;

class OutageTest : public IntegrationTest {};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(OutageTest, AStoppedServerFailsExecutionsWithoutHangingAndAReconnectRecovers) {
    const int socketsBefore = OpenSockets();
    int disconnects = 0;
    Conn->SetOnDisconnect([&](vcl::TObject*) { ++disconnects; });
    Conn->Connect();
    EXPECT_EQ(Select("select count(*) from customers"), (std::vector<TRow>{{"4"}}));

    Server->Stop();
    TSybQuery* q = NewQuery("select id from customers");
    // FreeTDS sees the closed socket while it reads the results and marks the
    // connection dead without queuing a message; the execution says so and
    // releases the login.
    EXPECT_TRUE(Contains(Raised([&] { q->Open(); }), "was lost"));
    EXPECT_FALSE(q->Active());
    EXPECT_FALSE(Conn->GetConnected());
    EXPECT_EQ(Conn->GetActiveQuery(), nullptr);
    EXPECT_EQ(vcl::Screen()->Cursor(), vcl::crDefault);

    // While the server is down a new login is tried and refused; nothing of
    // the earlier failure comes back.
    const std::string refused = Raised([&] { q->Open(); });
    EXPECT_TRUE(Contains(refused, "Unable to connect")) << refused;
    EXPECT_FALSE(Contains(refused, "was lost")) << refused;

    Server->Start();
    Conn->Reconnect();
    ASSERT_TRUE(Conn->GetConnected());
    EXPECT_EQ(Raised([&] { q->Open(); }), "");
    EXPECT_EQ(q->RecordCount(), 4);
    q->Close();

    // A client-library error releases the connection without the event.
    EXPECT_EQ(disconnects, 0);
    Conn->Disconnect();
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(OpenSockets(), socketsBefore);
}

// The server going away leaves no message: FreeTDS only marks the login dead.
// The first execution after it says so and releases the login, and the next
// one logs in again.
TEST_F(OutageTest, TheFirstExecutionAfterTheServerWentAwayNamesTheLostConnection) {
    Conn->Connect();
    Server->Stop();
    TSybQuery* q = NewQuery("select id from customers");
    const std::string lost = Raised([&] { q->Open(); });
    EXPECT_NE(lost.find("The connection to server \"" + Conn->GetServerName() + "\" was lost"), std::string::npos)
        << lost;
    EXPECT_FALSE(Conn->GetConnected());
    Server->Start();
    q->Open();
    EXPECT_FALSE(RowsOf(*q).empty());
}

TEST_F(OutageTest, AServerStoppedBeforeTheFirstLoginFailsTheQueryCleanly) {
    Server->Stop();
    TSybQuery* q = NewQuery("select 1");
    EXPECT_EQ(Raised([&] { q->Open(); }),
              "Client library error 20009, severity 9, number 41, origin 0, layer 0 "
              "Unable to connect: Adaptive Server is unavailable or does not exist");
    EXPECT_FALSE(Conn->GetConnected());
    Server->Start();
    q->Open();
    EXPECT_EQ(RowsOf(*q), (std::vector<TRow>{{"1"}}));
}

} // namespace
} // namespace Integration
