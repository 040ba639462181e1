// One execution end to end: the calls it makes with their values, finding the
// connection, logging it in, the busy cursor, the lock and ActiveQuery while
// it runs, an external connection, and the connection's "use".
#include "Fixture.h"

namespace QueryTests {
namespace {

class ExecuteTest : public QueryTest {
protected:
    std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const auto& call : FakeOC::Calls()) out.push_back(call.Text());
        return out;
    }
};

TEST_F(ExecuteTest, OpenMakesEveryCallWithItsValuesInOrder) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select id, name from t where id > :id");
    q->ParamByName("id")->SetValue(vcl::Variant(int32_t(5)));
    FakeOC::QueueResults(FakeOC::Select({Column::Of("id", CS_INT_TYPE), Column::Of("name", CS_CHAR_TYPE, 10)},
                                        {{Value::Int(6), Value::Char("six")}, {Value::Int(7), Value::Null()}}));
    FakeOC::ClearLog();
    q->Open();

    const std::string text = "select id, name from t where id > 5\r\n";
    const std::vector<std::string> expected = {
        "ct_cmd_alloc(con#1, ptr) = 1",
        "ct_command(cmd#1, 148, " + text + ", " + std::to_string(text.size()) + ", -99999) = 1",
        "ct_send(cmd#1) = 1",
        "ct_results(cmd#1, ptr) = 1",
        "ct_diag(con#1, 37, 4701, -99999, ptr) = 1",
        "ct_diag(con#1, 37, 4700, -99999, ptr) = 1",
        "ct_diag(con#1, 35, 4702, -99999, null) = 1",
        "ct_res_info(cmd#1, 803, ptr, 4, null) = 1",
        "ct_describe(cmd#1, 1, ptr) = 1",
        "ct_bind(cmd#1, 1, 8, 4, 0, ptr, ptr, ptr) = 1",
        "ct_describe(cmd#1, 2, ptr) = 1",
        "ct_bind(cmd#1, 2, 0, 10, 0, ptr, ptr, ptr) = 1",
        "ct_fetch(cmd#1, -99999, -99999, -99999, null) = 1",
        "ct_fetch(cmd#1, -99999, -99999, -99999, null) = 1",
        "ct_fetch(cmd#1, -99999, -99999, -99999, null) = -204",
        "ct_results(cmd#1, ptr) = 1",
        "ct_diag(con#1, 37, 4701, -99999, ptr) = 1",
        "ct_diag(con#1, 37, 4700, -99999, ptr) = 1",
        "ct_diag(con#1, 35, 4702, -99999, null) = 1",
        "ct_results(cmd#1, ptr) = -205",
        "ct_diag(con#1, 37, 4701, -99999, ptr) = 1",
        "ct_diag(con#1, 37, 4700, -99999, ptr) = 1",
        "ct_diag(con#1, 35, 4702, -99999, null) = 1",
        "ct_cmd_drop(cmd#1) = 1",
    };
    EXPECT_EQ(Texts(), expected) << FakeOC::LogText();

    ASSERT_TRUE(q->Active());
    EXPECT_EQ(q->RecordCount(), 2);
    EXPECT_EQ(FieldInt(q, "id"), 6);
    EXPECT_EQ(q->FieldByName("name")->AsString(), "six");
    q->Next();
    EXPECT_TRUE(q->FieldByName("name")->IsNull());
    EXPECT_EQ(q->GetConnectionInUse(), Conn.get());
    EXPECT_EQ(q->GetCommand(), nullptr);
    ExpectRestored();
}

TEST_F(ExecuteTest, BlankTextIsRefusedBeforeAnyConnectionIsLookedUp) {
    TSybQuery* q = NewQuery(" \t\r\n  ");
    q->SetDatabaseName("NOWHERE");
    try {
        q->Open();
        FAIL() << "no error";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "No SQL statement available");
    }
    EXPECT_EQ(FakeOC::Count("ct_cmd_alloc"), 0);
    EXPECT_FALSE(q->Active());
}

TEST_F(ExecuteTest, TheConnectionIsFoundByItsNameKey) {
    Conn->Connect();
    for (const char* name : {"DB", "db", "  Db\t", "\ndB "}) {
        TSybQuery* q = NewQuery("select 1");
        q->SetDatabaseName(name);
        FakeOC::QueueResults(IdRows({1}));
        q->Open();
        EXPECT_EQ(q->GetConnectionInUse(), Conn.get()) << name;
        EXPECT_TRUE(q->Active()) << name;
    }
    TSybQuery* q = NewQuery("select 1");
    q->SetDatabaseName("D B");
    try {
        q->Open();
        FAIL() << "no error";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "Sybase connection named \"D B\" not found");
    }
    EXPECT_EQ(Conn->GetActiveQuery(), nullptr);
}

TEST_F(ExecuteTest, AClosedConnectionIsLoggedInAndTheQueryKeepsItsHandlersAfterTheUse) {
    Conn->SetDatabase("pubs2");
    TSybQuery* q = NewQuery("select id from t");
    std::vector<std::string> seen;
    q->SetOnServerMessage([&](const SybConnect::TSybMessage& m, bool&) {
        seen.push_back(m.GetText());
        EXPECT_EQ(Conn->GetActiveQuery(), q);
    });
    // The login's "use" is the first command, the query's own the second.
    FakeOC::QueueResults({FakeOC::Result::CmdDone()});
    FakeOC::QueueResults(IdRows({1, 2}));
    FakeOC::QueueServerMessage("ct_send", 2, ServerMsg(5701, 10, "query note"));
    q->Open();

    EXPECT_TRUE(Conn->GetConnected());
    ASSERT_TRUE(FakeOC::Find("ct_command", 1));
    EXPECT_EQ(FakeOC::Find("ct_command", 1)->Args[2], "use pubs2\r\n");
    EXPECT_EQ(seen, std::vector<std::string>{"query note"});
    EXPECT_EQ(q->RecordCount(), 2);
    ExpectRestored();
}

TEST_F(ExecuteTest, AConnectionThatIsStillClosedAfterConnectIsReported) {
    // A login whose OnConnect handler logs out again.
    Conn->SetOnConnect([this](vcl::TObject*) { Conn->Disconnect(); });
    TSybQuery* q = NewQuery("select 1");
    try {
        q->Open();
        FAIL() << "no error";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "Could not open sybase connection \"DB\"");
    }
    EXPECT_EQ(FakeOC::Count("ct_cmd_alloc"), 0);
    ExpectRestored();
}

TEST_F(ExecuteTest, WhileItRunsTheQueryIsActiveQueryHoldsTheLockAndShowsTheBusyCursor) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select id from t");
    int calls = 0;
    q->SetOnServerMessage([&](const SybConnect::TSybMessage&, bool&) {
        ++calls;
        EXPECT_EQ(Conn->GetActiveQuery(), q);
        EXPECT_FALSE(LockFree(*Conn));
        EXPECT_EQ(vcl::Screen()->Cursor(), vcl::crSQLWait);
    });
    FakeOC::QueueResults(IdRows({1}));
    FakeOC::QueueServerMessage("ct_results", 0, ServerMsg(1, 10, "note"));
    q->Open();
    EXPECT_EQ(calls, 3);
    ExpectRestored();
}

TEST_F(ExecuteTest, ServerErrorsOfAStatementRaiseAndLeaveNothingBehind) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select nothing");
    FakeOC::QueueResults({FakeOC::Result::CmdFail()});
    FakeOC::QueueServerMessage("ct_results", FakeOC::Count("ct_results") + 1,
                               ServerMsg(207, 16, "Invalid column name 'nothing'."));
    try {
        q->Open();
        FAIL() << "no error";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "Message 207,Level 16: Invalid column name 'nothing'.");
    }
    EXPECT_EQ(FakeOC::Count("ct_cancel"), 1);
    EXPECT_FALSE(q->Active());
    ExpectRestored();
}

TEST_F(ExecuteTest, AStatementWithoutRowsLeavesTheQueryClosed) {
    Conn->Connect();
    TSybQuery* q = NewQuery("update t set x = 1");
    std::vector<std::string> events;
    q->BeforeOpen = [&](vcl::TDataSet*) { events.push_back("BeforeOpen"); };
    q->AfterOpen = [&](vcl::TDataSet*) { events.push_back("AfterOpen"); };
    q->AfterClose = [&](vcl::TDataSet*) { events.push_back("AfterClose"); };
    q->ExecSQL();
    EXPECT_FALSE(q->Active());
    EXPECT_EQ(FakeOC::Count("ct_send"), 1);
    q->Open();
    EXPECT_EQ(q->State(), vcl::dsInactive);
    EXPECT_EQ(FakeOC::Count("ct_send"), 2);
    // Never opened, so neither AfterOpen nor AfterClose.
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeOpen", "BeforeOpen"}));
    ExpectRestored();
}

TEST_F(ExecuteTest, AnExternalConnectionIsUsedOnlyInsideALibraryAndNeverGetsTheQueryAsActiveQuery) {
    auto other = std::make_unique<TSybConnect>(nullptr);
    other->SetServerName("SRV2");
    other->SetDatabaseName("OTHER");
    other->Connect();
    std::vector<std::string> connectionSaw;
    other->SetOnServerError([&](const SybConnect::TSybMessage& m, bool& handled) {
        connectionSaw.push_back(m.GetText());
        EXPECT_EQ(other->GetActiveQuery(), nullptr);
        handled = true;
    });
    TSybQuery* q = NewQuery("select id from t");
    q->SetDatabaseName("NOWHERE");
    int querySaw = 0;
    q->SetOnServerError([&](const SybConnect::TSybMessage&, bool& handled) {
        ++querySaw;
        handled = true;
    });
    q->SetExternalConnect(other.get());

    // Outside a library the external connection does not apply.
    EXPECT_THROW(q->Open(), vcl::Exception);

    vcl::IsLibrary = true;
    FakeOC::QueueResults(IdRows({4}));
    FakeOC::QueueServerMessage("ct_send", FakeOC::Count("ct_send") + 1, ServerMsg(100, 11, "to the connection"));
    q->Open();
    EXPECT_EQ(q->GetConnectionInUse(), other.get());
    EXPECT_EQ(FieldInt(q, "ID"), 4);
    EXPECT_EQ(connectionSaw, std::vector<std::string>{"to the connection"});
    EXPECT_EQ(querySaw, 0);
    EXPECT_EQ(FakeOC::LiveHandleCounts().Commands, 0);
    EXPECT_TRUE(LockFree(*other));
    q->Close();
    other.reset();
}

TEST_F(ExecuteTest, ChangeDatabaseSendsUseWithTheNameAsStoredAndNothingForABlankName) {
    Conn->Connect();
    FakeOC::ClearLog();
    Conn->SetDatabase("   ");
    EXPECT_TRUE(FakeOC::Calls("ct_command").empty());

    Conn->SetDatabase(" pubs2 ");
    auto commands = FakeOC::Calls("ct_command");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].Args[2], "use  pubs2 \r\n");
    EXPECT_EQ(Conn->GetActiveQuery(), nullptr);

    // The server's refusal reaches the caller.
    FakeOC::QueueResults({FakeOC::Result::CmdFail()});
    FakeOC::QueueServerMessage("ct_results", FakeOC::Count("ct_results") + 1,
                               ServerMsg(911, 11, "Attempt to locate entry in sysdatabases failed."));
    try {
        Conn->SetDatabase("nosuch");
        FAIL() << "no error";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "Message 911,Level 11: Attempt to locate entry in sysdatabases failed.");
    }
    EXPECT_EQ(Conn->GetDatabase(), "nosuch");
    ExpectRestored();
}

} // namespace
} // namespace QueryTests
