// The sandbox as FreeTDS's CT-Library sees it: login, result types, data
// types and values, messages, SET options, the date-order option and cancel.
#include <gtest/gtest.h>

#include "CtClient.h"
#include "sandbox/testing/SandboxProcess.h"
#include "vcl/SysUtils.h"

using namespace sandbox::testing;

namespace {

class SandboxCtlib : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Client.Connect(Server.Address())) << "login failed";
        Client.TakeMessages();
    }
    CtOutcome Run(const std::string& sql) { return Client.Run(sql); }

    TSandboxProcess Server;
    CtClient Client;
};

const CtResult& Rows(const CtOutcome& o) {
    static const CtResult none;
    const CtResult* r = o.First(CS_ROW_RESULT);
    EXPECT_NE(r, nullptr);
    return r ? *r : none;
}

std::string Value(const CtOutcome& o, size_t row = 0, size_t col = 0) {
    const CtResult& r = Rows(o);
    if (row >= r.rows.size() || col >= r.rows[row].size()) return "<missing>";
    return r.rows[row][col].value_or("<NULL>");
}

}  // namespace

TEST(SandboxLogin, WrongPasswordGetsAseLoginFailedAndTheSocketCloses) {
    TSandboxOptions options;
    options.Password = "secret";
    TSandboxProcess server(options);
    CtClient bad;
    EXPECT_FALSE(bad.Connect(server.Address(), "wrong"));
    const auto messages = bad.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].number, 4002);
    EXPECT_EQ(messages[0].severity, 14);
    EXPECT_EQ(messages[0].text, "Login failed.");
    EXPECT_FALSE(CtClient().Connect(server.Address(), "secret", "someone"));

    CtClient good;
    ASSERT_TRUE(good.Connect(server.Address(), "secret"));
    const auto login = good.TakeMessages();
    ASSERT_GE(login.size(), 1u);
    EXPECT_EQ(login[0].number, 5701);
    EXPECT_EQ(login[0].text, "Changed database context to 'master'.");
}

TEST_F(SandboxCtlib, BatchOfSelectsGivesOneResultEach) {
    const auto o = Run("select 1 as a select 'x' as b, 2 as c");
    EXPECT_EQ(o.sequence, (std::vector<CS_INT>{CS_ROW_RESULT, CS_CMD_DONE, CS_ROW_RESULT, CS_CMD_DONE, CS_END_RESULTS}));
    ASSERT_EQ(o.results.size(), 2u);
    EXPECT_EQ(o.results[1].columns[0].name, "b");
    EXPECT_EQ(o.results[1].rows[0][1], "2");
}

TEST_F(SandboxCtlib, ErrorInTheMiddleFailsOnlyThatStatement) {
    const auto o = Run("select 1 select * from nosuch select 2");
    EXPECT_EQ(o.sequence, (std::vector<CS_INT>{CS_ROW_RESULT, CS_CMD_DONE, CS_CMD_FAIL, CS_CMD_DONE, CS_ROW_RESULT,
                                                CS_CMD_DONE, CS_END_RESULTS}));
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0].number, 208);
    EXPECT_EQ(o.messages[0].severity, 16);
    EXPECT_EQ(o.messages[0].text.rfind("nosuch not found.", 0), 0u);
    // A syntax error stops the rest of the batch, as ASE compiles it first.
    const auto syntax = Run("select ) select 2");
    EXPECT_EQ(syntax.sequence, (std::vector<CS_INT>{CS_CMD_FAIL, CS_CMD_DONE, CS_END_RESULTS}));
    EXPECT_TRUE(syntax.HasMessage(102));
}

TEST_F(SandboxCtlib, DmlCountsRowsAndDdlDoesNot) {
    ASSERT_FALSE(Run("create table t (a int, b varchar(10))").Failed());
    const auto ins = Run("insert into t values (1, 'a') insert into t select a + 1, b from t");
    EXPECT_EQ(ins.sequence, (std::vector<CS_INT>{CS_CMD_SUCCEED, CS_CMD_DONE, CS_CMD_SUCCEED, CS_CMD_DONE, CS_END_RESULTS}));
    EXPECT_EQ(Value(Run("select @@rowcount")), "1");
    EXPECT_EQ(Value(Run("update t set b = 'z' select @@rowcount")), "2");
    CS_COMMAND* cmd = Client.NewCommand();
    ct_command(cmd, CS_LANG_CMD, const_cast<char*>("delete from t"), CS_NULLTERM, CS_UNUSED);
    ASSERT_EQ(ct_send(cmd), CS_SUCCEED);
    CS_INT type = 0, count = -1;
    ASSERT_EQ(ct_results(cmd, &type), CS_SUCCEED);
    EXPECT_EQ(type, CS_CMD_SUCCEED);
    ct_res_info(cmd, CS_ROW_COUNT, &count, CS_UNUSED, nullptr);
    EXPECT_EQ(count, 2);
    Client.Drain(cmd);
}

TEST_F(SandboxCtlib, SampleColumnsKeepTheirDeclaredTypes) {
    const auto o = Run("use kestrel_sample select * from all_types order by id");
    const CtResult& r = Rows(o);
    struct Expect {
        const char* name;
        CS_INT type, maxlength, precision, scale;
    } expected[] = {
        {"id", CS_INT_TYPE, 4, 0, 0},          {"c_char", CS_CHAR_TYPE, 10, 0, 0},
        {"c_varchar", CS_CHAR_TYPE, 40, 0, 0}, {"c_binary", CS_BINARY_TYPE, 4, 0, 0},
        {"c_varbinary", CS_BINARY_TYPE, 16, 0, 0}, {"c_text", CS_TEXT_TYPE, 32768, 0, 0},
        {"c_image", CS_IMAGE_TYPE, 32768, 0, 0}, {"c_tinyint", CS_TINYINT_TYPE, 1, 0, 0},
        {"c_smallint", CS_SMALLINT_TYPE, 2, 0, 0}, {"c_int", CS_INT_TYPE, 4, 0, 0},
        {"c_bigint", CS_BIGINT_TYPE, 8, 0, 0},   {"c_real", CS_REAL_TYPE, 4, 0, 0},
        {"c_float", CS_FLOAT_TYPE, 8, 0, 0},     {"c_bit", CS_BIT_TYPE, 1, 0, 0},
        {"c_datetime", CS_DATETIME_TYPE, 8, 0, 0}, {"c_smalldatetime", CS_DATETIME4_TYPE, 4, 0, 0},
        {"c_money", CS_MONEY_TYPE, 8, 0, 0},     {"c_smallmoney", CS_MONEY4_TYPE, 4, 0, 0},
        {"c_numeric", CS_NUMERIC_TYPE, 35, 10, 2}, {"c_decimal", CS_DECIMAL_TYPE, 35, 18, 4},
    };
    ASSERT_EQ(r.columns.size(), std::size(expected));
    for (size_t i = 0; i < r.columns.size(); ++i) {
        EXPECT_EQ(r.columns[i].name, expected[i].name);
        EXPECT_EQ(r.columns[i].datatype, expected[i].type) << expected[i].name;
        EXPECT_EQ(r.columns[i].maxlength, expected[i].maxlength) << expected[i].name;
        EXPECT_EQ(r.columns[i].precision, expected[i].precision) << expected[i].name;
        EXPECT_EQ(r.columns[i].scale, expected[i].scale) << expected[i].name;
    }
    ASSERT_EQ(r.rows.size(), 3u);
    const auto& a = r.rows[0];
    EXPECT_EQ(a[1], "alpha     ");  // char(10) is blank-padded
    EXPECT_EQ(a[3], "01020304");
    EXPECT_EQ(a[5], "some text");
    EXPECT_EQ(a[10], "9000000000");
    EXPECT_EQ(a[13], "1");
    EXPECT_EQ(a[16], "1234.5678");
    EXPECT_EQ(a[18], "12345678.91");
    EXPECT_EQ(a[19], "-0.0001");
    EXPECT_EQ(r.rows[1][2], "trailing  ");  // varchar keeps its trailing blanks
    EXPECT_EQ(r.rows[1][8], "32767");
    EXPECT_EQ(r.rows[1][9], "-2147483648");
    for (size_t i = 1; i < r.rows[2].size(); ++i)
        if (i != 13) {
            EXPECT_FALSE(r.rows[2][i].has_value()) << expected[i].name;
        }
}

TEST_F(SandboxCtlib, ExpressionsAreTypedByTheirValues) {
    const auto o = Run("select count(*), 'abc', 1.5, 9000000000, '', x'00ff', cast('2' as int) as n from (select 1)");
    const CtResult& r = Rows(o);
    ASSERT_EQ(r.columns.size(), 7u);
    EXPECT_EQ(r.columns[0].datatype, CS_INT_TYPE);
    EXPECT_EQ(r.columns[0].name, "");  // unnamed expressions have no label, as in ASE
    EXPECT_EQ(r.columns[1].datatype, CS_CHAR_TYPE);
    EXPECT_EQ(r.columns[1].maxlength, 3);
    EXPECT_EQ(r.columns[2].datatype, CS_FLOAT_TYPE);
    EXPECT_EQ(r.columns[3].datatype, CS_BIGINT_TYPE);
    EXPECT_EQ(r.columns[5].datatype, CS_BINARY_TYPE);
    EXPECT_EQ(r.columns[6].datatype, CS_INT_TYPE);
    EXPECT_EQ(r.columns[6].name, "n");
    EXPECT_EQ(r.rows[0][4], " ");  // '' comes back as one blank
    EXPECT_EQ(r.rows[0][5], "00ff");
}

TEST_F(SandboxCtlib, TypedVariablesAndConvertKeepTheirTypes) {
    const auto o = Run("declare @m money, @d datetime select @m = 12.5, @d = '2001-02-03' "
                       "select @m, @d, convert(numeric(6,1), 2.25), convert(varchar(2), 'abc')");
    const CtResult& r = Rows(o);
    ASSERT_EQ(r.columns.size(), 4u);
    EXPECT_EQ(r.columns[0].datatype, CS_MONEY_TYPE);
    EXPECT_EQ(r.columns[1].datatype, CS_DATETIME_TYPE);
    EXPECT_EQ(r.columns[2].datatype, CS_NUMERIC_TYPE);
    EXPECT_EQ(r.columns[2].precision, 6);
    EXPECT_EQ(r.rows[0][0], "12.5000");
    EXPECT_EQ(r.rows[0][2], "2.3");
    EXPECT_EQ(r.rows[0][3], "ab");
}

TEST_F(SandboxCtlib, PrintAndRaiserrorAsAseSendsThem) {
    struct Case {
        const char* sql;
        CS_INT number, severity, state;
        const char* text;
        bool fails;
    } cases[] = {
        {"print 'hello'", 0, 10, 1, "hello", false},
        {"print \"dq %1! and %2!\", 5, 'x'", 0, 10, 1, "dq 5 and x", false},
        {"raiserror 50000 'boom'", 50000, 16, 1, "boom", true},
        {"raiserror 20001 \"value %1!\", 42", 20001, 16, 1, "value 42", true},
        {"raiserror('ms form', 16, 1)", 50000, 16, 1, "ms form", true},
        {"raiserror('%s is %d', 11, 3, 'x', 7)", 50000, 11, 3, "x is 7", true},
        {"raiserror('just info', 10, 1)", 50000, 10, 1, "just info", false},
        {"raiserror 100 'too small'", 2732, 16, 1,
         "Error number 100 is invalid. The number must be from 17000 to 2147483647.", true},
    };
    for (const Case& c : cases) {
        const auto o = Run(c.sql);
        ASSERT_EQ(o.messages.size(), 1u) << c.sql;
        EXPECT_EQ(o.messages[0].number, c.number) << c.sql;
        EXPECT_EQ(o.messages[0].severity, c.severity) << c.sql;
        EXPECT_EQ(o.messages[0].state, c.state) << c.sql;
        EXPECT_EQ(o.messages[0].text, c.text) << c.sql;
        EXPECT_EQ(o.Failed(), c.fails) << c.sql;
    }
    EXPECT_EQ(Value(Run("raiserror 50001 'x' select @@error")), "50001");
}

TEST_F(SandboxCtlib, UseSwitchesDatabasesAndAMissingOneFails) {
    const auto ok = Run("use kestrel_sample select db_name()");
    EXPECT_TRUE(ok.HasMessage(5701));
    EXPECT_EQ(Value(ok), "kestrel_sample");
    const auto missing = Run("use nosuchdb");
    EXPECT_TRUE(missing.Failed());
    ASSERT_EQ(missing.messages.size(), 1u);
    EXPECT_EQ(missing.messages[0].number, 911);
    EXPECT_EQ(missing.messages[0].text,
              "Attempt to locate entry in sysdatabases for database 'nosuchdb' by name failed - no entry found under "
              "that name. Make sure that name is entered properly.");
    EXPECT_EQ(Value(Run("select db_name()")), "kestrel_sample");
    EXPECT_TRUE(Run("use [../master]").Failed());  // names are names, never paths
}

TEST_F(SandboxCtlib, DateOrderIsReadBackThroughTheOptionQuery) {
    CS_INT order = 0;
    ASSERT_EQ(ct_options(Client.Connection(), CS_GET, CS_OPT_DATEFORMAT, &order, CS_UNUSED, nullptr), CS_SUCCEED);
    EXPECT_EQ(order, CS_OPT_FMTMDY);
    ASSERT_FALSE(Run("set dateformat dmy").Failed());
    ASSERT_EQ(ct_options(Client.Connection(), CS_GET, CS_OPT_DATEFORMAT, &order, CS_UNUSED, nullptr), CS_SUCCEED);
    EXPECT_EQ(order, CS_OPT_FMTDMY);
    // The session's order reads date strings; an alphabetic month does not depend on it.
    const auto o = Run("create table d (x datetime) insert into d values ('15/04/1990') "
                       "insert into d values ('Apr 16 1990') select convert(varchar(10), x) from d order by x");
    const CtResult& r = Rows(o);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0][0], "1990-04-15");
    EXPECT_EQ(r.rows[1][0], "1990-04-16");
    CS_INT ymd = CS_OPT_FMTYMD;
    ASSERT_EQ(ct_options(Client.Connection(), CS_SET, CS_OPT_DATEFORMAT, &ymd, CS_UNUSED, nullptr), CS_SUCCEED);
    ASSERT_EQ(ct_options(Client.Connection(), CS_GET, CS_OPT_DATEFORMAT, &order, CS_UNUSED, nullptr), CS_SUCCEED);
    EXPECT_EQ(order, CS_OPT_FMTYMD);
    EXPECT_TRUE(Run("set dateformat xyz").HasMessage(2741));
}

TEST_F(SandboxCtlib, TextSizeBoundsTextColumnsAndTheirValues) {
    const auto o = Run("set textsize 4 use kestrel_sample select c_text from all_types where id = 1");
    const CtResult& r = Rows(o);
    ASSERT_EQ(r.columns.size(), 1u);
    EXPECT_EQ(r.columns[0].maxlength, 4);
    EXPECT_EQ(r.rows[0][0], "some");
    EXPECT_EQ(Value(Run("select @@textsize")), "4");
}

TEST_F(SandboxCtlib, SetRowcountAndNocount) {
    const auto o = Run("use kestrel_sample set rowcount 3 select n from many_rows set rowcount 0");
    EXPECT_EQ(Rows(o).rows.size(), 3u);
    EXPECT_TRUE(Run("set nosuchoption on").HasMessage(195));
}

TEST_F(SandboxCtlib, CancelStopsAWaitforAndTheConnectionGoesOn) {
    CS_COMMAND* cmd = Client.NewCommand();
    ct_command(cmd, CS_LANG_CMD, const_cast<char*>("waitfor delay '00:00:50' select 1"), CS_NULLTERM, CS_UNUSED);
    ASSERT_EQ(ct_send(cmd), CS_SUCCEED);
    // Returns only once the sandbox acknowledged the attention (the test's watchdog guards it).
    EXPECT_EQ(ct_cancel(nullptr, cmd, CS_CANCEL_ALL), CS_SUCCEED);
    EXPECT_EQ(Value(Run("select 2")), "2");
}

TEST_F(SandboxCtlib, CancelInTheMiddleOfRows) {
    ASSERT_FALSE(Run("use kestrel_sample").Failed());
    CS_COMMAND* cmd = Client.NewCommand();
    ct_command(cmd, CS_LANG_CMD, const_cast<char*>("select a.n, b.label from many_rows a, many_rows b"), CS_NULLTERM,
               CS_UNUSED);
    ASSERT_EQ(ct_send(cmd), CS_SUCCEED);
    CS_INT type = 0;
    ASSERT_EQ(ct_results(cmd, &type), CS_SUCCEED);
    ASSERT_EQ(type, CS_ROW_RESULT);
    CS_INT read = 0;
    EXPECT_EQ(ct_fetch(cmd, CS_UNUSED, CS_UNUSED, CS_UNUSED, &read), CS_SUCCEED);
    EXPECT_EQ(ct_cancel(nullptr, cmd, CS_CANCEL_ALL), CS_SUCCEED);
    EXPECT_EQ(Value(Run("select count(*) from many_rows")), "1000");
}

TEST_F(SandboxCtlib, TransactionsRollBack) {
    ASSERT_FALSE(Run("create table t (a int)").Failed());
    const auto o = Run("begin tran insert into t values (1) select @@trancount rollback tran select count(*) from t");
    ASSERT_EQ(o.results.size(), 2u);
    EXPECT_EQ(o.results[0].rows[0][0], "1");
    EXPECT_EQ(o.results[1].rows[0][0], "0");
    EXPECT_TRUE(Run("rollback").HasMessage(3903));
}

TEST_F(SandboxCtlib, GlobalsAndVersion) {
    const auto o = Run("select @@spid, @@version, @@servername");
    const CtResult& r = Rows(o);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_GT(std::stoi(r.rows[0][0].value_or("0")), 0);
    EXPECT_NE(r.rows[0][1]->find("not a production database"), std::string::npos);
    EXPECT_TRUE(Run("select @@nosuch").HasMessage(137));
}

TEST(SandboxProcessTest, RestartsOnTheSamePortKeepingItsData) {
    TSandboxProcess server;
    const int port = server.Port();
    EXPECT_GT(port, 0);
    EXPECT_EQ(server.Address(), "127.0.0.1:" + std::to_string(port));
    {
        CtClient client;
        ASSERT_TRUE(client.Connect(server.Address()));
        ASSERT_FALSE(client.Run("create table kept (a int) insert into kept values (5)").Failed());
    }
    server.Stop();
    EXPECT_FALSE(server.Running());
    EXPECT_FALSE(CtClient().Connect(server.Address()));
    server.Start();
    EXPECT_EQ(server.Port(), port);
    CtClient again;
    ASSERT_TRUE(again.Connect(server.Address()));
    EXPECT_EQ(Value(again.Run("select a from kept")), "5");
}

TEST(SandboxProcessTest, AMissingExecutableFailsClearly) {
    TSandboxOptions options;
    options.Executable = "/nonexistent/kestrel-sandbox";
    try {
        TSandboxProcess server(options);
        ADD_FAILURE() << "started";
    } catch (const vcl::Exception& e) {
        EXPECT_NE(e.Message().find("/nonexistent/kestrel-sandbox"), std::string::npos) << e.Message();
    }
}
