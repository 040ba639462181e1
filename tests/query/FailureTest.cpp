// Failures of an execution: each refused client-library step with its text,
// the clean-up after it (cancel, then drop; ActiveQuery, lock and cursor
// back), the diagnostics the failed step queued, and a connection that the
// library gives up on in the middle of the walk.
#include <map>

#include "Fixture.h"

namespace QueryTests {
namespace {

class FailureTest : public QueryTest {
protected:
    // Rows for the query, a status, output parameters and a second row result
    // that a temporary query reads: every kind of read in one execution.
    static FakeOC::Batch FullBatch() {
        FakeOC::Batch b;
        b.push_back(FakeOC::Result::RowResult({Column::Of("id", CS_INT_TYPE), Column::Of("name", CS_CHAR_TYPE, 8)},
                                              {{Value::Int(1), Value::Char("one")}, {Value::Int(2), Value::Char("two")}}));
        b.push_back(FakeOC::Result::CmdDone(2));
        b.push_back(FakeOC::Result::StatusResult(3));
        b.push_back(FakeOC::Result::ParamResult({Column::Of("@out", CS_INT_TYPE)}, {Value::Int(9)}));
        b.push_back(FakeOC::Result::RowResult({Column::Of("x", CS_INT_TYPE)}, {{Value::Int(5)}}));
        b.push_back(FakeOC::Result::CmdDone(1));
        return b;
    }
    std::string OpenError(TSybQuery* q) {
        try {
            q->Open();
        } catch (const vcl::Exception& e) {
            return e.Message();
        }
        return "";
    }
};

TEST_F(FailureTest, EveryRefusedStepOfOneExecutionRaisesItsTextAndLeavesNothingBehind) {
    Conn->Connect();
    // A clean run tells which calls the execution makes, and how often.
    TSybQuery* probe = NewQuery("exec p");
    FakeOC::QueueResults(FullBatch());
    const std::vector<std::string> names = {"ct_cmd_alloc", "ct_command", "ct_send", "ct_results", "ct_res_info",
                                            "ct_describe",  "ct_bind",    "ct_fetch", "ct_diag"};
    std::map<std::string, int> perRun;
    for (const auto& name : names) perRun[name] = FakeOC::Count(name);
    probe->Open();
    ASSERT_EQ(probe->RecordCount(), 2);
    probe->Close();
    for (const auto& name : names) perRun[name] = FakeOC::Count(name) - perRun[name];

    const std::map<std::string, std::string> expected = {
        {"ct_cmd_alloc", "ct_cmd_alloc failed"}, {"ct_command", "ct_command failed"},
        {"ct_send", "ct_send failed"},           {"ct_results", "Result pending operation failed"},
        {"ct_res_info", "ct_res_info failed"},   {"ct_describe", "ct_describe failed"},
        {"ct_bind", "ct_bind failed"},           {"ct_fetch", "Result fetching failed"},
        {"ct_diag", "Message handling failed"}};
    int runs = 0;
    for (const auto& name : names) {
        for (int k = 1; k <= perRun[name]; ++k) {
            const std::string context = name + " #" + std::to_string(k);
            TSybQuery* q = NewQuery("exec p");
            FakeOC::QueueResults(FullBatch());
            const int failing = FakeOC::Count(name) + k;
            FakeOC::FailCall(name, failing);
            const int cancels = FakeOC::Count("ct_cancel");
            const std::string error = OpenError(q);
            // Clearing the queue is the one call whose result is not examined.
            const auto call = FakeOC::Find(name, failing);
            ASSERT_TRUE(call) << context;
            if (name == "ct_diag" && call->Args[1] == std::to_string(CS_CLEAR)) {
                EXPECT_EQ(error, "") << context;
                EXPECT_TRUE(q->Active()) << context;
                q->Close();
            } else {
                EXPECT_EQ(error, expected.at(name)) << context;
                EXPECT_FALSE(q->Active()) << context;
                // A command that exists was cancelled before it was dropped.
                if (name != "ct_cmd_alloc") {
                    EXPECT_GE(FakeOC::Count("ct_cancel"), cancels + 1) << context;
                }
            }
            EXPECT_EQ(q->GetResultSetQueryCount(), 0) << context;
            ExpectRestored(context);
            ++runs;
        }
    }
    EXPECT_GT(runs, 15);
    EXPECT_TRUE(FakeOC::Misuses().empty()) << Join(FakeOC::Misuses());
}

TEST_F(FailureTest, AFailureWhileAResultSetQueryReadsIsCancelledByItAndAgainByTheMaster) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select a; select b");
    FakeOC::Batch b = IdRows({1});
    FakeOC::Result second = IdResult({1, 2, 3});
    second.FetchCodes[2] = CS_FAIL;
    b.push_back(second);
    FakeOC::QueueResults(b);
    const int cancels = FakeOC::Count("ct_cancel");
    EXPECT_EQ(OpenError(q), "Result fetching failed");
    EXPECT_EQ(FakeOC::Count("ct_cancel"), cancels + 2);
    // The temporary query that read the rows is gone.
    EXPECT_EQ(q->GetResultSetQueryCount(), 0);
    EXPECT_EQ(OwnedQueries(q), 0);
    ExpectRestored();
}

TEST_F(FailureTest, WhatTheLibraryQueuedForTheFailedStepIsJoinedToItsTextAndNotLeftForTheNextExecution) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select 1");
    FakeOC::FailCall("ct_send", FakeOC::Count("ct_send") + 1);
    FakeOC::QueueClientMessage("ct_send", FakeOC::Count("ct_send") + 1,
                               ClientMsg(0x01010101, 0, "information only"));
    FakeOC::QueueServerMessage("ct_send", FakeOC::Count("ct_send") + 1, ServerMsg(3621, 11, "Command aborted."));
    EXPECT_EQ(OpenError(q), "ct_send failed;\nMessage 3621,Level 11: Command aborted.");
    ExpectRestored();

    FakeOC::QueueResults(IdRows({7}));
    q->Open();
    EXPECT_EQ(FieldInt(q, "ID"), 7);
}

TEST_F(FailureTest, ALibraryErrorThatReleasesTheConnectionDuringTheWalkMakesNoFurtherCallOnIt) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select id from t");
    FakeOC::Batch b = IdRows({1, 2});
    FakeOC::QueueResults(b);
    FakeOC::QueueClientMessage("ct_results", FakeOC::Count("ct_results") + 2,
                               ClientMsg(0x04010000 | 6, 6, "Read from the server has timed out."));
    const int cancels = FakeOC::Count("ct_cancel");
    const std::string error = OpenError(q);
    EXPECT_NE(error.find("Read from the server has timed out."), std::string::npos) << error;
    EXPECT_FALSE(Conn->GetConnected());
    // The command of the released connection is only dropped.
    EXPECT_EQ(FakeOC::Count("ct_cancel"), cancels);
    EXPECT_TRUE(FakeOC::Misuses().empty()) << Join(FakeOC::Misuses());
    // The rows read before stay until the query closes.
    EXPECT_FALSE(q->Active());
    ExpectRestored();

    // The next execution logs in again.
    FakeOC::QueueResults(IdRows({3}));
    q->Open();
    EXPECT_TRUE(Conn->GetConnected());
    EXPECT_EQ(FieldInt(q, "ID"), 3);
}

TEST_F(FailureTest, AHandlerThatRaisesEndsTheExecutionWithItsOwnException) {
    Conn->Connect();
    TSybQuery* q = NewQuery("select id from t");
    q->SetOnServerMessage([](const SybConnect::TSybMessage&, bool&) { throw std::runtime_error("handler says no"); });
    FakeOC::QueueResults(IdRows({1}));
    FakeOC::QueueServerMessage("ct_results", FakeOC::Count("ct_results") + 1, ServerMsg(1, 0, "note"));
    EXPECT_THROW(q->Open(), std::runtime_error);
    ExpectRestored();
}

} // namespace
} // namespace QueryTests
