// Reading a connection's message queue: which handler hears what, what is
// raised and how texts are joined, broken connections, failing reads, and the
// message objects themselves.
#include <cstring>

#include "Fixture.h"

namespace ConnectTests {
namespace {

using namespace Cstypes;
using SybConnect::TSybMessage;
using SybConnect::TSybMessageProc;

class DiagnosticsTest : public FakeOCTest {
protected:
    void SetUp() override {
        FakeOCTest::SetUp();
        c = std::make_unique<TTestConnect>(nullptr);
        c->SetOnDisconnect([this](vcl::TObject*) { ++Disconnects; });
        c->Connect();
        FakeOC::ClearLog();
    }
    void TearDown() override {
        c.reset();
        FakeOCTest::TearDown();
    }
    // Runs CheckMessages; the raised text, or "" when nothing was raised.
    std::string Check() {
        try {
            c->CheckMessages();
        } catch (const vcl::Exception& e) {
            return e.Message();
        }
        return "";
    }
    std::unique_ptr<TTestConnect> c;
    int Disconnects = 0;
};

// A handler that records its name and marks the message handled.
TSybMessageProc Recorder(std::vector<std::string>& heard, std::string name) {
    return [&heard, name](const TSybMessage& m, bool& handled) {
        heard.push_back(name + ":" + m.GetText());
        handled = true;
    };
}

struct ChoiceCase {
    const char* Name;
    bool ConnMsg, ConnErr, QueryMsg, QueryErr, Active;
    std::vector<std::string> Heard;
    std::string Raised;
};

void PrintTo(const ChoiceCase& k, std::ostream* os) { *os << k.Name; }


class HandlerChoiceTest : public DiagnosticsTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(HandlerChoiceTest, QueryHandlersWinOneByOne) {
    const ChoiceCase& k = GetParam();
    std::vector<std::string> heard;
    if (k.ConnMsg) c->SetOnServerMessage(Recorder(heard, "connMsg"));
    if (k.ConnErr) c->SetOnServerError(Recorder(heard, "connErr"));
    if (k.QueryMsg) c->QueryOnServerMessage = Recorder(heard, "queryMsg");
    if (k.QueryErr) c->QueryOnServerError = Recorder(heard, "queryErr");
    if (k.Active) c->SetActiveQuery(StandInQuery());
    FakeOC::PostServerMessage(ServerMsg(5701, 10, "info"));
    FakeOC::PostServerMessage(ServerMsg(208, 16, "error"));
    EXPECT_EQ(Check(), k.Raised);
    EXPECT_EQ(heard, k.Heard);
    c->SetActiveQuery(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandlerChoiceTest,
    ::testing::Values(
        ChoiceCase{"ConnectionOnly", true, true, false, false, false, {"connMsg:info", "connErr:error"}, ""},
        ChoiceCase{"QueryBoth", true, true, true, true, true, {"queryMsg:info", "queryErr:error"}, ""},
        ChoiceCase{"QueryErrorConnectionMessage", true, false, false, true, true, {"connMsg:info", "queryErr:error"}, ""},
        ChoiceCase{"QueryMessageConnectionError", true, true, true, false, true, {"queryMsg:info", "connErr:error"}, ""},
        ChoiceCase{"NoActiveQuery", true, true, true, true, false, {"connMsg:info", "connErr:error"}, ""},
        ChoiceCase{"NoHandlers", false, false, false, false, true, {}, "Message 208,Level 16: error"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DiagnosticsTest, SeverityTenInformsAndElevenIsAnError) {
    std::vector<std::string> seen;
    c->SetOnServerMessage([&](const TSybMessage& m, bool& handled) {
        seen.push_back(std::to_string(m.GetMsgNumber()) + "/" + std::to_string(m.GetSeverity()) + "/" + m.GetText());
        handled = false; // ignored for information
    });
    FakeOC::PostServerMessage(ServerMsg(0, 10, "printed"));
    EXPECT_EQ(Check(), "");
    EXPECT_EQ(seen, std::vector<std::string>{"0/10/printed"});

    c->SetOnServerMessage(nullptr);
    FakeOC::PostServerMessage(ServerMsg(0, 10, "printed"));
    EXPECT_EQ(Check(), "");

    FakeOC::PostServerMessage(ServerMsg(2601, 11, "dup key"));
    EXPECT_EQ(Check(), "Message 2601,Level 11: dup key");

    c->SetOnServerError([](const TSybMessage&, bool& handled) { EXPECT_FALSE(handled); });
    FakeOC::PostServerMessage(ServerMsg(2601, 11, "dup key"));
    EXPECT_EQ(Check(), "Message 2601,Level 11: dup key"); // heard but not handled
    EXPECT_TRUE(c->GetConnected());
    EXPECT_EQ(FakeOC::QueuedServerMessages(), 0);
}

TEST_F(DiagnosticsTest, ErrorsJoinAndABrokenConnectionIsReleasedWithoutTheContext) {
    FakeOC::PostServerMessage(ServerMsg(1, 16, "first \n"));
    FakeOC::PostServerMessage(ServerMsg(2, 11, "second"));
    FakeOC::PostServerMessage(ServerMsg(3, 10, "information is not raised"));
    FakeOC::PostClientMessage(ClientMsg(20017, 9, "EOF"));
    FakeOC::PostClientMessage(ClientMsg(20006, 9, "never read"));
    EXPECT_EQ(Check(),
              "Message 1,Level 16: first;\n"
              "Message 2,Level 11: second;\n"
              "Client library error 20017, severity 9, number 49, origin 0, layer 0 EOF");
    EXPECT_FALSE(c->GetConnected());
    EXPECT_EQ(c->GetConnection(), nullptr);
    EXPECT_NE(c->GetContext(), nullptr);
    EXPECT_EQ(Disconnects, 0);
    EXPECT_EQ(FakeOC::Count("ct_exit"), 0);
    EXPECT_EQ(FakeOC::Count("cs_ctx_drop"), 0);
    ASSERT_TRUE(FakeOC::Find("ct_close"));
    EXPECT_EQ(FakeOC::Find("ct_close")->Args[1], "-99999");
    EXPECT_EQ(FakeOC::Count("ct_con_drop"), 1);
    for (const auto& call : FakeOC::Calls("ct_diag")) {
        EXPECT_NE(call.Args[1], std::to_string(CS_CLEAR)) << "queue cleared after the connection went";
        EXPECT_FALSE(call.Args[2] == std::to_string(CS_CLIENTMSG_TYPE) && call.Args[3] == "2") << "read on";
    }

    FakeOC::ClearLog();
    c->Disconnect();
    EXPECT_TRUE(FakeOC::Calls().empty());
    EXPECT_EQ(Check(), ""); // nothing left to read

    // The next login starts from a fresh context.
    c->Connect();
    EXPECT_EQ(FakeOC::LiveHandleCounts().Contexts, 1);
}

TEST_F(DiagnosticsTest, AnInformationalClientMessageNeitherRaisesNorBreaks) {
    FakeOC::PostClientMessage(ClientMsg(20100, 0, "note"));
    EXPECT_EQ(Check(), "");
    EXPECT_TRUE(c->GetConnected());
    EXPECT_EQ(FakeOC::QueuedClientMessages(), 0);

    FakeOC::PostClientMessage(ClientMsg(20100, 0, "note"));
    FakeOC::PostClientMessage(ClientMsg(20003, 6, "timed out"));
    EXPECT_EQ(Check(), "Client library error 20003, severity 6, number 35, origin 0, layer 0 timed out");
    EXPECT_FALSE(c->GetConnected());
}

TEST_F(DiagnosticsTest, AnEmptyQueueRaisesNothingAndIsStillCleared) {
    EXPECT_EQ(Check(), "");
    const std::vector<std::string> expected = {
        "ct_diag(con#1, 37, 4701, -99999, ptr) = 1",
        "ct_diag(con#1, 37, 4700, -99999, ptr) = 1",
        "ct_diag(con#1, 35, 4702, -99999, null) = 1",
    };
    std::vector<std::string> texts;
    for (const auto& call : FakeOC::Calls()) texts.push_back(call.Text());
    EXPECT_EQ(texts, expected);

    FakeOC::ClearLog();
    c->CSCHECK(CS_SUCCEED);
    EXPECT_TRUE(FakeOC::Calls().empty());
    c->CSCHECK(CS_FAIL);
    EXPECT_EQ(FakeOC::Calls().size(), 3u);
}

struct ReadFailure {
    const char* Name;
    int Occurrence; // of ct_diag after the login
};

void PrintTo(const ReadFailure& k, std::ostream* os) { *os << k.Name; }


class ReadFailureTest : public DiagnosticsTest, public ::testing::WithParamInterface<ReadFailure> {};

TEST_P(ReadFailureTest, RaisesMessageHandlingFailedAndKeepsTheQueue) {
    FakeOC::PostServerMessage(ServerMsg(208, 16, "error"));
    FakeOC::PostClientMessage(ClientMsg(20100, 0, "note"));
    FakeOC::FailCall("ct_diag", FakeOC::Count("ct_diag") + GetParam().Occurrence);
    EXPECT_EQ(Check(), "Message handling failed");
    EXPECT_EQ(FakeOC::QueuedServerMessages(), 1);
    EXPECT_EQ(FakeOC::QueuedClientMessages(), 1);
    EXPECT_TRUE(c->GetConnected());
}

INSTANTIATE_TEST_SUITE_P(Reads, ReadFailureTest,
                         ::testing::Values(ReadFailure{"ServerCount", 1}, ReadFailure{"ServerMessage", 2},
                                           ReadFailure{"ClientCount", 3}, ReadFailure{"ClientMessage", 4}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DiagnosticsTest, AHandlerThatRaisesLeavesTheQueueForTheNextCheck) {
    c->SetOnServerError([](const TSybMessage& m, bool&) { throw vcl::Exception("handler: " + m.GetText()); });
    FakeOC::PostServerMessage(ServerMsg(1, 16, "one"));
    FakeOC::PostServerMessage(ServerMsg(2, 16, "two"));
    FakeOC::PostClientMessage(ClientMsg(20017, 9, "EOF"));
    EXPECT_EQ(Check(), "handler: one");
    EXPECT_TRUE(c->GetConnected());
    EXPECT_EQ(FakeOC::QueuedServerMessages(), 2);
    EXPECT_EQ(FakeOC::QueuedClientMessages(), 1);

    c->SetOnServerError(nullptr);
    EXPECT_EQ(Check(),
              "Message 1,Level 16: one;\nMessage 2,Level 16: two;\n"
              "Client library error 20017, severity 9, number 49, origin 0, layer 0 EOF");
}

// ------------------------------------------------------------ message objects

TEST(MessageObjects, CopyTheRecordAsFarAsItsTextReaches) {
    Cspublic::CS_SERVERMSG server{};
    server.msgnumber = 102;
    server.severity = 15;
    std::memset(server.text, 'a', sizeof server.text);
    server.textlen = 5000; // beyond the field: cut to it
    const SybConnect::TSybServerMessage s(&server);
    EXPECT_EQ(s.GetText(), std::string(sizeof server.text, 'a'));
    server.textlen = 3;
    EXPECT_EQ(SybConnect::TSybServerMessage(&server).GetMsgText(), "Message 102,Level 15: aaa ");
    server.textlen = -1;
    EXPECT_EQ(SybConnect::TSybServerMessage(&server).GetText(), "");

    const SybConnect::TSybServerMessage none(nullptr);
    EXPECT_EQ(none.GetMsgNumber(), 0);
    EXPECT_EQ(none.GetSeverity(), 0);
    EXPECT_EQ(none.GetText(), "");

    Cspublic::CS_CLIENTMSG client{};
    client.msgnumber = 0x04030201;
    client.severity = 5;
    std::memcpy(client.msgstring, "x\0y", 3);
    client.msgstringlen = 3; // byte for byte, NUL included
    const SybConnect::TSybClientMessage m(&client);
    EXPECT_EQ(m.GetText(), std::string("x\0y", 3));
    client.msgstringlen = 1;
    EXPECT_EQ(SybConnect::TSybClientMessage(&client).GetMsgText(),
              "Client library error 67305985, severity 5, number 1, origin 3, layer 4 x ");
    client.msgnumber = static_cast<CS_INT>(0xFF000000u);
    EXPECT_EQ(SybConnect::TSybClientMessage(&client).GetMsgText(),
              "Client library error -16777216, severity 5, number 0, origin 0, layer 255 x ");
    EXPECT_EQ(SybConnect::TSybClientMessage(nullptr).GetText(), "");
}

} // namespace
} // namespace ConnectTests
