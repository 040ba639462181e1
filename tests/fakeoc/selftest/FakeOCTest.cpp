// Drives the scripted Open Client through its exported C entry points, the way
// the binding's callers do, and checks what the control API reports.
#include "tests/fakeoc/Exports.h"
#include "tests/fakeoc/FakeOC.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

// Counts heap allocations, to show that serving generated rows allocates nothing per row.
namespace {
std::atomic<long> Allocations{0};
void* Allocate(std::size_t n) {
    ++Allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
} // namespace
void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

namespace B = Cstypes;
using Cspublic::CS_CLIENTMSG;
using Cspublic::CS_SERVERMSG;

char* Text(const char* s) { return const_cast<char*>(s); }

class FakeOCTest : public ::testing::Test {
protected:
    void SetUp() override { FakeOC::Reset(); }
    void TearDown() override { FakeOC::Reset(); }

    // Context, connection with inline diagnostics, logged in to SRV.
    void Login() {
        ASSERT_EQ(cs_ctx_alloc(B::CS_VERSION_100, &ctx), B::CS_SUCCEED);
        ASSERT_EQ(ct_init(ctx, B::CS_VERSION_100), B::CS_SUCCEED);
        ASSERT_EQ(ct_con_alloc(ctx, &con), B::CS_SUCCEED);
        ASSERT_EQ(ct_diag(con, B::CS_INIT, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
        ASSERT_EQ(ct_connect(con, Text("SRV"), B::CS_NULLTERM), B::CS_SUCCEED);
    }

    void Logout() {
        EXPECT_EQ(ct_close(con, B::CS_UNUSED), B::CS_SUCCEED);
        EXPECT_EQ(ct_con_drop(con), B::CS_SUCCEED);
        EXPECT_EQ(ct_exit(ctx, B::CS_FORCE_EXIT), B::CS_SUCCEED);
        EXPECT_EQ(cs_ctx_drop(ctx), B::CS_SUCCEED);
    }

    B::CS_COMMAND* Send(const char* sql) {
        B::CS_COMMAND* cmd = nullptr;
        EXPECT_EQ(ct_cmd_alloc(con, &cmd), B::CS_SUCCEED);
        EXPECT_EQ(ct_command(cmd, B::CS_LANG_CMD, Text(sql), static_cast<B::CS_INT>(std::strlen(sql)), B::CS_UNUSED),
                  B::CS_SUCCEED);
        EXPECT_EQ(ct_send(cmd), B::CS_SUCCEED);
        return cmd;
    }

    B::CS_INT NextResult(B::CS_COMMAND* cmd) {
        B::CS_INT type = -1;
        B::CS_RETCODE rc = ct_results(cmd, &type);
        return rc == B::CS_SUCCEED ? type : rc;
    }

    B::CS_CONTEXT* ctx = nullptr;
    B::CS_CONNECTION* con = nullptr;
};

TEST_F(FakeOCTest, BothLibraryNamesAreThisObjectWithEveryEntryPoint) {
    void* cs = dlopen("libsybcs64.so", RTLD_NOW);
    void* ct = dlopen("libsybct64.so", RTLD_NOW);
    ASSERT_NE(cs, nullptr) << dlerror();
    ASSERT_NE(ct, nullptr) << dlerror();
    EXPECT_EQ(cs, ct);
    EXPECT_EQ(dlsym(ct, "ct_fetch"), reinterpret_cast<void*>(&ct_fetch));
    for (const char* name : {"cs_calc", "cs_conv_mult", "cs_dt_crack", "ct_debug", "ct_setparam", "ct_ds_objinfo"})
        EXPECT_NE(dlsym(cs, name), nullptr) << name;
    dlclose(cs);
    dlclose(ct);
}

TEST_F(FakeOCTest, LoginIsLoggedWithArgumentsAndPropertiesAreKept) {
    Login();
    B::CS_INT on = 1, timeout = 5;
    EXPECT_EQ(ct_con_props(con, B::CS_SET, B::CS_DIAG_TIMEOUT, &on, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(ct_con_props(con, B::CS_SET, B::CS_USERNAME, Text("sa"), B::CS_NULLTERM, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(ct_config(ctx, B::CS_SET, B::CS_LOGIN_TIMEOUT, &timeout, B::CS_UNUSED, nullptr), B::CS_SUCCEED);

    EXPECT_EQ(FakeOC::ConPropText(B::CS_USERNAME), "sa");
    EXPECT_EQ(FakeOC::ConPropInt(B::CS_DIAG_TIMEOUT), 1);
    EXPECT_EQ(FakeOC::ConfigInt(B::CS_LOGIN_TIMEOUT), 5);
    EXPECT_EQ(FakeOC::ConnectedServer(), "SRV");
    char user[16] = "xxxxxxxxxxxxxx";
    B::CS_INT len = 0;
    EXPECT_EQ(ct_con_props(con, B::CS_GET, B::CS_USERNAME, user, sizeof user, &len), B::CS_SUCCEED);
    EXPECT_EQ(len, 2);
    EXPECT_STREQ(user, "sa");

    auto connect = FakeOC::Find("ct_connect");
    ASSERT_TRUE(connect);
    EXPECT_EQ(connect->Text(), "ct_connect(con#1, SRV, -9) = 1");
    EXPECT_EQ(FakeOC::Find("ct_con_props", 2)->Args,
              (std::vector<std::string>{"con#1", "34", "9100", "sa", "-9", "null"}));
    EXPECT_EQ(FakeOC::Find("ct_config")->Args,
              (std::vector<std::string>{"ctx#1", "34", "9116", "5", "-99999", "null"}));

    // Date order: default 1, scriptable, or left as the caller had it.
    B::CS_INT order = 0;
    EXPECT_EQ(ct_options(con, B::CS_GET, B::CS_OPT_DATEFORMAT, &order, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(order, 1);
    FakeOC::SetDateFormat(3);
    ct_options(con, B::CS_GET, B::CS_OPT_DATEFORMAT, &order, B::CS_UNUSED, nullptr);
    EXPECT_EQ(order, 3);
    FakeOC::LeaveDateFormatUntouched();
    order = 42;
    EXPECT_EQ(ct_options(con, B::CS_GET, B::CS_OPT_DATEFORMAT, &order, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(order, 42);

    Logout();
    EXPECT_EQ(FakeOC::CallNames().front(), "cs_ctx_alloc");
    EXPECT_EQ(FakeOC::CallNames().back(), "cs_ctx_drop");
    EXPECT_EQ(FakeOC::LiveHandles(), 0);
    EXPECT_TRUE(FakeOC::Misuses().empty()) << FakeOC::LogText();
}

TEST_F(FakeOCTest, ScriptedRowResultThroughDescribeBindFetch) {
    using FakeOC::Column;
    using FakeOC::Value;
    FakeOC::QueueResults(FakeOC::Select(
        {Column::Of("id", B::CS_INT_TYPE), Column::Of("name", B::CS_CHAR_TYPE, 4),
         Column::Of("at", B::CS_DATETIME_TYPE), Column::Numeric("amount", 5, 2)},
        {{Value::Int(7), Value::Char("abc"), Value::DateTime(1, 300), Value::NumericOf(5, 2, -12345)},
         {Value::Null(), Value::Char("abcdef"), Value::Null(), Value::Null()}}));
    Login();
    B::CS_COMMAND* cmd = Send("select * from t");
    ASSERT_EQ(NextResult(cmd), B::CS_ROW_RESULT);
    B::CS_INT cols = 0;
    ASSERT_EQ(ct_res_info(cmd, B::CS_NUMDATA, &cols, sizeof cols, nullptr), B::CS_SUCCEED);
    ASSERT_EQ(cols, 4);

    B::CS_DATAFMT fmt[4];
    std::memset(fmt, 0, sizeof fmt);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(ct_describe(cmd, i + 1, &fmt[i]), B::CS_SUCCEED);
    EXPECT_STREQ(fmt[1].name, "name");
    EXPECT_EQ(fmt[1].namelen, 4);
    EXPECT_EQ(fmt[1].datatype, B::CS_CHAR_TYPE);
    EXPECT_EQ(fmt[1].maxlength, 4);
    EXPECT_EQ(fmt[3].maxlength, 35);
    EXPECT_EQ(fmt[3].precision, 5);
    EXPECT_EQ(fmt[3].scale, 2);

    B::CS_INT id = 0, copied[4] = {};
    char name[4] = {};
    B::CS_DATETIME at{};
    B::CS_NUMERIC amount{};
    B::CS_SMALLINT ind[4] = {};
    void* buffers[4] = {&id, name, &at, &amount};
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(ct_bind(cmd, i + 1, &fmt[i], buffers[i], &copied[i], &ind[i]), B::CS_SUCCEED);
    EXPECT_EQ(FakeOC::Find("ct_bind", 2)->Args,
              (std::vector<std::string>{"cmd#1", "2", "0", "4", "0", "ptr", "ptr", "ptr"}));

    ASSERT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(id, 7);
    EXPECT_EQ(copied[0], 4);
    EXPECT_EQ(std::string(name, copied[1]), "abc");
    EXPECT_EQ(at.dtdays, 1);
    EXPECT_EQ(at.dttime, 300);
    EXPECT_EQ(copied[3], 35);
    EXPECT_EQ(amount.precision, 5);
    EXPECT_EQ(amount.array[0], 1); // negative
    EXPECT_EQ(amount.array[1], 0x00);
    EXPECT_EQ(amount.array[2], 0x30);
    EXPECT_EQ(amount.array[3], 0x39);
    EXPECT_EQ(ind[0], 0);

    // NULLs leave their buffers alone; a value too long is cut and reported.
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_ROW_FAIL);
    EXPECT_EQ(ind[0], -1);
    EXPECT_EQ(copied[0], 0);
    EXPECT_EQ(id, 7);
    EXPECT_EQ(std::string(name, copied[1]), "abcd");
    EXPECT_EQ(ind[1], 6);

    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_END_DATA);
    EXPECT_EQ(NextResult(cmd), B::CS_CMD_DONE);
    EXPECT_EQ(ct_res_info(cmd, B::CS_ROW_COUNT, &cols, sizeof cols, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(cols, 2);
    EXPECT_EQ(NextResult(cmd), B::CS_END_RESULTS);
    EXPECT_EQ(ct_cmd_drop(cmd), B::CS_SUCCEED);
    Logout();
    EXPECT_EQ(FakeOC::Find("ct_command")->Args,
              (std::vector<std::string>{"cmd#1", "148", "select * from t", "15", "-99999"}));
    EXPECT_EQ(FakeOC::LiveHandles(), 0);
    EXPECT_TRUE(FakeOC::Misuses().empty()) << FakeOC::LogText();
}

TEST_F(FakeOCTest, ResultKindsGetDataAndUnscriptedCommands) {
    using FakeOC::Column;
    using FakeOC::Result;
    using FakeOC::Value;
    FakeOC::QueueResults({Result::StatusResult(-6),
                          Result::ParamResult({Column::Of("@memo", B::CS_TEXT_TYPE, 100)}, {Value::Text("0123456789")}),
                          Result::CmdSucceed(), Result::CmdDone()});
    Login();
    B::CS_COMMAND* cmd = Send("exec p");
    ASSERT_EQ(NextResult(cmd), B::CS_STATUS_RESULT);
    B::CS_DATAFMT fmt{};
    fmt.datatype = B::CS_INT_TYPE; // a zeroed format, maxlength 0: fixed types ignore it
    B::CS_INT status = 0;
    ASSERT_EQ(ct_bind(cmd, 1, &fmt, &status, nullptr, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_END_DATA);
    EXPECT_EQ(status, -6);

    ASSERT_EQ(NextResult(cmd), B::CS_PARAM_RESULT);
    ASSERT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    char piece[4];
    B::CS_INT got = 0;
    std::string memo;
    B::CS_RETCODE rc;
    while ((rc = ct_get_data(cmd, 1, piece, sizeof piece, &got)) == B::CS_SUCCEED) memo.append(piece, got);
    memo.append(piece, got);
    EXPECT_EQ(rc, B::CS_END_DATA); // the last column's last piece
    EXPECT_EQ(memo, "0123456789");
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_END_DATA);
    EXPECT_EQ(NextResult(cmd), B::CS_CMD_SUCCEED);
    EXPECT_EQ(NextResult(cmd), B::CS_CMD_DONE);
    EXPECT_EQ(NextResult(cmd), B::CS_END_RESULTS);

    // Nothing queued: a command that only succeeds.
    ASSERT_EQ(ct_command(cmd, B::CS_LANG_CMD, Text("use db"), 6, B::CS_UNUSED), B::CS_SUCCEED);
    ASSERT_EQ(ct_send(cmd), B::CS_SUCCEED);
    EXPECT_EQ(NextResult(cmd), B::CS_CMD_SUCCEED);
    EXPECT_EQ(NextResult(cmd), B::CS_CMD_DONE);
    EXPECT_EQ(NextResult(cmd), B::CS_END_RESULTS);
    ct_cmd_drop(cmd);
    Logout();
    EXPECT_TRUE(FakeOC::Misuses().empty()) << FakeOC::LogText();
}

TEST_F(FakeOCTest, DataInfoDescribesTheColumnLastReadWithGetData) {
    using FakeOC::Column;
    using FakeOC::Value;
    FakeOC::QueueResults(FakeOC::Select({Column::Of("t", B::CS_TEXT_TYPE, 100), Column::Of("img", B::CS_IMAGE_TYPE, 100)},
                                        {{Value::Text("abc"), Value::Null()}, {Value::Text(""), Value::Image("xy")}}));
    Login();
    B::CS_COMMAND* cmd = Send("select t, img from x");
    ASSERT_EQ(NextResult(cmd), B::CS_ROW_RESULT);
    char buf[8];
    B::CS_INT got = 0;
    auto describe = [&](B::CS_INT column) {
        B::CS_IODESC desc;
        std::memset(&desc, 0x5A, sizeof desc); // what the caller leaves must not show through
        EXPECT_EQ(ct_data_info(cmd, B::CS_GET, column, &desc), B::CS_SUCCEED);
        return desc;
    };
    const struct {
        B::CS_INT Column;
        B::CS_INT DataType;
        B::CS_INT Total;
        const char* Name;
    } expected[2][2] = {{{1, B::CS_TEXT_TYPE, 3, ".t"}, {2, B::CS_IMAGE_TYPE, -1, ".img"}},
                        {{1, B::CS_TEXT_TYPE, 0, ".t"}, {2, B::CS_IMAGE_TYPE, 2, ".img"}}};
    for (const auto& row : expected) {
        ASSERT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
        for (const auto& e : row) {
            // Partly read: the total is still the whole value's.
            ct_get_data(cmd, e.Column, buf, 1, &got);
            const B::CS_IODESC desc = describe(e.Column);
            EXPECT_EQ(desc.total_txtlen, e.Total) << e.Column;
            EXPECT_EQ(desc.datatype, e.DataType);
            EXPECT_EQ(desc.iotype, B::CS_IODATA);
            EXPECT_EQ(std::string(desc.name, static_cast<size_t>(desc.namelen)), e.Name);
            EXPECT_EQ(desc.textptrlen, 0);
        }
    }
    EXPECT_TRUE(FakeOC::Misuses().empty()) << FakeOC::LogText();

    // Only the column just read has a descriptor, and only until the next fetch.
    B::CS_IODESC desc{};
    EXPECT_EQ(ct_data_info(cmd, B::CS_GET, 1, &desc), B::CS_FAIL);
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_END_DATA);
    EXPECT_EQ(ct_data_info(cmd, B::CS_GET, 2, &desc), B::CS_FAIL);
    const auto misuses = FakeOC::Misuses();
    ASSERT_EQ(misuses.size(), 2u) << FakeOC::LogText();
    EXPECT_EQ(misuses[0], "ct_data_info: column 1 was not read with ct_get_data");
    EXPECT_EQ(misuses[1], "ct_data_info: no fetched row on cmd#1");
    EXPECT_EQ(ct_cancel(nullptr, cmd, B::CS_CANCEL_ALL), B::CS_SUCCEED);
    EXPECT_EQ(ct_cmd_drop(cmd), B::CS_SUCCEED);
    Logout();
}

TEST_F(FakeOCTest, ReturnCodesByOccurrence) {
    struct Case {
        const char* call;
        int occurrence;
        B::CS_RETCODE code;
        std::vector<B::CS_RETCODE> expected; // of three ct_con_props calls or three connects
    };
    for (const Case& k : {Case{"ct_con_props", 2, B::CS_FAIL, {1, 0, 1}},
                          Case{"ct_con_props", 0, B::CS_FAIL, {0, 0, 0}},
                          Case{"ct_con_props", 3, B::CS_PENDING, {1, 1, -2}}}) {
        FakeOC::Reset();
        FakeOC::FailCall(k.call, k.occurrence, k.code);
        Login();
        std::vector<B::CS_RETCODE> got;
        for (int i = 0; i < 3; ++i)
            got.push_back(ct_con_props(con, B::CS_SET, B::CS_APPNAME, Text("app"), B::CS_NULLTERM, nullptr));
        EXPECT_EQ(got, k.expected) << k.call << " occurrence " << k.occurrence;
        EXPECT_EQ(FakeOC::Count(k.call), 3);
    }

    // A scripted failure has no effect: a failed connect leaves the connection
    // closed, ct_fetch keeps its row; a scripted CS_END_DATA ends the rows.
    FakeOC::Reset();
    FakeOC::FailCall("ct_connect", 1);
    FakeOC::FailCall("ct_fetch", 1, B::CS_ROW_FAIL);
    FakeOC::FailCall("ct_fetch", 3, B::CS_END_DATA);
    FakeOC::QueueResults(FakeOC::Select({FakeOC::Column::Of("n", B::CS_INT_TYPE)},
                                        {{FakeOC::Value::Int(1)}, {FakeOC::Value::Int(2)}}));
    ASSERT_EQ(cs_ctx_alloc(B::CS_VERSION_100, &ctx), B::CS_SUCCEED);
    ct_init(ctx, B::CS_VERSION_100);
    ASSERT_EQ(ct_con_alloc(ctx, &con), B::CS_SUCCEED);
    EXPECT_EQ(ct_connect(con, Text("SRV"), B::CS_NULLTERM), B::CS_FAIL);
    EXPECT_FALSE(FakeOC::ConnectionOpen());
    EXPECT_EQ(ct_connect(con, Text("SRV"), B::CS_NULLTERM), B::CS_SUCCEED);
    B::CS_COMMAND* cmd = Send("select 1");
    ASSERT_EQ(NextResult(cmd), B::CS_ROW_RESULT);
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_ROW_FAIL);
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    EXPECT_EQ(ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr), B::CS_END_DATA);
    EXPECT_EQ(NextResult(cmd), B::CS_CMD_DONE);
    EXPECT_EQ(NextResult(cmd), B::CS_END_RESULTS);
    EXPECT_EQ(ct_cmd_drop(cmd), B::CS_SUCCEED);
    Logout();
    EXPECT_TRUE(FakeOC::Misuses().empty()) << FakeOC::LogText();

    EXPECT_THROW(FakeOC::FailCall("ct_frobnicate"), std::invalid_argument);
}

TEST_F(FakeOCTest, MessagesServedThroughCtDiag) {
    FakeOC::ServerMessage error;
    error.MsgNumber = 208;
    error.Severity = 16;
    error.State = 1;
    error.Text = std::string(2000, 'x'); // longer than the record's field
    error.Server = "SRV";
    FakeOC::ClientMessage broken;
    broken.Severity = 9;
    broken.MsgNumber = 20009;
    broken.Text = "Unable to connect";
    // Queued at the first ct_init, before any connection exists: it waits for the next one.
    FakeOC::QueueServerMessage("ct_init", 1, error);
    FakeOC::QueueClientMessage("ct_connect", 1, broken);
    Login();

    B::CS_INT n = -1;
    ASSERT_EQ(ct_diag(con, B::CS_STATUS, B::CS_SERVERMSG_TYPE, B::CS_UNUSED, &n), B::CS_SUCCEED);
    EXPECT_EQ(n, 1);
    ct_diag(con, B::CS_STATUS, B::CS_CLIENTMSG_TYPE, B::CS_UNUSED, &n);
    EXPECT_EQ(n, 1);
    ct_diag(con, B::CS_STATUS, B::CS_ALLMSG_TYPE, B::CS_UNUSED, &n);
    EXPECT_EQ(n, 2);

    CS_SERVERMSG s{};
    ASSERT_EQ(ct_diag(con, B::CS_GET, B::CS_SERVERMSG_TYPE, 1, &s), B::CS_SUCCEED);
    EXPECT_EQ(s.msgnumber, 208);
    EXPECT_EQ(s.severity, 16);
    EXPECT_EQ(s.textlen, B::CS_MAX_MSG - 1);
    EXPECT_EQ(s.text[B::CS_MAX_MSG - 1], '\0');
    EXPECT_STREQ(s.svrname, "SRV");
    CS_CLIENTMSG m{};
    ASSERT_EQ(ct_diag(con, B::CS_GET, B::CS_CLIENTMSG_TYPE, 1, &m), B::CS_SUCCEED);
    EXPECT_EQ(m.severity, 9);
    EXPECT_EQ(std::string(m.msgstring, m.msgstringlen), "Unable to connect");
    EXPECT_EQ(ct_diag(con, B::CS_GET, B::CS_CLIENTMSG_TYPE, 2, &m), B::CS_NOMSG);

    EXPECT_EQ(ct_diag(con, B::CS_CLEAR, B::CS_ALLMSG_TYPE, B::CS_UNUSED, nullptr), B::CS_SUCCEED);
    ct_diag(con, B::CS_STATUS, B::CS_ALLMSG_TYPE, B::CS_UNUSED, &n);
    EXPECT_EQ(n, 0);
    Logout();
    EXPECT_TRUE(FakeOC::Misuses().empty()) << FakeOC::LogText();
}

TEST_F(FakeOCTest, DatesCrackLikeOpenClient) {
    struct Case {
        B::CS_INT days, ticks;
        FakeOC::DateParts want;
    };
    for (const Case& k : {
             Case{0, 0, {1900, 0, 1, 1, 1, 0, 0, 0, 0, 0}},
             Case{-53690, 10 * 3600 * 300 + 299, {1753, 0, 1, 1, 1, 10, 0, 0, 997, 0}},
             Case{2958463, 25919999, {9999, 11, 31, 365, 5, 23, 59, 59, 997, 0}},
             Case{36583, 300 * 45296 + 1, {2000, 1, 29, 60, 2, 12, 34, 56, 3, 0}},
         }) {
        B::CS_DATETIME v{k.days, k.ticks};
        B::CS_DATEREC rec{};
        FakeOC::Reset();
        ASSERT_EQ(cs_ctx_alloc(B::CS_VERSION_100, &ctx), B::CS_SUCCEED);
        ASSERT_EQ(cs_dt_crack(ctx, B::CS_DATETIME_TYPE, &v, &rec), B::CS_SUCCEED);
        FakeOC::DateParts got{rec.dateyear, rec.datemonth, rec.datedmonth, rec.datedyear, rec.datedweek,
                              rec.datehour, rec.dateminute, rec.datesecond, rec.datemsecond, rec.datetzone};
        EXPECT_EQ(got, k.want) << "days " << k.days << " ticks " << k.ticks;
    }
    B::CS_DATETIME4 small{65535, 61};
    B::CS_DATEREC rec{};
    ASSERT_EQ(cs_dt_crack(ctx, B::CS_DATETIME4_TYPE, &small, &rec), B::CS_SUCCEED);
    EXPECT_EQ(rec.dateyear, 2079);
    EXPECT_EQ(rec.datemonth, 5);
    EXPECT_EQ(rec.datedmonth, 6);
    EXPECT_EQ(rec.datehour, 1);
    EXPECT_EQ(rec.dateminute, 1);

    // Scripted (occurrences count since Reset): the next call fills chosen parts, the one after fails.
    int next = FakeOC::Count("cs_dt_crack") + 1;
    FakeOC::DateParts parts;
    parts.Year = 1999;
    FakeOC::ScriptDateCrack(next, parts);
    FakeOC::FailCall("cs_dt_crack", next + 1);
    B::CS_DATETIME v{0, 0};
    EXPECT_EQ(cs_dt_crack(ctx, B::CS_DATETIME_TYPE, &v, &rec), B::CS_SUCCEED);
    EXPECT_EQ(rec.dateyear, 1999);
    EXPECT_EQ(cs_dt_crack(ctx, B::CS_DATETIME_TYPE, &v, &rec), B::CS_FAIL);
    EXPECT_EQ(cs_dt_crack(ctx, B::CS_INT_TYPE, &v, &rec), B::CS_FAIL);
    EXPECT_EQ(cs_ctx_drop(ctx), B::CS_SUCCEED);
}

TEST_F(FakeOCTest, MisusesAreRecordedNotCrashed) {
    Login();
    B::CS_COMMAND* cmd = Send("select 1");
    // Dropping with results pending is refused; so is dropping an open connection.
    EXPECT_EQ(ct_cmd_drop(cmd), B::CS_FAIL);
    EXPECT_EQ(ct_con_drop(con), B::CS_FAIL);
    EXPECT_EQ(ct_close(con, B::CS_UNUSED), B::CS_FAIL); // results pending
    EXPECT_EQ(ct_close(con, B::CS_FORCE_CLOSE), B::CS_SUCCEED);
    EXPECT_EQ(ct_con_drop(con), B::CS_SUCCEED);
    // The command outlives its connection: nothing may reach the released
    // connection through it, but dropping it is fine.
    EXPECT_EQ(ct_cancel(nullptr, cmd, B::CS_CANCEL_ALL), B::CS_FAIL);
    EXPECT_EQ(ct_diag(con, B::CS_CLEAR, B::CS_ALLMSG_TYPE, B::CS_UNUSED, nullptr), B::CS_FAIL);
    int foreign = 0;
    EXPECT_EQ(ct_close(reinterpret_cast<B::CS_CONNECTION*>(&foreign), B::CS_UNUSED), B::CS_FAIL);
    EXPECT_EQ(FakeOC::LiveHandles(), 2); // the context and the command
    EXPECT_EQ(ct_cmd_drop(cmd), B::CS_SUCCEED);

    auto misuses = FakeOC::Misuses();
    ASSERT_EQ(misuses.size(), 5u) << FakeOC::LogText();
    EXPECT_EQ(misuses[0], "ct_cmd_drop: cmd#1 dropped with results pending (ct_cancel first)");
    EXPECT_EQ(misuses[1], "ct_con_drop: con#1 dropped while open (ct_close first)");
    EXPECT_EQ(misuses[2], "ct_cancel: cmd#1 belongs to dropped con#1");
    EXPECT_EQ(misuses[3], "ct_diag: dropped con#1");
    EXPECT_EQ(misuses[4], "ct_close: foreign connection handle");
    EXPECT_EQ(FakeOC::Find("ct_close", 3)->Args[0], "foreign");

    EXPECT_EQ(ct_exit(ctx, B::CS_FORCE_EXIT), B::CS_SUCCEED);
    EXPECT_EQ(cs_ctx_drop(ctx), B::CS_SUCCEED);
    EXPECT_EQ(FakeOC::LiveHandles(), 0);
}

TEST_F(FakeOCTest, GeneratedRowsWithLoggingOff) {
    using FakeOC::Column;
    constexpr int64_t Rows = 1000;
    FakeOC::QueueResults({FakeOC::Result::GeneratedRowResult(
                              {Column::Of("n", B::CS_INT_TYPE), Column::Of("s", B::CS_CHAR_TYPE, 8)}, Rows,
                              [](int64_t row, FakeOC::RowWriter& out) {
                                  out.SetInt(1, static_cast<int32_t>(row * 2));
                                  char text[8];
                                  int n = std::snprintf(text, sizeof text, "r%d", static_cast<int>(row));
                                  if (row % 10) out.SetBytes(2, text, static_cast<std::size_t>(n));
                              }),
                          FakeOC::Result::CmdDone()});
    Login();
    FakeOC::SetLogging("ct_fetch", false);
    B::CS_COMMAND* cmd = Send("select n, s from big");
    ASSERT_EQ(NextResult(cmd), B::CS_ROW_RESULT);
    B::CS_DATAFMT fmt[2]{};
    B::CS_INT n = 0, len = 0;
    char s[8];
    B::CS_SMALLINT ind = 0;
    ct_describe(cmd, 1, &fmt[0]);
    ct_describe(cmd, 2, &fmt[1]);
    ct_bind(cmd, 1, &fmt[0], &n, nullptr, nullptr);
    ct_bind(cmd, 2, &fmt[1], s, &len, &ind);
    int64_t rows = 0, sum = 0, nulls = 0;
    long allocationsAfterFirstRow = 0;
    while (ct_fetch(cmd, B::CS_UNUSED, B::CS_UNUSED, B::CS_UNUSED, nullptr) == B::CS_SUCCEED) {
        if (++rows == 1) allocationsAfterFirstRow = Allocations;
        sum += n;
        if (ind == -1) {
            ++nulls;
        } else if (rows == 2) {
            EXPECT_EQ(std::string(s, len), "r1");
        }
    }
    EXPECT_EQ(Allocations - allocationsAfterFirstRow, 0);
    EXPECT_EQ(rows, Rows);
    EXPECT_EQ(sum, Rows * (Rows - 1));
    EXPECT_EQ(nulls, Rows / 10);
    EXPECT_EQ(FakeOC::Count("ct_fetch"), Rows + 1);
    EXPECT_TRUE(FakeOC::Calls("ct_fetch").empty());
    EXPECT_EQ(NextResult(cmd), B::CS_CMD_DONE);
    EXPECT_EQ(NextResult(cmd), B::CS_END_RESULTS);
    ct_cmd_drop(cmd);
    Logout();
    EXPECT_TRUE(FakeOC::Misuses().empty()) << FakeOC::LogText();
}

} // namespace
