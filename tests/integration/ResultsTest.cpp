// Several row results of one batch, and a procedure with rows, output
// parameters and a return status.
#include "tests/integration/Fixture.h"

#include <cstring>

#include "components/SybConnect/ClientField.h"
#include "vcl/DB.h"

namespace Integration {
namespace {

using namespace Cstypes;

class ResultsTest : public IntegrationTest {
protected:
    void SetUp() override {
        IntegrationTest::SetUp();
        Conn->Connect();
    }
};

const char* const kTwoResults = "select id, name from customers where id <= 2 order by id\n"
                                "select n, label from many_rows where n <= 3 order by n";

TEST_F(ResultsTest, TheSecondRowResultGoesToTheQueryOfferedByOnNewDataSet) {
    TSybQuery* q = NewQuery(kTwoResults);
    std::vector<TSybQuery*> offered;
    q->SetOnNewDataSet([&](TSybQuery* ds) {
        EXPECT_EQ(ds->GetMaster(), q);
        EXPECT_EQ(ds->GetResultSet(), 1);
        EXPECT_FALSE(ds->Active());
        offered.push_back(ds);
    });
    q->Open();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(RowsOf(*q), (std::vector<TRow>{{"1", "Ada Lovelace"}, {"2", "Blaise Pascal"}}));
    ASSERT_TRUE(offered[0]->Active());
    EXPECT_EQ(RowsOf(*offered[0]), (std::vector<TRow>{{"1", "row 1"}, {"2", "row 2"}, {"3", "row 3"}}));

    // The next execution fills the same query again without asking.
    q->Close();
    EXPECT_FALSE(offered[0]->Active());
    q->Open();
    EXPECT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0]->RecordCount(), 3);
}

TEST_F(ResultsTest, ARowResultNobodyTakesIsReadAndDropped) {
    TSybQuery* q = NewQuery(kTwoResults);
    q->Open();
    EXPECT_EQ(q->RecordCount(), 2);
    EXPECT_EQ(q->GetResultSetQueryCount(), 0);
    // Nothing of the dropped result is left pending on the connection.
    EXPECT_EQ(Select("select count(*) from orders"), (std::vector<TRow>{{"6"}}));
}

// An int or character output parameter as text.
std::string ParamText(SybConnect::TSybClientField* f) {
    if (f->GetIndicator() == -1) return "<NULL>";
    if (f->GetDataType() == CS_INT_TYPE) {
        int32_t v = 0;
        std::memcpy(&v, f->GetDataPointer(), sizeof v);
        return std::to_string(v);
    }
    return std::string(reinterpret_cast<const char*>(f->GetDataPointer()), static_cast<size_t>(f->GetDataLength()));
}

TEST_F(ResultsTest, AProcedureDeliversItsRowsOutputParametersAndReturnStatus) {
    Exec("create procedure e2e_orders @customer int, @count int output, @name varchar(40) output as\n"
         "select id, total from orders where customer_id = @customer order by id\n"
         "select @count = count(*) from orders where customer_id = @customer\n"
         "select @name = name from customers where id = @customer\n"
         "return 7");
    TSybQuery* q = NewQuery("declare @c int, @n varchar(40)\n"
                            "exec e2e_orders :customer, @c output, @n output");
    q->ParamByName("customer")->SetAsInteger(2);
    q->Open();
    EXPECT_EQ(RowsOf(*q), (std::vector<TRow>{{"103", "300"}, {"104", "15.99"}, {"105", "42"}}));
    EXPECT_EQ(q->GetReturnStatus(), 7);
    ASSERT_EQ(q->GetParamFieldCount(), 2);
    EXPECT_EQ(ParamText(q->GetParamField(0)), "3");
    EXPECT_EQ(ParamText(q->GetParamField(1)), "Blaise Pascal");

    // A statement without a status result resets it.
    q->Close();
    q->GetSQL()->SetText("select 1");
    q->Open();
    EXPECT_EQ(q->GetReturnStatus(), 0);
}

} // namespace
} // namespace Integration
