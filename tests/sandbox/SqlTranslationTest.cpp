// The Transact-SQL layer of the sandbox: batch splitting, translation to
// SQLite, date strings in each date order, declared types.
#include <gtest/gtest.h>

#include "sandbox/sql/DateTime.h"
#include "sandbox/sql/Splitter.h"
#include "sandbox/sql/SqlError.h"
#include "sandbox/sql/Translate.h"
#include "sandbox/sql/Types.h"

using namespace sandbox::sql;

namespace {

std::vector<std::string> Split(const std::string& batch) {
    std::vector<std::string> out;
    for (const Statement& s : SplitBatch(batch)) out.push_back(batch.substr(s.begin, s.end - s.begin));
    return out;
}

std::string Tr(const std::string& stmt, DateOrder order = DateOrder::MDY) {
    TranslateContext ctx;
    ctx.dateOrder = order;
    ctx.global = [](const std::string& name) -> std::string {
        if (name == "@@spid") return "7";
        throw sandbox::SqlError(137, 15, 2, "Must declare variable '" + name + "'.");
    };
    const auto stmts = SplitBatch(stmt);
    EXPECT_EQ(stmts.size(), 1u) << stmt;
    return stmts.empty() ? "" : Translate(stmts[0].tokens, ctx);
}

}  // namespace

TEST(SandboxSplitter, CutsBatchesAsTransactSqlClientsSendThem) {
    struct Case {
        std::string batch;
        std::vector<std::string> statements;
    } cases[] = {
        // FreeTDS's post-login batch: no separators at all.
        {"set textsize 64512 select @@spid use [mydb]", {"set textsize 64512", "select @@spid", "use [mydb]"}},
        {"select @@spid ", {"select @@spid"}},
        {"select 1; select 2;", {"select 1", "select 2"}},
        {"insert into t select a from u select 2", {"insert into t select a from u", "select 2"}},
        {"insert into t values (1) select 2", {"insert into t values (1)", "select 2"}},
        {"select a from t union all select b from u", {"select a from t union all select b from u"}},
        {"select * from t where a in (select a from u) print 'x'",
         {"select * from t where a in (select a from u)", "print 'x'"}},
        {"update t set a = 1 where b = 2 set nocount on", {"update t set a = 1 where b = 2", "set nocount on"}},
        {"create table c (p int references p(id) on delete cascade on update set null) select 1",
         {"create table c (p int references p(id) on delete cascade on update set null)", "select 1"}},
        {"with x as (select 1 as a) select a from x", {"with x as (select 1 as a) select a from x"}},
        {"create view v as select 1 as a drop view v", {"create view v as select 1 as a", "drop view v"}},
        {"alter table t drop column c", {"alter table t drop column c"}},
        {"declare @x int select @x = 1 exec p @x output", {"declare @x int", "select @x = 1", "exec p @x output"}},
        {"begin tran insert into t values (1) commit tran", {"begin tran", "insert into t values (1)", "commit tran"}},
        {"select 'select' from t -- select\nselect \"a;b\"", {"select 'select' from t", "select \"a;b\""}},
        {"select 1 create procedure p as select 1 select 2", {"select 1", "create procedure p as select 1 select 2"}},
        {"  ;  ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Split(c.batch), c.statements) << c.batch;
}

TEST(SandboxSplitter, UnclosedQuotesAndCommentsStopTheBatch) {
    for (const char* bad : {"select 'abc", "select \"abc", "select 1 /* never closed", "select [abc"}) {
        try {
            SplitBatch(bad);
            ADD_FAILURE() << bad;
        } catch (const sandbox::SqlError& e) {
            EXPECT_TRUE(e.AbortsBatch) << bad;
            EXPECT_TRUE(e.Number == 105 || e.Number == 113) << bad;
        }
    }
}

TEST(SandboxTranslate, RewritesTransactSqlFormsForSqlite) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"select \"it's\"", "select 'it''s'"},
        {"select 0x0aFF, 0x1", "select X'0aFF', X'01'"},
        {"select @@spid", "select 7"},
        {"select * from dbo.orders", "select * from orders"},
        {"select 'a' + name + \"b\" from t", "select 'a' || name || 'b' from t"},
        {"select 1 + 2", "select 1 + 2"},
        {"select top 5 n from t order by n", "select n from t order by n LIMIT 5"},
        {"select distinct top 2 n from t", "select distinct n from t LIMIT 2"},
        {"select convert(varchar(10), n) from t", "select CAST(n AS varchar(10)) from t"},
        {"select convert(datetime, d, 103) from t", "select (d) from t"},
        {"select cast(d as smalldatetime) from t", "select (d) from t"},
        {"select cast(n as int) from t", "select cast(n as int) from t"},
        {"select @x, :y from t where a != 1", "select @x, :y from t where a != 1"},
        {"insert into t values ('04/15/1990')", "insert into t values ('1990-04-15 00:00:00.000')"},
        // The optional words of insert and delete.
        {"insert t (a) values (1)", "insert into t (a) values (1)"},
        {"insert dbo.t select a from u", "insert into t select a from u"},
        {"insert into t values (1)", "insert into t values (1)"},
        {"delete t where a = 1", "delete from t where a = 1"},
        {"delete from t", "delete from t"},
        // A plain string keeps its value, also when it only looks a bit like a date.
        {"select '1.5.10', 'hello', '12/31'", "select '1.5.10', 'hello', '12/31'"},
    };
    for (const Case& c : cases) EXPECT_EQ(Tr(c.in), c.out) << c.in;
}

TEST(SandboxTranslate, UnknownGlobalIsAnUndeclaredVariable) {
    try {
        Tr("select @@nosuch");
        ADD_FAILURE();
    } catch (const sandbox::SqlError& e) {
        EXPECT_EQ(e.Number, 137);
        EXPECT_EQ(e.Text, "Must declare variable '@@nosuch'.");
    }
}

TEST(SandboxDates, NumericDatesFollowTheSessionDateOrder) {
    struct Case {
        const char* text;
        DateOrder order;
        const char* stored;  // nullptr: not a date
    } cases[] = {
        {"04/15/1990", DateOrder::MDY, "1990-04-15 00:00:00.000"},
        {"15/04/1990", DateOrder::DMY, "1990-04-15 00:00:00.000"},
        {"15.04.90", DateOrder::DMY, "1990-04-15 00:00:00.000"},
        {"90/15/04", DateOrder::YDM, "1990-04-15 00:00:00.000"},
        {"1990/15/04", DateOrder::YDM, nullptr},  // a four-digit first part is always y-m-d
        {"04-1990-15", DateOrder::MYD, "1990-04-15 00:00:00.000"},
        {"15/1990/04", DateOrder::DYM, "1990-04-15 00:00:00.000"},
        {"90/04/15", DateOrder::YMD, "1990-04-15 00:00:00.000"},
        {"04/15/49", DateOrder::MDY, "2049-04-15 00:00:00.000"},
        // Four-digit first part, unseparated digits and month names ignore the order.
        {"1990-04-15 10:30:15.5", DateOrder::DMY, "1990-04-15 10:30:15.500"},
        {"19900415", DateOrder::DMY, "1990-04-15 00:00:00.000"},
        {"Apr 15 1990 10:30PM", DateOrder::DMY, "1990-04-15 22:30:00.000"},
        {"15 April 1990", DateOrder::MDY, "1990-04-15 00:00:00.000"},
        {"1990-04-15T23:59:59.997", DateOrder::MDY, "1990-04-15 23:59:59.997"},
        // After a colon the digits are milliseconds, however many there are.
        {"01.03.2001 14:05:09:7", DateOrder::MDY, "2001-01-03 14:05:09.007"},
        {"01.03.2001 14:05:09:70", DateOrder::MDY, "2001-01-03 14:05:09.070"},
        {"01.03.2001 14:05:09:997", DateOrder::MDY, "2001-01-03 14:05:09.997"},
        {"14:05:09.7", DateOrder::MDY, "1900-01-01 14:05:09.700"},
        {"14:05:09:1000", DateOrder::MDY, nullptr},
        {"12:00AM", DateOrder::MDY, "1900-01-01 00:00:00.000"},
        {"15/04/1990", DateOrder::MDY, nullptr},  // month 15
        {"02/30/2000", DateOrder::MDY, nullptr},
        {"1752-12-31", DateOrder::MDY, nullptr},  // before datetime's range
        {"hello", DateOrder::MDY, nullptr},
        {"12", DateOrder::MDY, nullptr},
        {"25:00", DateOrder::MDY, nullptr},
    };
    for (const Case& c : cases) {
        const auto p = ParseDateTime(c.text, c.order);
        if (!c.stored) {
            EXPECT_FALSE(p.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(p.has_value()) << c.text;
        EXPECT_EQ(FormatCanonical(p->parts), c.stored) << c.text;
    }
}

TEST(SandboxDates, WireFormsMatchAse) {
    auto wire = [](const char* text) { return ToWireDateTime(ParseDateTime(text, DateOrder::MDY)->parts); };
    EXPECT_EQ(wire("1900-01-01").days, 0);
    EXPECT_EQ(wire("1753-01-01").days, -53690);
    EXPECT_EQ(wire("9999-12-31").days, 2958463);
    EXPECT_EQ(wire("9999-12-31 23:59:59.997").ticks, 25919999u);
    EXPECT_EQ(wire("1900-01-01 00:00:01").ticks, 300u);
    const auto back = PartsFromDays(-53690, 10 * 3600 * 300 + 299);
    EXPECT_EQ(FormatCanonical(back), "1753-01-01 10:00:00.997");
    const auto small = ToWireSmallDateTime(ParseDateTime("2079-06-06 23:59", DateOrder::MDY)->parts);
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->first, 65535);
    EXPECT_EQ(small->second, 1439);
    EXPECT_FALSE(ToWireSmallDateTime(ParseDateTime("1899-12-31", DateOrder::MDY)->parts).has_value());
}

TEST(SandboxTypes, DeclaredTypesMapToAseTypes) {
    struct Case {
        const char* decl;
        Kind kind;
        uint32_t length;
        int precision, scale;
    } cases[] = {
        {"char(10)", Kind::Char, 10, 0, 0},         {"CHAR", Kind::Char, 1, 0, 0},
        {"varchar(40)", Kind::VarChar, 40, 0, 0},   {"varchar", Kind::VarChar, 255, 0, 0},
        {"VARCHAR ( 300 )", Kind::VarChar, 300, 0, 0}, {"binary(4)", Kind::Binary, 4, 0, 0},
        {"varbinary(16)", Kind::VarBinary, 16, 0, 0}, {"text", Kind::Text, 0, 0, 0},
        {"image", Kind::Image, 0, 0, 0},            {"tinyint", Kind::TinyInt, 0, 0, 0},
        {"smallint", Kind::SmallInt, 0, 0, 0},      {"int", Kind::Int, 0, 0, 0},
        {"INTEGER", Kind::Int, 0, 0, 0},            {"bigint", Kind::BigInt, 0, 0, 0},
        {"real", Kind::Real, 0, 0, 0},              {"float", Kind::Float, 0, 0, 0},
        {"float(8)", Kind::Real, 0, 0, 0},          {"double precision", Kind::Float, 0, 0, 0},
        {"bit", Kind::Bit, 0, 0, 0},                {"datetime", Kind::DateTime, 0, 0, 0},
        {"smalldatetime", Kind::SmallDateTime, 0, 0, 0}, {"money", Kind::Money, 0, 0, 0},
        {"smallmoney", Kind::SmallMoney, 0, 0, 0},  {"numeric(10,2)", Kind::Numeric, 0, 10, 2},
        {"numeric", Kind::Numeric, 0, 18, 0},       {"decimal(38, 38)", Kind::Decimal, 0, 38, 38},
    };
    for (const Case& c : cases) {
        const auto t = TypeFromDeclared(c.decl);
        ASSERT_TRUE(t.has_value()) << c.decl;
        EXPECT_EQ(t->kind, c.kind) << c.decl;
        EXPECT_EQ(t->length, c.length) << c.decl;
        EXPECT_EQ(t->precision, c.precision) << c.decl;
        EXPECT_EQ(t->scale, c.scale) << c.decl;
    }
    for (const char* unknown : {"", "geometry", "numeric(39)", "numeric(5,6)", "varchar(x)", "json"})
        EXPECT_FALSE(TypeFromDeclared(unknown).has_value()) << unknown;
}
