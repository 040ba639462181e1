// Procedures defined as data: create procedure, exec from a batch and by RPC,
// output parameters, return status, messages from inside a procedure.
#include <gtest/gtest.h>

#include "CtClient.h"
#include "sandbox/testing/SandboxProcess.h"

using namespace sandbox::testing;

namespace {

class SandboxProcedures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Client.Connect(Server.Address()));
        ASSERT_FALSE(Client.Run("use kestrel_sample").Failed());
    }
    TSandboxProcess Server;
    CtClient Client;
};

std::optional<std::string> Cell(const CtResult* r, size_t col) {
    if (!r || r->rows.empty() || col >= r->rows[0].size()) return std::string("<missing>");
    return r->rows[0][col];
}

}  // namespace

TEST_F(SandboxProcedures, ExecReturnsRowsStatusAndOutputParameters) {
    const auto o = Client.Run("declare @c int, @t money exec sp_order_stats 2, @c output, @t output");
    EXPECT_EQ(o.sequence, (std::vector<CS_INT>{CS_ROW_RESULT, CS_CMD_DONE, CS_STATUS_RESULT, CS_PARAM_RESULT,
                                                CS_CMD_SUCCEED, CS_CMD_DONE, CS_END_RESULTS}));
    EXPECT_EQ(Cell(o.First(CS_ROW_RESULT), 0), "Blaise Pascal");
    EXPECT_EQ(Cell(o.First(CS_STATUS_RESULT), 0), "0");
    const CtResult* params = o.First(CS_PARAM_RESULT);
    ASSERT_NE(params, nullptr);
    ASSERT_EQ(params->columns.size(), 2u);
    EXPECT_EQ(params->columns[0].name, "@count");
    EXPECT_EQ(params->columns[0].datatype, CS_INT_TYPE);
    EXPECT_EQ(params->columns[1].datatype, CS_MONEY_TYPE);
    EXPECT_EQ(Cell(params, 0), "3");
    EXPECT_EQ(Cell(params, 1), "357.9900");
}

TEST_F(SandboxProcedures, RpcCallsWithNamedOutputParameters) {
    const auto o = Client.Rpc("sp_order_stats", {{"@customer_id", CS_INT_TYPE, 1, "", false},
                                                 {"@count", CS_INT_TYPE, 0, "", true},
                                                 {"@total", CS_INT_TYPE, 0, "", true}});
    EXPECT_FALSE(o.Failed());
    EXPECT_EQ(Cell(o.First(CS_STATUS_RESULT), 0), "0");
    const CtResult* params = o.First(CS_PARAM_RESULT);
    ASSERT_NE(params, nullptr);
    EXPECT_EQ(Cell(params, 0), "2");
    EXPECT_EQ(Cell(params, 1), "195.7500");
    const auto rows = Client.Rpc("sp_customer_orders", {{"", CS_INT_TYPE, 2, "", false}});
    ASSERT_NE(rows.First(CS_ROW_RESULT), nullptr);
    EXPECT_EQ(rows.First(CS_ROW_RESULT)->rows.size(), 3u);
    EXPECT_EQ(Cell(rows.First(CS_STATUS_RESULT), 0), "3");
    const auto missing = Client.Rpc("nosuch_proc", {});
    EXPECT_TRUE(missing.Failed());
    EXPECT_TRUE(missing.HasMessage(2812));
}

TEST_F(SandboxProcedures, CreatedProceduresAreStoredAndRun) {
    ASSERT_FALSE(Client.Run("create procedure p1 @a int, @b varchar(10) = 'dflt' output as\n"
                            "select @b = @b + '!'\n"
                            "print 'in p1'\n"
                            "select @a * 2 as doubled\n"
                            "return 7")
                     .Failed());
    const auto o = Client.Run("declare @r int, @s varchar(10) select @s = 'x' exec @r = p1 21, @s output select @r, @s");
    EXPECT_EQ(Cell(o.First(CS_ROW_RESULT), 0), "42");
    EXPECT_EQ(Cell(o.First(CS_STATUS_RESULT), 0), "7");
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0].text, "in p1");
    EXPECT_EQ(o.messages[0].proc, "p1");
    EXPECT_EQ(o.messages[0].line, 2);
    ASSERT_EQ(o.results.size(), 4u);  // rows, status, params, the final select
    EXPECT_EQ(o.results[3].rows[0][0], "7");
    EXPECT_EQ(o.results[3].rows[0][1], "x!");
    // Default used, named argument, and the errors a caller can make.
    EXPECT_EQ(Cell(Client.Run("exec p1 @a = 5").First(CS_ROW_RESULT), 0), "10");
    EXPECT_TRUE(Client.Run("exec p1").HasMessage(201));
    EXPECT_TRUE(Client.Run("exec p1 1, 'a', 3").HasMessage(8144));
    EXPECT_TRUE(Client.Run("exec p1 @zz = 1").HasMessage(8145));
    EXPECT_TRUE(Client.Run("create procedure p1 as select 1").HasMessage(2714));
    EXPECT_FALSE(Client.Run("drop procedure p1").Failed());
    EXPECT_TRUE(Client.Run("exec p1 1").HasMessage(2812));
}

TEST_F(SandboxProcedures, AnErrorInsideFailsTheProcedureAndNamesIt) {
    ASSERT_FALSE(Client.Run("create proc bad as\nselect 1\nraiserror 20002 'inside'\nselect 2").Failed());
    const auto o = Client.Run("exec bad");
    EXPECT_TRUE(o.Failed());
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0].number, 20002);
    EXPECT_EQ(o.messages[0].proc, "bad");
    EXPECT_EQ(o.messages[0].line, 2);
    EXPECT_EQ(o.results.size(), 3u);  // both selects ran, then the status
    EXPECT_EQ(Cell(o.First(CS_STATUS_RESULT), 0), "-6");
}

TEST_F(SandboxProcedures, ProceduresAreDataInTheDatabase) {
    const auto o = Client.Run("select name, params from sandbox_procedures where name = 'sp_order_stats'");
    ASSERT_NE(o.First(CS_ROW_RESULT), nullptr);
    EXPECT_EQ(Cell(o.First(CS_ROW_RESULT), 1), "@customer_id int, @count int output, @total money output");
    ASSERT_FALSE(Client.Run("insert into sandbox_procedures values ('plus1', '@x int', 'return @x + 1')").Failed());
    EXPECT_EQ(Cell(Client.Run("exec plus1 41").First(CS_STATUS_RESULT), 0), "42");
}

TEST_F(SandboxProcedures, NestingIsBounded) {
    ASSERT_FALSE(Client.Run("create proc forever as exec forever").Failed());
    EXPECT_TRUE(Client.Run("exec forever").HasMessage(217));
    EXPECT_EQ(Cell(Client.Run("select 1").First(CS_ROW_RESULT), 0), "1");
}
