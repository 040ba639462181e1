// Field access, record numbers, bookmarks, deleting and the modifiability
// switches of an open query, over rows read through the scripted Open Client.
#include <cstring>

#include "Fixture.h"

namespace QueryTests {
namespace {

class RecordAccessTest : public QueryTest {
protected:
    void SetUp() override {
        QueryTest::SetUp();
        Conn->Connect();
        Q = NewQuery("select ID, NAME, MEMO from t");
    }
    // Rows (ID, NAME, MEMO): (1, one, m1), (2, two, m2), (3, three, m3).
    void OpenRows() {
        FakeOC::QueueResults(FakeOC::Select(
            {Column::Of("ID", CS_INT_TYPE), Column::Of("NAME", CS_CHAR_TYPE, 10), Column::Of("MEMO", CS_TEXT_TYPE, 100)},
            {{Value::Int(1), Value::Char("one"), Value::Text("m1")},
             {Value::Int(2), Value::Char("two"), Value::Text("m2")},
             {Value::Int(3), Value::Char("three"), Value::Text("m3")}}));
        Q->Open();
        ASSERT_EQ(Q->RecordCount(), 3);
    }

public:
    vcl::TField* F(const char* name) { return Q->FieldByName(name); }
    vcl::TBookmark Mark() { return Q->GetBookmark(); }
    TSybQuery* Q = nullptr;
};

TEST_F(RecordAccessTest, ANullFieldKeepsTheStaleBytesOfItsDataPart) {
    OpenRows();
    Q->Edit();
    F("ID")->Clear();
    int32_t stale = 0;
    EXPECT_FALSE(Q->GetFieldData(F("ID"), &stale));
    EXPECT_EQ(stale, 1);
    EXPECT_FALSE(Q->GetFieldData(F("ID"), nullptr));
    EXPECT_TRUE(F("ID")->IsNull());
    EXPECT_TRUE(Q->GetFieldData(F("NAME"), nullptr));
    Q->Cancel();
    EXPECT_EQ(F("ID")->AsInteger(), 1);
}

TEST_F(RecordAccessTest, OnlyAWriteThatChangesTheStoredValueClearsTheDeclaredSortedFlag) {
    OpenRows();
    struct Case {
        const char* what;
        std::function<void(RecordAccessTest&)> write;
        bool staysSorted;
    };
    const std::vector<Case> cases = {
        {"same integer", [](RecordAccessTest& t) { t.F("ID")->SetAsInteger(1); }, true},
        {"other integer", [](RecordAccessTest& t) { t.F("ID")->SetAsInteger(9); }, false},
        {"same text", [](RecordAccessTest& t) { t.F("NAME")->SetAsString("one"); }, true},
        {"longer text", [](RecordAccessTest& t) { t.F("NAME")->SetAsString("onex"); }, false},
        {"to null", [](RecordAccessTest& t) { t.F("ID")->Clear(); }, false},
        {"into a null field",
         [](RecordAccessTest& t) {
             t.F("ID")->Clear();
             t.Q->SetSorted(true);
             t.F("ID")->SetAsInteger(1);
         },
         false},
    };
    for (const Case& c : cases) {
        Q->First();
        Q->SetSorted(true);
        Q->Edit();
        c.write(*this);
        EXPECT_EQ(Q->GetSorted(), c.staysSorted) << c.what;
        Q->Cancel();
    }
    // Closing and opening leave the flag as it is.
    Q->SetSorted(true);
    Q->Close();
    OpenRows();
    EXPECT_TRUE(Q->GetSorted());
}

TEST_F(RecordAccessTest, AReadOnlyFieldRefusesAWriteAndChangesNothing) {
    OpenRows();
    F("ID")->SetDisplayLabel("Key");
    F("ID")->SetReadOnly(true);
    Q->Edit();
    int32_t v = 5;
    try {
        Q->SetFieldData(F("ID"), &v);
        FAIL() << "no error";
    } catch (const vcl::EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Field Key is read only");
    }
    EXPECT_EQ(F("ID")->AsInteger(), 1);
    Q->Cancel();
}

TEST_F(RecordAccessTest, RecordNumbersCountStoredRecordsWhateverTheFilterHides) {
    OpenRows();
    Q->SetOnFilterRecord([](vcl::TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() == 3; });
    Q->SetFiltered(true);
    EXPECT_EQ(F("ID")->AsInteger(), 3);
    EXPECT_EQ(Q->RecNo(), 3);
    EXPECT_FALSE(Q->IsSequenced());

    // Filtered without a handler: no filtering, still not sequenced.
    Q->SetOnFilterRecord(nullptr);
    Q->SetFiltered(false);
    Q->SetFiltered(true);
    EXPECT_EQ(Q->RecordCount(), 3);
    EXPECT_FALSE(Q->IsSequenced());
    Q->SetFiltered(false);
    EXPECT_TRUE(Q->IsSequenced());
}

TEST_F(RecordAccessTest, SetRecNoOutsideTheRecordsKeepsThePosition) {
    OpenRows();
    Q->SetRecNo(2);
    EXPECT_EQ(F("ID")->AsInteger(), 2);
    for (int bad : {0, -1, 4, 100}) {
        Q->SetRecNo(bad);
        EXPECT_EQ(F("ID")->AsInteger(), 2) << bad;
        EXPECT_EQ(Q->RecNo(), 2) << bad;
    }
    Q->Close();
    EXPECT_THROW(Q->SetRecNo(1), vcl::EDatabaseError);
}

TEST_F(RecordAccessTest, SwitchingFilteredToItsValueStillMovesToTheFirstRecord) {
    OpenRows();
    Q->Last();
    Q->SetFiltered(false);
    EXPECT_EQ(F("ID")->AsInteger(), 1);
}

TEST_F(RecordAccessTest, BookmarksArePositions) {
    OpenRows();
    vcl::TBookmark first = Mark();
    Q->Last();
    vcl::TBookmark last = Mark();
    EXPECT_TRUE(Q->BookmarkValid(last));
    EXPECT_EQ(Q->CompareBookmarks(first, last), -1);
    EXPECT_EQ(Q->CompareBookmarks(last, first), 1);
    EXPECT_EQ(Q->CompareBookmarks(last, last), 0);
    EXPECT_EQ(Q->CompareBookmarks(first, nullptr), 0);
    EXPECT_FALSE(Q->BookmarkValid(nullptr));

    Q->GotoBookmark(first);
    EXPECT_EQ(F("ID")->AsInteger(), 1);
    Q->GotoBookmark(last);
    Q->Delete();
    EXPECT_FALSE(Q->BookmarkValid(last));
    // The first position now holds whatever stands there.
    Q->First();
    Q->Delete();
    Q->GotoBookmark(first);
    EXPECT_EQ(F("ID")->AsInteger(), 2);
    Q->FreeBookmark(first);
    Q->FreeBookmark(last);
}

TEST_F(RecordAccessTest, DeletingARecordFreesItsBlobOnce) {
    OpenRows();
    EXPECT_EQ(Q->BlobCount(), 3);
    Q->First();
    EXPECT_EQ(F("MEMO")->AsString(), "m1");
    Q->Delete();
    EXPECT_EQ(Q->BlobCount(), 2);
    EXPECT_EQ(F("ID")->AsInteger(), 2);
    EXPECT_EQ(F("MEMO")->AsString(), "m2");
    Q->Next();
    EXPECT_EQ(F("MEMO")->AsString(), "m3");
    Q->Close();
    EXPECT_EQ(Q->BlobCount(), 0);
}

TEST_F(RecordAccessTest, CachedUpdatesIsTheNegationOfReadOnly) {
    OpenRows();
    EXPECT_TRUE(Q->GetCachedUpdates());
    EXPECT_TRUE(Q->CanModify());
    Q->SetCachedUpdates(false);
    EXPECT_TRUE(Q->GetReadOnly());
    EXPECT_FALSE(Q->CanModify());
    EXPECT_THROW(Q->Edit(), vcl::EDatabaseError);
    Q->SetReadOnly(false);
    EXPECT_TRUE(Q->GetCachedUpdates());
    Q->Edit();
    F("ID")->SetAsInteger(11);
    Q->Post();
    EXPECT_EQ(F("ID")->AsInteger(), 11);
}

} // namespace
} // namespace QueryTests
