// The server's messages through the real library: print, raiserror, a failed
// "use", a batch that fails half-way; and statements run with ExecSQL.
#include "tests/integration/Fixture.h"

#include "vcl/DB.h"

namespace Integration {
namespace {

struct Seen {
    int number;
    int severity;
    std::string text;
    bool operator==(const Seen&) const = default;
};

class DiagnosticsTest : public IntegrationTest {
protected:
    void SetUp() override {
        IntegrationTest::SetUp();
        Conn->Connect();
    }
    static SybConnect::TSybMessageProc Collect(std::vector<Seen>& into, bool handled = false) {
        return [&into, handled](const SybConnect::TSybMessage& m, bool& h) {
            into.push_back({m.GetMsgNumber(), m.GetSeverity(), m.GetText()});
            if (handled) h = true;
        };
    }
};

TEST_F(DiagnosticsTest, PrintReachesOnServerMessageOfTheQueryOrElseOfTheConnection) {
    std::vector<Seen> connection, query;
    Conn->SetOnServerMessage(Collect(connection));
    EXPECT_EQ(Select("print 'hello from the batch'\nselect 1"), (std::vector<TRow>{{"1"}}));
    EXPECT_EQ(connection, (std::vector<Seen>{{0, 10, "hello from the batch"}}));

    connection.clear();
    TSybQuery* q = NewQuery("print 'to the query'");
    q->SetOnServerMessage(Collect(query));
    q->ExecSQL();
    EXPECT_EQ(query, (std::vector<Seen>{{0, 10, "to the query"}}));
    EXPECT_TRUE(connection.empty());
}

TEST_F(DiagnosticsTest, RaiserrorReachesOnServerErrorOrRaisesTheJoinedTexts) {
    // Two errors before one result: both texts in one exception, in order.
    Exec("create procedure e2e_fails as\n"
         "raiserror 20001 'first failure'\n"
         "raiserror 20002 'second failure'\n"
         "return 1");
    EXPECT_EQ(Raised([&] { Exec("exec e2e_fails"); }),
              "Message 20001,Level 16: first failure;\nMessage 20002,Level 16: second failure");

    // In a batch each statement is checked on its own result: the first error
    // raises and the rest of the batch is cancelled.
    const std::string batch = "raiserror 20003 'third failure'\n"
                              "raiserror 20004 'fourth failure'\n"
                              "select 5";
    EXPECT_EQ(Raised([&] { Select(batch); }), "Message 20003,Level 16: third failure");

    // Handled: nothing raised, and the rows after the errors still arrive.
    std::vector<Seen> errors;
    Conn->SetOnServerError(Collect(errors, true));
    EXPECT_EQ(Select(batch), (std::vector<TRow>{{"5"}}));
    EXPECT_EQ(errors, (std::vector<Seen>{{20003, 16, "third failure"}, {20004, 16, "fourth failure"}}));
}

const std::string k911 = "Message 911,Level 11: Attempt to locate entry in sysdatabases for database 'no_such_db' by "
                         "name failed - no entry found under that name. Make sure that name is entered properly.";

TEST_F(DiagnosticsTest, UseOfAMissingDatabaseRaisesTheServersMessage) {
    // On a live connection, through the property writer and ChangeDatabase.
    EXPECT_EQ(Raised([&] { Conn->SetDatabase("no_such_db"); }), k911);
    EXPECT_EQ(Raised([&] { Conn->ChangeDatabase(); }), k911);
    EXPECT_TRUE(Conn->GetConnected());
    // Still in the database of the login.
    EXPECT_EQ(Select("select count(*) from customers"), (std::vector<TRow>{{"4"}}));

    // At login: the "use" fails after the login itself succeeded.
    int connects = 0;
    Conn->SetOnConnect([&](vcl::TObject*) { ++connects; });
    Conn->Disconnect();
    EXPECT_EQ(Raised([&] { Conn->Connect(); }), k911);
    EXPECT_EQ(connects, 0);
    EXPECT_TRUE(Conn->GetConnected());
    EXPECT_EQ(Select("select 2"), (std::vector<TRow>{{"2"}}));
}

TEST_F(DiagnosticsTest, ExecSQLInsertsAndUpdates) {
    Exec("create table e2e_notes (id int not null, note varchar(40) null)");
    TSybQuery* insert = NewQuery("insert e2e_notes (id, note) values (:id, :note)");
    for (int id = 1; id <= 3; ++id) {
        insert->ParamByName("id")->SetAsInteger(id);
        insert->ParamByName("note")->SetAsString("note " + std::to_string(id));
        insert->ExecSQL();
        EXPECT_FALSE(insert->Active());
    }
    TSybQuery* update = NewQuery("update e2e_notes set note = :note where id >= :from");
    update->ParamByName("note")->SetAsString("changed");
    update->ParamByName("from")->SetAsInteger(2);
    update->ExecSQL();
    EXPECT_EQ(Select("select id, note from e2e_notes order by id"),
              (std::vector<TRow>{{"1", "note 1"}, {"2", "changed"}, {"3", "changed"}}));
}

TEST_F(DiagnosticsTest, ABatchThatFailsHalfWayLeavesTheConnectionUsable) {
    TSybQuery* q = NewQuery("select id from customers where id = 1\n"
                            "select * from no_such_table\n"
                            "select n from many_rows");
    const std::string raised = Raised([&] { q->Open(); });
    EXPECT_EQ(raised.rfind("Message 208,Level 16: no_such_table not found.", 0), 0u) << raised;
    EXPECT_TRUE(Conn->GetConnected());

    // The rest of the failed batch is cancelled, nothing of it is left over.
    std::vector<Seen> errors;
    Conn->SetOnServerError(Collect(errors));
    EXPECT_EQ(Select("select count(*) from orders"), (std::vector<TRow>{{"6"}}));
    EXPECT_TRUE(errors.empty());
    // And the same query runs again once its text is fixed.
    q->GetSQL()->SetText("select id from customers where id = 1");
    q->Open();
    EXPECT_EQ(RowsOf(*q), (std::vector<TRow>{{"1"}}));
}

} // namespace
} // namespace Integration
