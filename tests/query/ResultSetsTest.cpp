// Several results of one statement: which query receives each row result,
// queries offered through OnNewDataSet or read and dropped, attaching and
// detaching result-set queries, return status and output parameters.
#include <cstring>

#include "Fixture.h"
#include "components/SybConnect/ClientField.h"

namespace QueryTests {
namespace {

class ResultSetsTest : public QueryTest {
protected:
    void SetUp() override {
        QueryTest::SetUp();
        Conn->Connect();
    }
    // One row result per list, each a column ID with those values.
    static FakeOC::Batch RowResults(const std::vector<std::vector<int32_t>>& results) {
        FakeOC::Batch b;
        for (const auto& ids : results) {
            b.push_back(IdResult(ids));
            b.push_back(FakeOC::Result::CmdDone(static_cast<int32_t>(ids.size())));
        }
        return b;
    }
    static std::vector<int32_t> Ids(TSybQuery* q) {
        std::vector<int32_t> out;
        if (!q->Active()) return out;
        for (q->First(); !q->Eof(); q->Next()) out.push_back(FieldInt(q, "ID"));
        return out;
    }
};

TEST_F(ResultSetsTest, WithoutAHandlerFurtherRowResultsAreReadAndDropped) {
    TSybQuery* q = NewQuery("select a; select b; select c");
    FakeOC::QueueResults(RowResults({{1, 2}, {3}, {4, 5, 6}}));
    q->Open();
    EXPECT_EQ(Ids(q), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(q->GetResultSetQueryCount(), 0);
    EXPECT_EQ(OwnedQueries(q), 0);
    // Every row was fetched, so the walk reached its end.
    EXPECT_EQ(FakeOC::Count("ct_fetch"), 3 + 2 + 4);
    ExpectRestored();
}

TEST_F(ResultSetsTest, AHandlerGetsEachNewQueryBeforeItsRowsAreReadAndOnlyOnce) {
    TSybQuery* q = NewQuery("select a; select b");
    std::vector<TSybQuery*> offered;
    q->SetOnNewDataSet([&](TSybQuery* d) {
        offered.push_back(d);
        EXPECT_EQ(d->GetMaster(), q);
        EXPECT_EQ(d->GetResultSet(), 1);
        EXPECT_FALSE(d->Active());
        // The first result is read, nothing of the second yet.
        EXPECT_EQ(FakeOC::Count("ct_fetch"), 2);
    });
    FakeOC::QueueResults(RowResults({{1}, {2, 3}}));
    q->Open();
    ASSERT_EQ(offered.size(), 1u);
    TSybQuery* d = offered[0];
    EXPECT_EQ(d->GetOwner(), q);
    EXPECT_EQ(Ids(d), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(q->GetResultSetQueryCount(), 1);

    // Closing the master closes it; the next execution fills it again.
    q->Close();
    EXPECT_FALSE(d->Active());
    FakeOC::QueueResults(RowResults({{7}, {8}}));
    q->Open();
    EXPECT_EQ(offered.size(), 1u);
    EXPECT_EQ(Ids(q), (std::vector<int32_t>{7}));
    EXPECT_EQ(Ids(d), (std::vector<int32_t>{8}));
    ExpectRestored();
}

TEST_F(ResultSetsTest, ResultsGoByNumberToTheMasterFirstThenToAttachedQueriesInOrder) {
    struct Case {
        const char* what;
        int masterSet;
        std::vector<int> attachedSets;
        std::vector<int32_t> masterGets;
        std::vector<std::vector<int32_t>> attachedGet;
    };
    const std::vector<Case> cases = {
        {"master takes the second", 1, {}, {20}, {}},
        {"beyond the count", 5, {}, {}, {}},
        {"first attached of a number wins", 0, {1, 1}, {10}, {{20}, {}}},
        {"the master's own number is compared first", 0, {0, 2}, {10}, {{}, {30}}},
    };
    for (const Case& c : cases) {
        TSybQuery* q = NewQuery("select a; select b; select c");
        q->SetResultSet(static_cast<SybConnect::TResultSetNo>(c.masterSet));
        std::vector<TSybQuery*> attached;
        for (int n : c.attachedSets) {
            TSybQuery* a = NewQuery("");
            a->SetResultSet(static_cast<SybConnect::TResultSetNo>(n));
            a->SetMaster(q);
            attached.push_back(a);
        }
        FakeOC::QueueResults(RowResults({{10}, {20}, {30}}));
        q->Open();
        EXPECT_EQ(Ids(q), c.masterGets) << c.what;
        EXPECT_EQ(q->Active(), !c.masterGets.empty()) << c.what;
        for (size_t i = 0; i < attached.size(); ++i) EXPECT_EQ(Ids(attached[i]), c.attachedGet[i]) << c.what << " " << i;
        EXPECT_EQ(q->GetResultSetQueryCount(), static_cast<int>(attached.size())) << c.what;
        ExpectRestored(c.what);
    }
}

TEST_F(ResultSetsTest, StatusAndParameterResultsAreReadAndDoNotCountAsRowResults) {
    TSybQuery* q = NewQuery("exec p");
    FakeOC::Batch b;
    b.push_back(FakeOC::Result::StatusResult(-6));
    b.push_back(FakeOC::Result::ParamResult({Column::Of("@n", CS_INT_TYPE), Column::Of("@s", CS_CHAR_TYPE, 5)},
                                            {Value::Int(42), Value::Char("abc")}));
    b.push_back(IdResult({1, 2}));
    b.push_back(FakeOC::Result::CmdDone(2));
    b.push_back(FakeOC::Result::StatusResult(17));
    FakeOC::QueueResults(b);
    q->Open();
    EXPECT_EQ(Ids(q), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(q->GetReturnStatus(), 17);
    ASSERT_EQ(q->GetParamFieldCount(), 2);
    SybConnect::TSybClientField* n = q->GetParamField(0);
    int32_t value = 0;
    ASSERT_EQ(n->GetDataLength(), 4);
    std::memcpy(&value, n->GetDataPointer(), sizeof value);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(n->GetName(), "@n");
    SybConnect::TSybClientField* s = q->GetParamField(1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s->GetDataPointer()), static_cast<size_t>(s->GetDataLength())), "abc");
    EXPECT_THROW(q->GetParamField(2), vcl::EListError);

    // A statement without a status result: 0. The parameter columns stay.
    q->Close();
    FakeOC::QueueResults(FakeOC::Select({Column::Of("ID", CS_INT_TYPE)}, {{Value::Int(1)}}));
    q->Open();
    EXPECT_EQ(q->GetReturnStatus(), 0);
    EXPECT_EQ(q->GetParamFieldCount(), 2);
    ExpectRestored();
}

TEST_F(ResultSetsTest, TheQueryForRowResultNGetsResultSetNModulo256) {
    TSybQuery* q = NewQuery("exec many");
    std::vector<TSybQuery*> offered;
    q->SetOnNewDataSet([&](TSybQuery* d) { offered.push_back(d); });
    FakeOC::Batch b;
    for (int i = 0; i < 258; ++i) b.push_back(IdResult({i}));
    FakeOC::QueueResults(b);
    q->Open();
    ASSERT_EQ(offered.size(), 257u);
    EXPECT_EQ(offered[0]->GetResultSet(), 1);
    EXPECT_EQ(offered[254]->GetResultSet(), 255);
    EXPECT_EQ(offered[255]->GetResultSet(), 0);
    EXPECT_EQ(Ids(offered[255]), std::vector<int32_t>{256});
    EXPECT_EQ(offered[256]->GetResultSet(), 1);
    EXPECT_EQ(Ids(offered[256]), std::vector<int32_t>{257});
    EXPECT_EQ(Ids(q), std::vector<int32_t>{0});
    ExpectRestored();
}

TEST_F(ResultSetsTest, AQueryAcceptedByARaisingHandlerStaysAttached) {
    TSybQuery* q = NewQuery("select a; select b");
    TSybQuery* got = nullptr;
    q->SetOnNewDataSet([&](TSybQuery* d) {
        got = d;
        throw vcl::Exception("not now");
    });
    FakeOC::QueueResults(RowResults({{1}, {2}}));
    try {
        q->Open();
        FAIL() << "no error";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "not now");
    }
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(q->GetResultSetQueryCount(), 1);
    EXPECT_EQ(got->GetMaster(), q);
    EXPECT_FALSE(got->Active());
    ExpectRestored();
}

TEST_F(ResultSetsTest, AResultSetQueryCannotBeOpenedOnItsOwn) {
    TSybQuery* q = NewQuery("select a");
    TSybQuery* a = NewQuery("");
    a->SetName("Detail");
    a->SetResultSet(1);
    a->SetMaster(q);
    try {
        a->Open();
        FAIL() << "no error";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "Query \"Detail\" receives result set 1 of its master and cannot be opened on its own");
    }
    EXPECT_FALSE(a->Active());
    EXPECT_EQ(FakeOC::Count("ct_cancel"), 0);
}

TEST_F(ResultSetsTest, RowsOfAComputeClauseAreSkippedAndTheWalkGoesOn) {
    TSybQuery* q = NewQuery("select id from t compute sum(id)");
    FakeOC::Batch b;
    b.push_back(IdResult({1, 2}));
    b.push_back(FakeOC::Result::ComputeResult({Column::Of("sum", CS_INT_TYPE)}, {{Value::Int(3)}}));
    b.push_back(FakeOC::Result::CmdDone(2));
    FakeOC::QueueResults(b);
    q->Open();
    EXPECT_EQ(Ids(q), (std::vector<int32_t>{1, 2}));
    ExpectRestored();
}

TEST_F(ResultSetsTest, AttachmentsFollowSetMasterAndDestructionOnBothSides) {
    auto m1 = std::make_unique<TSybQuery>(nullptr);
    auto m2 = std::make_unique<TSybQuery>(nullptr);
    auto a = std::make_unique<TSybQuery>(nullptr);
    auto b = std::make_unique<TSybQuery>(nullptr);
    a->SetMaster(m1.get());
    b->SetMaster(m1.get());
    a->SetMaster(m2.get());
    EXPECT_EQ(m1->GetResultSetQueryCount(), 1);
    EXPECT_EQ(m1->GetResultSetQuery(0), b.get());
    ASSERT_EQ(m2->GetResultSetQueryCount(), 1);
    EXPECT_EQ(m2->GetResultSetQuery(0), a.get());

    // A result-set query that goes leaves its master's list.
    b.reset();
    EXPECT_EQ(m1->GetResultSetQueryCount(), 0);
    // A master that goes leaves no reference behind in a query it does not own.
    m2.reset();
    EXPECT_EQ(a->GetMaster(), nullptr);

    // Queries an execution created go with their master.
    TSybQuery* q = NewQuery("select a; select b");
    std::vector<TSybQuery*> offered;
    q->SetOnNewDataSet([&](TSybQuery* d) { offered.push_back(d); });
    FakeOC::QueueResults(RowResults({{1}, {2}}));
    q->Open();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(OwnedQueries(q), 1);
    Queries.clear(); // destroys q and, through it, the offered query (ASan watches)
}

} // namespace
} // namespace QueryTests
