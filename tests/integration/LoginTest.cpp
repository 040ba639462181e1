// Login: OnConnect, the switch to Database, the login's informational
// messages, and the date order read from the server.
#include "tests/integration/Fixture.h"

#include "binding/Ctpublic.h"
#include "vcl/DB.h"
#include "vcl/DateTime.h"

namespace Integration {
namespace {

using namespace Cstypes;

class LoginTest : public IntegrationTest {
protected:
    // The date order the server reports for the session right now.
    CS_INT ServerDateOrder() {
        CS_INT order = 0;
        EXPECT_EQ(Ctpublic::ct_options(Conn->GetConnection(), CS_GET, CS_OPT_DATEFORMAT, &order, CS_UNUSED, nullptr),
                  CS_SUCCEED);
        return order;
    }
};

TEST_F(LoginTest, ConnectLogsInSwitchesTheDatabaseAndFiresOnConnectOnce) {
    int connects = 0;
    vcl::TObject* sender = nullptr;
    Conn->SetOnConnect([&](vcl::TObject* s) {
        ++connects;
        sender = s;
    });
    std::vector<std::pair<int, std::string>> infos;
    Conn->SetOnServerMessage([&](const SybConnect::TSybMessage& m, bool&) {
        infos.emplace_back(m.GetMsgNumber(), m.GetText());
    });
    EXPECT_EQ(Conn->GetDateFormat(), 0);

    Conn->Connect();
    ASSERT_TRUE(Conn->GetConnected());
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(sender, Conn.get());
    EXPECT_FALSE(Conn->GetHostName().empty());
    EXPECT_EQ(Conn->GetDateFormat(), CS_OPT_FMTMDY);
    // The "use" of the login reached the server and reported the switch.
    bool switched = false;
    for (const auto& [number, text] : infos)
        if (number == 5701 && text == "Changed database context to 'kestrel_sample'.") switched = true;
    EXPECT_TRUE(switched);
    // The sample's tables are there, so the session is in that database.
    EXPECT_EQ(Select("select count(*) from customers"), (std::vector<TRow>{{"4"}}));

    Conn->Connect();
    EXPECT_EQ(connects, 1);
}

TEST_F(LoginTest, ADateParameterRoundTripsAfterTheSessionsDateOrderChangedAndAReconnect) {
    Conn->Connect();
    Exec("create table e2e_dates (id int not null, d datetime null)");

    Exec("set dateformat dmy");
    EXPECT_EQ(ServerDateOrder(), CS_OPT_FMTDMY);
    // The property is what the last login read.
    EXPECT_EQ(Conn->GetDateFormat(), CS_OPT_FMTMDY);

    // A new session: the order is read again and literals follow it.
    Conn->Reconnect();
    ASSERT_TRUE(Conn->GetConnected());
    EXPECT_EQ(Conn->GetDateFormat(), ServerDateOrder());

    // Day and month both at most 12, so a swapped order would not go unseen.
    const vcl::TDateTime values[] = {
        vcl::EncodeDate(2001, 1, 3) + vcl::EncodeTime(14, 5, 9, 7),
        vcl::EncodeDate(2012, 11, 4) + vcl::EncodeTime(0, 0, 0, 0),
        vcl::EncodeDate(1999, 12, 31) + vcl::EncodeTime(23, 59, 59, 997),
    };
    TSybQuery* insert = NewQuery("insert e2e_dates (id, d) values (:id, :d)");
    for (int i = 0; i < 3; ++i) {
        insert->ParamByName("id")->SetAsInteger(i);
        insert->ParamByName("d")->SetAsDateTime(values[i]);
        insert->ExecSQL();
    }
    TSybQuery* q = NewQuery("select d from e2e_dates order by id");
    q->Open();
    for (int i = 0; i < 3; ++i) {
        ASSERT_FALSE(q->Eof());
        EXPECT_EQ(vcl::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", q->FieldByName("d")->AsDateTime()),
                  vcl::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", values[i]));
        q->Next();
    }
    EXPECT_TRUE(q->Eof());
}

} // namespace
} // namespace Integration
