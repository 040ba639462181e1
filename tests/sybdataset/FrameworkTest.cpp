// The framework driven as an application drives it, over the test store:
// data links with several buffers, bookmarks, the edit cycle, calculated
// fields, data-source events.
#include <gtest/gtest.h>

#include "tests/sybdataset/TestStore.h"

using namespace storetest;

namespace {

// A link that checks, after every change, that the rows of its window are
// consecutive records (step apart) and records the events it hears.
struct WindowLink : TDataLink {
    TField* id = nullptr;
    int step = 1;
    // Whether b may follow a in the window; by default b is step above a.
    std::function<bool(int, int)> follows;
    bool windowOk = true;
    int activeChanged = 0, dataSetChanged = 0, scrolled = 0, editingChanged = 0, recordChanged = 0;
    TField* lastChangedField = nullptr;

    void CheckWindow() {
        if (!Active() || !id || DataSet()->State() != dsBrowse) return;
        const int saved = ActiveRecord();
        int previous = 0;
        for (int i = 0; i < RecordCount(); ++i) {
            SetActiveRecord(i);
            const int value = id->AsInteger();
            if (i > 0 && !(follows ? follows(previous, value) : value == previous + step)) windowOk = false;
            previous = value;
        }
        SetActiveRecord(saved);
    }
    void ActiveChanged() override { ++activeChanged; }
    void DataSetChanged() override {
        ++dataSetChanged;
        CheckWindow();
    }
    void DataSetScrolled(int) override {
        ++scrolled;
        CheckWindow();
    }
    void EditingChanged() override { ++editingChanged; }
    void RecordChanged(TField* Field) override {
        ++recordChanged;
        lastChangedField = Field;
    }
};

struct Linked : ::testing::Test {
    TTestStore s;
    TDataSource src{nullptr};
    WindowLink link;
    void Open(int rows, int buffers) {
        SetupIdName(s, rows);
        src.SetDataSet(&s);
        link.SetBufferCount(buffers);
        link.SetDataSource(&src);
        s.Open();
        link.id = s.FieldByName("ID");
    }
    int id() { return s.FieldByName("ID")->AsInteger(); }
    std::vector<int> Forward() {
        std::vector<int> seen;
        for (s.First(); !s.Eof(); s.Next()) seen.push_back(id());
        return seen;
    }
    std::vector<int> Backward() {
        std::vector<int> seen;
        for (s.Last(); !s.Bof(); s.Prior()) seen.push_back(id());
        return seen;
    }
    static std::vector<int> Range(int from, int to, int step = 1) {
        std::vector<int> v;
        if (step > 0)
            for (int i = from; i <= to; i += step) v.push_back(i);
        else
            for (int i = from; i >= to; i += step) v.push_back(i);
        return v;
    }
};

} // namespace

TEST_F(Linked, ScrollsTenThousandRecordsEachOnceInOrder) {
    Open(10000, 7);
    EXPECT_EQ(s.BufferCount(), 7);
    EXPECT_EQ(Forward(), Range(0, 9999));
    EXPECT_EQ(Backward(), Range(9999, 0, -1));
    EXPECT_TRUE(link.windowOk);
    EXPECT_GT(link.scrolled, 0);
    EXPECT_EQ(s.RecordCount(), 10000);
}

TEST_F(Linked, ScrollsWithAFilterHidingEveryOtherRecord) {
    Open(10000, 5);
    s.SetOnFilterRecord([](TDataSet* ds, bool& accept) { accept = ds->FieldByName("ID")->AsInteger() % 2 == 0; });
    s.SetFiltered(true);
    link.step = 2;
    EXPECT_EQ(Forward(), Range(0, 9998, 2));
    EXPECT_EQ(Backward(), Range(9998, 0, -2));
    EXPECT_TRUE(link.windowOk);
    EXPECT_EQ(s.RecordCount(), 5000);
    // RecNo counts stored records, hidden ones included.
    s.First();
    s.Next();
    EXPECT_EQ(id(), 2);
}

TEST_F(Linked, BookmarksSurviveScrolling) {
    Open(10000, 4);
    s.First();
    s.MoveBy(1234);
    ASSERT_EQ(id(), 1234);
    const TBookmarkStr mark = s.Bookmark();
    TBookmark block = s.GetBookmark();
    ASSERT_NE(block, nullptr);
    s.Last();
    s.MoveBy(-500);
    s.First();
    s.SetBookmark(mark);
    EXPECT_EQ(id(), 1234);
    s.Last();
    s.GotoBookmark(block);
    EXPECT_EQ(id(), 1234);
    s.FreeBookmark(block);
    // The window around it is whole after the jump.
    s.Next();
    EXPECT_EQ(id(), 1235);
    s.Prior();
    s.Prior();
    EXPECT_EQ(id(), 1233);
    EXPECT_TRUE(link.windowOk);
}

TEST_F(Linked, EditCycleChangesWhatNavigationSees) {
    Open(10, 4);
    auto name = [&] { return s.FieldByName("NAME")->AsString(); };
    // The window shows neighbours in the record list, whatever their IDs.
    link.follows = [&](int a, int b) {
        for (int i = 0; i + 1 < s.RecordListCount(); ++i)
            if (s.SlotInt(s.GetStoredRecord(i), 1) == a) return s.SlotInt(s.GetStoredRecord(i + 1), 1) == b;
        return false;
    };

    // Edit and post.
    s.First();
    s.MoveBy(3);
    s.Edit();
    EXPECT_GT(link.editingChanged, 0);
    s.FieldByName("NAME")->SetAsString("three");
    EXPECT_EQ(link.lastChangedField, s.FieldByName("NAME"));
    s.Post();
    EXPECT_EQ(id(), 3);
    EXPECT_EQ(name(), "three");

    // Edit and cancel.
    s.Next();
    s.Edit();
    s.FieldByName("NAME")->SetAsString("gone");
    s.Cancel();
    EXPECT_EQ(name(), "r4");

    // Insert in front of the record at position 2, then append.
    s.First();
    s.MoveBy(2);
    s.Insert();
    s.FieldByName("ID")->SetAsInteger(100);
    s.Post();
    EXPECT_EQ(id(), 100);
    s.Append();
    s.FieldByName("ID")->SetAsInteger(200);
    s.Post();
    EXPECT_EQ(id(), 200);
    EXPECT_EQ(Forward(), (std::vector<int>{0, 1, 100, 2, 3, 4, 5, 6, 7, 8, 9, 200}));
    EXPECT_EQ(Backward(), (std::vector<int>{200, 9, 8, 7, 6, 5, 4, 3, 2, 100, 1, 0}));

    // Delete the inserted one and the last one.
    s.First();
    s.MoveBy(2);
    ASSERT_EQ(id(), 100);
    s.Delete();
    EXPECT_EQ(id(), 2); // the record that followed
    s.Last();
    s.Delete();
    EXPECT_EQ(id(), 9); // the last was deleted: the prior one shows
    EXPECT_EQ(Forward(), Range(0, 9));
    s.First();
    s.MoveBy(3);
    EXPECT_EQ(name(), "three");
    EXPECT_EQ(s.RecordCount(), 10);

    // Insert into an empty store.
    while (!s.IsEmpty()) s.Delete();
    s.Insert();
    s.FieldByName("ID")->SetAsInteger(7);
    s.Post();
    EXPECT_EQ(Forward(), std::vector<int>{7});
    EXPECT_TRUE(link.windowOk);
}

TEST_F(Linked, InsertRecordAndAppendRecordStore) {
    Open(3, 2);
    s.First();
    s.Next();
    s.InsertRecord({Variant(50), Variant("fifty")});
    s.AppendRecord({Variant(60), Variant("sixty")});
    EXPECT_EQ(Forward(), (std::vector<int>{0, 50, 1, 2, 60}));
}

TEST_F(Linked, DataSourcePassesEventsToItsLinks) {
    int stateChanges = 0, dataChanges = 0;
    src.OnStateChange = [&](TObject*) { ++stateChanges; };
    src.OnDataChange = [&](TObject*, TField*) { ++dataChanges; };
    Open(20, 3);
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(link.activeChanged, 1);
    EXPECT_EQ(src.State(), dsBrowse);
    const int scrolled = link.scrolled, changed = dataChanges;
    s.Next();
    EXPECT_EQ(link.scrolled, scrolled + 1);
    EXPECT_GT(dataChanges, changed);
    const int states = stateChanges;
    s.Edit();
    EXPECT_TRUE(link.Editing());
    EXPECT_GT(stateChanges, states);
    s.Cancel();
    EXPECT_FALSE(link.Editing());
    s.Close();
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.activeChanged, 2);
}

TEST(Calculated, ComputedPerRecordFromACodeCreatedField) {
    TTestStore s;
    SetupIdName(s, 200);
    auto* idField = new TIntegerField(&s);
    idField->SetFieldName("ID");
    idField->SetDataSet(&s);
    auto* nameField = new TStringField(&s);
    nameField->SetSize(9);
    nameField->SetFieldName("NAME");
    nameField->SetDataSet(&s);
    auto* twice = new TIntegerField(&s);
    twice->SetFieldName("TWICE");
    twice->SetFieldKind(fkCalculated);
    twice->SetDataSet(&s);
    int calcs = 0;
    s.OnCalcFields = [&](TDataSet* ds) {
        ++calcs;
        EXPECT_EQ(ds->State(), dsCalcFields);
        const int id = ds->FieldByName("ID")->AsInteger();
        if (id % 10 != 0) twice->SetAsInteger(id * 2); // every tenth stays null
    };
    TDataSource src(nullptr);
    WindowLink link;
    src.SetDataSet(&s);
    link.SetBufferCount(6);
    link.SetDataSource(&src);
    s.Open();
    int n = 0;
    for (s.First(); !s.Eof(); s.Next(), ++n) {
        const int id = idField->AsInteger();
        ASSERT_EQ(id, n);
        if (id % 10 == 0)
            EXPECT_TRUE(twice->IsNull()) << id; // not left over from the record before
        else
            EXPECT_EQ(twice->AsInteger(), id * 2);
    }
    EXPECT_EQ(n, 200);
    EXPECT_GE(calcs, 200);
    // The stored records keep no calculated values of their own.
    EXPECT_EQ(s.GetStoredRecord(5)[s.FieldOffset(0)], 0);
    s.Close();
    EXPECT_EQ(s.FieldCount(), 3); // persistent fields survive the close
}
