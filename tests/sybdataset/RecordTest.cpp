// Reading records for the framework, counting, filtering, stepping, and the
// record list's insert bounds.
#include <gtest/gtest.h>

#include "tests/sybdataset/TestStore.h"

using namespace storetest;

namespace {

// Five records, ID 0..4; the filter (when on) accepts even IDs.
struct Store5 : ::testing::Test {
    TTestStore s;
    int filterCalls = 0;
    void SetUp() override {
        SetupIdName(s, 5);
        s.Open();
    }
    void FilterEven() {
        s.SetOnFilterRecord([this](TDataSet* ds, bool& accept) {
            ++filterCalls;
            EXPECT_EQ(ds->State(), dsFilter);
            accept = ds->FieldByName("ID")->AsInteger() % 2 == 0;
        });
        s.SetFiltered(true);
    }
};

} // namespace

TEST_F(Store5, GetRecordInEveryModeStateAndFilterCase) {
    struct Case {
        int start;
        TGetMode mode;
        TDataSetState state;
        bool filtered;
        TGetResult result;
        int index;  // current index afterwards
        int recNo;  // record number in the buffer on grOK
    };
    const Case cases[] = {
        {-1, gmCurrent, dsBrowse, false, grBOF, -1, 0},
        {2, gmCurrent, dsBrowse, false, grOK, 2, 3},
        {5, gmCurrent, dsBrowse, false, grEOF, 5, 0},
        {-1, gmNext, dsBrowse, false, grOK, 0, 1},
        {4, gmNext, dsBrowse, false, grEOF, 4, 0},
        {5, gmNext, dsBrowse, false, grEOF, 5, 0},
        {5, gmPrior, dsBrowse, false, grOK, 4, 5},
        {0, gmPrior, dsBrowse, false, grBOF, 0, 0},
        {-1, gmPrior, dsBrowse, false, grBOF, -1, 0},
        {2, gmCurrent, dsInactive, false, grOK, 2, 3},
        {2, gmCurrent, dsEdit, false, grOK, 2, -1},
        {1, gmNext, dsInsert, false, grOK, 2, -1},
        {2, gmCurrent, dsCalcFields, false, grOK, 2, -1},
        // filter: accepted, rejected in gmCurrent, skipped in gmNext/gmPrior
        {2, gmCurrent, dsBrowse, true, grOK, 2, 3},
        {1, gmCurrent, dsBrowse, true, grError, 1, 0},
        {0, gmNext, dsBrowse, true, grOK, 2, 3},
        {4, gmPrior, dsBrowse, true, grOK, 2, 3},
        {3, gmNext, dsBrowse, true, grOK, 4, 5},
        {1, gmPrior, dsBrowse, true, grOK, 0, 1},
    };
    TRecordBuffer b = s.Alloc();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "start " << c.start << " mode " << c.mode << " state " << c.state
                                          << " filtered " << c.filtered);
        if (c.filtered) FilterEven();
        s.FCurrentIndex = c.start;
        std::memset(b, 0x77, static_cast<size_t>(s.GetRecordBufferSize()));
        const TDataSetState previous = s.SetTempState(c.state);
        const TGetResult r = s.GetRecord(b, c.mode, true);
        s.RestoreState(previous);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(s.FCurrentIndex, c.index);
        if (r == grOK) {
            EXPECT_EQ(s.SlotInt(b, 1), c.index);
            EXPECT_EQ(s.GetRecordNumber(b), c.recNo);
            EXPECT_EQ(s.GetRecordFlag(b), bfCurrent);
        }
        s.SetFiltered(false);
    }
    s.Free(b);
}

TEST_F(Store5, FilterRejectingEverythingRunsToTheEnd) {
    s.SetOnFilterRecord([](TDataSet*, bool& accept) { accept = false; });
    s.SetFiltered(true);
    TRecordBuffer b = s.Alloc();
    s.InternalFirst();
    EXPECT_EQ(s.GetRecord(b, gmNext, true), grEOF);
    EXPECT_EQ(s.FCurrentIndex, 4);
    s.InternalLast();
    EXPECT_EQ(s.GetRecord(b, gmPrior, true), grBOF);
    EXPECT_EQ(s.FCurrentIndex, 0);
    s.Free(b);
    EXPECT_EQ(s.RecordCount(), 0);
}

TEST_F(Store5, FilteredWithoutHandlerDoesNotFilter) {
    s.SetFiltered(true);
    EXPECT_EQ(s.RecordCount(), 5);
}

TEST_F(Store5, RecordCountWithFilterKeepsStateAndIndex) {
    s.Next();
    s.Next(); // on ID 2, cursor index 2
    FilterEven();
    s.FCurrentIndex = 3;
    const int allocated = s.Allocated, freed = s.Freed;
    EXPECT_EQ(s.RecordCount(), 3);
    EXPECT_EQ(s.FCurrentIndex, 3);
    EXPECT_EQ(s.State(), dsBrowse);
    EXPECT_EQ(s.Allocated - allocated, s.Freed - freed);
    EXPECT_FALSE(s.ControlsDisabled());
}

TEST_F(Store5, RecordCountRestoresWhenTheFilterRaises) {
    s.Edit(); // a state other than browse, to see it come back
    ASSERT_EQ(s.State(), dsEdit);
    s.SetOnFilterRecord([](TDataSet* ds, bool&) {
        if (ds->FieldByName("ID")->AsInteger() == 3) DatabaseError("filter failed");
    });
    s.SetFiltered(true);
    s.FCurrentIndex = 1;
    const int allocated = s.Allocated, freed = s.Freed;
    try {
        s.RecordCount();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "filter failed");
    }
    EXPECT_EQ(s.State(), dsEdit);
    EXPECT_EQ(s.FCurrentIndex, 1);
    EXPECT_EQ(s.Allocated - allocated, s.Freed - freed);
    EXPECT_FALSE(s.ControlsDisabled());
    s.SetFiltered(false);
    s.Cancel();
}

TEST_F(Store5, FindRecordStepsOneRecordAndStopsAtTheEnds) {
    int afterScroll = 0;
    s.AfterScroll = [&](TDataSet*) { ++afterScroll; };
    auto id = [&] { return s.FieldByName("ID")->AsInteger(); };

    EXPECT_FALSE(s.FindPrior()); // on the first record
    EXPECT_FALSE(s.Found());
    EXPECT_EQ(id(), 0);
    EXPECT_TRUE(s.FindNext());
    EXPECT_EQ(id(), 1);
    EXPECT_TRUE(s.FindNext());
    EXPECT_EQ(id(), 2);
    EXPECT_TRUE(s.FindPrior());
    EXPECT_EQ(id(), 1);
    EXPECT_TRUE(s.FindLast());
    EXPECT_EQ(id(), 4);
    EXPECT_FALSE(s.FindNext());
    EXPECT_EQ(id(), 4);
    EXPECT_TRUE(s.FindFirst());
    EXPECT_EQ(id(), 0);
    EXPECT_GT(afterScroll, 0);

    // With a filter, a step passes over rejected records instead of landing
    // where the framework could not read.
    FilterEven();
    EXPECT_EQ(id(), 0);
    EXPECT_TRUE(s.FindNext());
    EXPECT_EQ(id(), 2);
    EXPECT_TRUE(s.FindNext());
    EXPECT_EQ(id(), 4);
    EXPECT_FALSE(s.FindNext());
    EXPECT_TRUE(s.FindPrior());
    EXPECT_EQ(id(), 2);
}

TEST_F(Store5, InternalInsertBounds) {
    auto fresh = [&](int id) {
        TRecordBuffer b = s.Alloc();
        s.InternalInitRecord(b);
        s.PutInt(b, 1, id);
        return b;
    };
    s.FSorted = true;
    s._InternalInsert(-5, fresh(100));
    EXPECT_EQ(s.SlotInt(s.GetStoredRecord(0), 1), 100);
    EXPECT_FALSE(s.IsSorted());
    s._InternalInsert(6, fresh(101)); // the record count: appends
    EXPECT_EQ(s.SlotInt(s.GetStoredRecord(6), 1), 101);
    s._InternalInsert(2, fresh(102));
    EXPECT_EQ(s.SlotInt(s.GetStoredRecord(2), 1), 102);
    EXPECT_EQ(s.SlotInt(s.GetStoredRecord(3), 1), 1);

    TRecordBuffer extra = fresh(103);
    try {
        s._InternalInsert(9, extra);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (9)");
    }
    EXPECT_EQ(s.RecordListCount(), 8);
    s.Free(extra);

    s.FSorted = true;
    TRecordBuffer b = fresh(104);
    s.AddRecord(b);
    EXPECT_TRUE(s.IsSorted());
    s._InternalAdd(fresh(105));
    EXPECT_FALSE(s.IsSorted());
    EXPECT_EQ(s.RecordListCount(), 10);
}

TEST_F(Store5, ActiveBufferOfEachState) {
    TRecordBuffer active = s.ActiveBuffer();
    EXPECT_EQ(s.GetActiveRecordBuffer(), active);
    for (TDataSetState st : {dsEdit, dsInsert, dsNewValue, dsCurValue, dsOldValue}) {
        const TDataSetState prev = s.SetTempState(st);
        EXPECT_EQ(s.GetActiveRecordBuffer(), active) << st;
        s.RestoreState(prev);
    }
    for (TDataSetState st : {dsInactive, dsSetKey, dsBlockRead, dsInternalCalc, dsOpening}) {
        const TDataSetState prev = s.SetTempState(st);
        EXPECT_EQ(s.GetActiveRecordBuffer(), nullptr) << st;
        s.RestoreState(prev);
    }
    // The edit copy serves the old value.
    s.Edit();
    s.FieldByName("ID")->SetAsInteger(42);
    EXPECT_NE(s.FEditCopy, nullptr);
    EXPECT_EQ(s.FieldByName("ID")->OldValue().AsInteger(), 0);
    EXPECT_EQ(s.FieldByName("ID")->AsInteger(), 42);
    s.Cancel();
    EXPECT_EQ(s.FieldByName("ID")->AsInteger(), 0);
}

TEST(Store, EmptyStore) {
    TTestStore s;
    SetupIdName(s, 0);
    s.Open();
    TRecordBuffer b = s.Alloc();
    EXPECT_EQ(s.GetRecord(b, gmCurrent, true), grBOF);
    EXPECT_EQ(s.GetRecord(b, gmNext, true), grEOF);
    EXPECT_EQ(s.GetRecord(b, gmPrior, true), grBOF);
    s.Free(b);
    EXPECT_EQ(s.RecordCount(), 0);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetActiveRecordBuffer(), nullptr);
    EXPECT_TRUE(s.Eof());
    EXPECT_FALSE(s.FindNext());
}

TEST(Store, CloseFreesEveryBufferAndReopens) {
    TTestStore s;
    SetupIdName(s, 50);
    s.Open();
    s.Last();
    EXPECT_EQ(s.FieldByName("ID")->AsInteger(), 49);
    s.Close();
    EXPECT_EQ(s.Allocated, s.Freed);
    EXPECT_EQ(s.RecordListCount(), 0);
    EXPECT_EQ(s.CurrentIndex(), -1);
    s.Open();
    EXPECT_EQ(s.RecordCount(), 50);
    EXPECT_EQ(s.FieldByName("NAME")->AsString(), "r0");
}
