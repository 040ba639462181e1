// Every way a login can fail, and the state each leaves: nothing allocated, no
// library connection left open, and a retry that logs in.
#include <functional>

#include "Fixture.h"

namespace ConnectTests {
namespace {

struct FailureCase {
    const char* Name;
    std::function<void()> Script;
    std::string Raised; // empty: Connect succeeds
    int Closes;         // ct_close calls the failed login made
    bool HandleErrors = false;
};

void PrintTo(const FailureCase& k, std::ostream* os) { *os << k.Name; }


void Fail(const char* call, int occurrence) { FakeOC::FailCall(call, occurrence); }

const FailureCase Cases[] = {
    {"ContextAllocation", [] { Fail("cs_ctx_alloc", 1); },
     "CT-Lib routine cs_ctx_alloc(CS_VERSION_110, FContext) failed", 0},
    {"CtInit", [] { Fail("ct_init", 1); }, "CT-Lib routine ct_init(FContext, CS_VERSION_110) failed", 0},
    {"ConnectionAllocation", [] { Fail("ct_con_alloc", 1); },
     "CT-Lib routine ct_con_alloc(FContext, FConnection) failed", 0},
    {"InlineDiagnostics", [] { Fail("ct_diag", 1); },
     "CT-Lib routine ct_diag(FConnection, CS_INIT,CS_UNUSED,CS_UNUSED,nil) failed", 0},
    {"PropertyFailsSilently", [] { Fail("ct_con_props", 3); }, "", 0},
    {"PropertyFailsWithServerError",
     [] {
         Fail("ct_con_props", 2);
         FakeOC::QueueServerMessage("ct_con_props", 2, ServerMsg(4002, 16, "bad user"));
     },
     "Message 4002,Level 16: bad user", 0},
    {"TimeoutRefusedByClientLibrary",
     [] {
         Fail("ct_config", 2);
         FakeOC::QueueClientMessage("ct_config", 2, ClientMsg((1 << 24) | (2 << 16) | (1 << 8) | 155, 1, "no"));
     },
     "Client library error 16908699, severity 1, number 155, origin 2, layer 1 no", 0},
    {"LoginFailsWithoutMessage", [] { Fail("ct_connect", 1); }, "Connect failed", 0},
    {"LoginFailsWithClientMessage",
     [] {
         Fail("ct_connect", 1);
         FakeOC::QueueClientMessage("ct_connect", 1, ClientMsg(20009, 9, "Unable to connect"));
     },
     "Client library error 20009, severity 9, number 41, origin 0, layer 0 Unable to connect", 0},
    {"LoginRefusedByServer",
     [] {
         Fail("ct_connect", 1);
         FakeOC::QueueServerMessage("ct_connect", 1, ServerMsg(4002, 14, "Login failed.\n"));
     },
     "Message 4002,Level 14: Login failed.", 0},
    {"ServerErrorAfterLogin",
     [] { FakeOC::QueueServerMessage("ct_connect", 1, ServerMsg(916, 14, "not allowed")); },
     "Message 916,Level 14: not allowed", 1},
    {"ConnectionBrokenAfterLogin",
     [] { FakeOC::QueueClientMessage("ct_options", 1, ClientMsg(20006, 9, "Write to server failed")); },
     "Client library error 20006, severity 9, number 38, origin 0, layer 0 Write to server failed", 1},
    {"ServerErrorAfterLoginHandled",
     [] { FakeOC::QueueServerMessage("ct_connect", 1, ServerMsg(916, 14, "not allowed")); }, "", 0, true},
    {"MessagesUnreadable",
     [] {
         Fail("ct_connect", 1);
         Fail("ct_diag", 2);
     },
     "Message handling failed", 0},
};

class FailureTableTest : public FakeOCTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTableTest, LeavesTheStateTheCaseCallsFor) {
    const FailureCase& k = GetParam();
    TSybConnect c(nullptr);
    c.SetServerName("SRV");
    int connects = 0;
    c.SetOnConnect([&](vcl::TObject*) { ++connects; });
    c.SetOnDisconnect([](vcl::TObject*) { ADD_FAILURE() << "OnDisconnect fired"; });
    if (k.HandleErrors) c.SetOnServerError([](const SybConnect::TSybMessage&, bool& handled) { handled = true; });
    k.Script();

    if (k.Raised.empty()) {
        EXPECT_NO_THROW(c.Connect());
        EXPECT_TRUE(c.GetConnected());
        EXPECT_EQ(connects, 1);
        EXPECT_EQ(FakeOC::LiveHandleCounts().Contexts, 1);
        EXPECT_EQ(FakeOC::LiveHandleCounts().Connections, 1);
        c.SetOnDisconnect(nullptr);
        c.Disconnect();
        return;
    }
    try {
        c.Connect();
        ADD_FAILURE() << "no exception";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), k.Raised);
    }
    EXPECT_FALSE(c.GetConnected());
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(c.GetContext(), nullptr);
    EXPECT_EQ(c.GetConnection(), nullptr);
    EXPECT_EQ(FakeOC::LiveHandles(), 0) << FakeOC::LogText();
    EXPECT_EQ(FakeOC::Count("ct_close"), k.Closes) << FakeOC::LogText();
    EXPECT_TRUE(FakeOC::Misuses().empty()) << Join(FakeOC::Misuses());

    // The scripts hit their first occurrence only: the retry logs in.
    c.Connect();
    EXPECT_TRUE(c.GetConnected());
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(FakeOC::LiveHandles(), 2);
    c.SetOnDisconnect(nullptr);
    c.Disconnect();
}

INSTANTIATE_TEST_SUITE_P(Rows, FailureTableTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace ConnectTests
