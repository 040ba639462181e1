// The edit cycle: event order, effects on later navigation, reads, error
// handlers and refusals.
#include "Fixture.h"

namespace kestrel_test {
namespace {

const char* EventName(TDataEvent e) {
    switch (e) {
    case deFieldChange: return "deFieldChange";
    case deRecordChange: return "deRecordChange";
    case deDataSetChange: return "deDataSetChange";
    case deDataSetScroll: return "deDataSetScroll";
    case deLayoutChange: return "deLayoutChange";
    case deUpdateRecord: return "deUpdateRecord";
    case deUpdateState: return "deUpdateState";
    case deCheckBrowseMode: return "deCheckBrowseMode";
    default: return "other";
    }
}

// Records the dataset's events and data events in one sequence.
struct EventLog {
    std::vector<std::string> Seq;
    void Attach(TMemDataSet& ds, TDataSource& source) {
        auto on = [this](const char* n) { return [this, n](TDataSet*) { Seq.push_back(n); }; };
        ds.BeforeOpen = on("BeforeOpen");
        ds.AfterOpen = on("AfterOpen");
        ds.BeforeClose = on("BeforeClose");
        ds.AfterClose = on("AfterClose");
        ds.BeforeInsert = on("BeforeInsert");
        ds.AfterInsert = on("AfterInsert");
        ds.BeforeEdit = on("BeforeEdit");
        ds.AfterEdit = on("AfterEdit");
        ds.BeforePost = on("BeforePost");
        ds.AfterPost = on("AfterPost");
        ds.BeforeCancel = on("BeforeCancel");
        ds.AfterCancel = on("AfterCancel");
        ds.BeforeDelete = on("BeforeDelete");
        ds.AfterDelete = on("AfterDelete");
        ds.BeforeScroll = on("BeforeScroll");
        ds.AfterScroll = on("AfterScroll");
        ds.OnNewRecord = on("OnNewRecord");
        Link.Log = this;
        Link.SetDataSource(&source);
    }
    struct Link : TDataLink {
        EventLog* Log = nullptr;
    } Link;
};

// A dataset that reports every data event it dispatches.
class TLoggedDataSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    std::vector<std::string>* Seq = nullptr;
    void DataEvent(TDataEvent Event, intptr_t Info) override {
        if (Seq && Event != deFieldListChange) Seq->push_back(EventName(Event));
        TMemDataSet::DataEvent(Event, Info);
    }
};

struct OrderCase {
    const char* name;
    std::function<void(TDataSet&)> setup;
    std::function<void(TDataSet&)> op;
    std::vector<std::string> expected;
};

class EventOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(EventOrder, MatchesTheFrameworkSequence) {
    const OrderCase& c = GetParam();
    TLoggedDataSet ds(nullptr, {{"ID", ftInteger}, {"NAME", ftString, 20}});
    ds.Open();
    for (int i = 1; i <= 3; ++i) ds.AppendRaw({i, "r"});
    ds.First();
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    EventLog log;
    log.Attach(ds, source);
    if (c.setup) c.setup(ds);
    log.Seq.clear();
    ds.Seq = &log.Seq;
    c.op(ds);
    ds.Seq = nullptr;
    EXPECT_EQ(log.Seq, c.expected);
    ds.Close();
}

const std::vector<std::string> kScroll = {"deCheckBrowseMode", "BeforeScroll", "deDataSetScroll", "AfterScroll"};

INSTANTIATE_TEST_SUITE_P(
    Table, EventOrder,
    ::testing::Values(
        OrderCase{"Open", [](TDataSet& d) { d.Close(); }, [](TDataSet& d) { d.Open(); },
                  {"BeforeOpen", "deUpdateState", "AfterOpen", "AfterScroll"}},
        OrderCase{"Close", nullptr, [](TDataSet& d) { d.Close(); }, {"BeforeClose", "deUpdateState", "AfterClose"}},
        OrderCase{"First", nullptr, [](TDataSet& d) { d.First(); },
                  {"deCheckBrowseMode", "BeforeScroll", "deDataSetChange", "AfterScroll"}},
        OrderCase{"Next", nullptr, [](TDataSet& d) { d.Next(); }, kScroll},
        OrderCase{"Edit", nullptr, [](TDataSet& d) { d.Edit(); },
                  {"deCheckBrowseMode", "BeforeEdit", "deUpdateState", "deRecordChange", "AfterEdit"}},
        OrderCase{"Post", [](TDataSet& d) { d.Edit(); }, [](TDataSet& d) { d.Post(); },
                  {"deUpdateRecord", "deCheckBrowseMode", "BeforePost", "deUpdateState", "deDataSetChange",
                   "AfterPost"}},
        OrderCase{"Cancel", [](TDataSet& d) { d.Edit(); }, [](TDataSet& d) { d.Cancel(); },
                  {"deCheckBrowseMode", "BeforeCancel", "deUpdateState", "deDataSetChange", "AfterCancel"}},
        OrderCase{"Insert", nullptr, [](TDataSet& d) { d.Insert(); },
                  {"deCheckBrowseMode", "BeforeInsert", "BeforeScroll", "deUpdateState", "OnNewRecord",
                   "deDataSetChange", "AfterInsert", "AfterScroll"}},
        OrderCase{"Append", nullptr, [](TDataSet& d) { d.Append(); },
                  {"deCheckBrowseMode", "BeforeInsert", "BeforeScroll", "deUpdateState", "OnNewRecord",
                   "deDataSetChange", "AfterInsert", "AfterScroll"}},
        OrderCase{"CancelInsert", [](TDataSet& d) { d.Insert(); }, [](TDataSet& d) { d.Cancel(); },
                  {"deCheckBrowseMode", "BeforeCancel", "BeforeScroll", "deUpdateState", "deDataSetChange",
                   "AfterCancel", "AfterScroll"}},
        OrderCase{"Delete", nullptr, [](TDataSet& d) { d.Delete(); },
                  {"deCheckBrowseMode", "BeforeDelete", "BeforeScroll", "deDataSetChange", "AfterDelete",
                   "AfterScroll"}},
        OrderCase{"FieldWrite", [](TDataSet& d) { d.Edit(); },
                  [](TDataSet& d) { d.FieldByName("NAME")->SetAsString("x"); }, {"deFieldChange"}},
        // A modified edit is posted by the next move, an untouched one cancelled.
        OrderCase{"MoveAfterEdit",
                  [](TDataSet& d) {
                      d.Edit();
                      d.FieldByName("NAME")->SetAsString("x");
                  },
                  [](TDataSet& d) { d.Next(); },
                  {"deCheckBrowseMode", "deUpdateRecord", "deUpdateRecord", "deCheckBrowseMode", "BeforePost",
                   "deUpdateState", "deDataSetChange", "AfterPost", "BeforeScroll", "deDataSetScroll",
                   "AfterScroll"}},
        OrderCase{"MoveAfterUntouchedInsert", [](TDataSet& d) { d.Insert(); }, [](TDataSet& d) { d.Next(); },
                  {"deCheckBrowseMode", "deUpdateRecord", "deCheckBrowseMode", "BeforeCancel", "BeforeScroll",
                   "deUpdateState", "deDataSetChange", "AfterCancel", "AfterScroll", "BeforeScroll",
                   "deDataSetScroll", "AfterScroll"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A descendant that closes its cursor again at the end of OpenCursor, as a
// query does when its statement returned no rows.
class TClosingDataSet : public TLoggedDataSet {
public:
    using TLoggedDataSet::TLoggedDataSet;
    bool CloseDuringOpen = false;

protected:
    void OpenCursor(bool InfoQuery) override {
        TLoggedDataSet::OpenCursor(InfoQuery);
        if (CloseDuringOpen) CloseCursor();
    }
};

TEST(Opening, ACursorClosedAgainDuringOpenLeavesTheDataSetInactiveWithoutAfterOpen) {
    TClosingDataSet ds(nullptr, {{"ID", ftInteger}, {"NAME", ftString, 20}});
    ds.Open();
    ds.AppendRaw({1, "r"});
    ds.Close();
    TDataSource source(nullptr);
    source.SetDataSet(&ds);
    EventLog log;
    log.Attach(ds, source);
    ds.Seq = &log.Seq;

    ds.CloseDuringOpen = true;
    ds.ClearLog();
    ds.Open();
    EXPECT_EQ(log.Seq, (std::vector<std::string>{"BeforeOpen"}));
    EXPECT_EQ(ds.State(), dsInactive);
    EXPECT_FALSE(log.Link.Active());
    EXPECT_EQ(ds.Log.back(), "close");

    // Nothing is left half open: a later open is a full one.
    ds.CloseDuringOpen = false;
    log.Seq.clear();
    ds.Open();
    EXPECT_EQ(log.Seq, (std::vector<std::string>{"BeforeOpen", "deUpdateState", "AfterOpen", "AfterScroll"}));
    EXPECT_TRUE(log.Link.Active());
    EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 1);
    ds.Seq = nullptr;
    ds.Close();
}

std::vector<int> AllIds(TDataSet& ds) {
    std::vector<int> ids;
    ds.First();
    while (!ds.Eof()) {
        ids.push_back(ds.FieldByName("ID")->AsInteger());
        ds.Next();
    }
    return ids;
}

TEST(Editing, ChangesShowInLaterNavigation) {
    auto ds = MakeRows(4);
    ds->Next(); // ID 2
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("changed");
    EXPECT_TRUE(ds->Modified());
    EXPECT_EQ(ds->FieldByName("NAME")->OldValue().AsString(), "row2");
    ds->Post();
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "changed");
    EXPECT_EQ(ds->StoredValue(1, "NAME").AsString(), "changed");

    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("dropped");
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "changed");

    ds->First();
    ds->MoveBy(2); // in front of the third record
    ds->Insert();
    ds->FieldByName("ID")->SetAsInteger(10);
    ds->Post();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 10);
    ds->Append();
    ds->FieldByName("ID")->SetAsInteger(20);
    ds->Post();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 20);
    EXPECT_EQ(AllIds(*ds), (std::vector<int>{1, 2, 10, 3, 4, 20}));

    ds->First();
    ds->Next();
    ds->Delete(); // the next record becomes current
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 10);
    ds->Last();
    ds->Delete(); // deleting the last shows the one before
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4);
    EXPECT_EQ(AllIds(*ds), (std::vector<int>{1, 10, 3, 4}));
}

TEST(Editing, InsertIntoEmptyAndCancelledInsertLeaveNothingBehind) {
    auto ds = MakeRows(0);
    ds->Insert();
    EXPECT_FALSE(ds->IsEmpty()); // the record being inserted counts
    ds->Cancel();
    EXPECT_TRUE(ds->IsEmpty());
    ds->Edit(); // on an empty dataset Edit inserts
    EXPECT_EQ(ds->State(), dsInsert);
    ds->FieldByName("ID")->SetAsInteger(7);
    ds->Post();
    EXPECT_EQ(ds->StoredCount(), 1);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 7);
}

TEST(Editing, ReadsAroundPostWithoutControls) {
    auto ds = MakeRows(3);
    ds->Next();
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(99);
    ds->ClearLog();
    ds->Post();
    EXPECT_EQ(ds->Log, (std::vector<std::string>{"post", "current"}));

    ds->ClearLog();
    ds->Append();
    EXPECT_EQ(ds->Log, std::vector<std::string>{"insert"}); // nothing read with one buffer
    ds->FieldByName("ID")->SetAsInteger(4);
    ds->Post();
    EXPECT_EQ(ds->Log, (std::vector<std::string>{"insert", "last", "post", "current"}));
    EXPECT_TRUE(ds->Eof() == false && ds->Bof() == false);
}

TEST(Editing, AppendWithAWindowReadsTheRecordsBeforeTheEnd) {
    auto ds = MakeRows(10);
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetBufferCount(4);
    link.SetDataSource(&source);
    ds->ClearLog();
    ds->Append();
    EXPECT_EQ(ds->Log, (std::vector<std::string>{"last", "prior", "prior", "prior", "insert"}));
    EXPECT_FALSE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(link.ActiveRecord(), 3);
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 10);
}

TEST(Editing, OnNewRecordValuesAloneDoNotCountAsAModification) {
    auto ds = MakeRows(2);
    ds->OnNewRecord = [](TDataSet* d) { d->FieldByName("ID")->SetAsInteger(42); };
    ds->Append();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 42);
    EXPECT_FALSE(ds->Modified());
    ds->First(); // cancels the untouched record
    EXPECT_EQ(ds->StoredCount(), 2);
}

TEST(Editing, FailingOnNewRecordReturnsToBrowse) {
    auto ds = MakeRows(2);
    ds->OnNewRecord = [](TDataSet*) { throw Exception("no"); };
    EXPECT_THROW(ds->Insert(), Exception);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 1);
    EXPECT_EQ(ds->StoredCount(), 2);
}

TEST(Editing, PostErrorHandlerActions) {
    auto ds = MakeRows(2);
    TDataAction answer = daRetry;
    std::vector<std::string> seen;
    ds->OnPostError = [&](TDataSet*, EDatabaseError& e, TDataAction& action) {
        seen.push_back(e.Message());
        EXPECT_EQ(action, daFail);
        action = answer;
    };
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(5);
    ds->FailPosts = 1;
    ds->Post(); // retried
    EXPECT_EQ(seen, std::vector<std::string>{"Mem1: post failed"});
    EXPECT_EQ(ds->StoredValue(0, "ID").AsInteger(), 5);

    answer = daAbort;
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(6);
    ds->FailPosts = 1;
    EXPECT_THROW(ds->Post(), EAbort);
    EXPECT_EQ(ds->State(), dsEdit);

    answer = daFail;
    ds->FailPosts = 1;
    try {
        ds->Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Mem1: post failed");
    }
    ds->Cancel();
}

TEST(Editing, Refusals) {
    auto ds = MakeRows(2);
    auto message = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const Exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { ds->UpdateRecord(); }), "Mem1: Dataset not in edit or insert mode");
    EXPECT_EQ(message([&] { ds->FieldByName("ID")->SetAsInteger(1); }), "Mem1: Dataset not in edit or insert mode");
    ds->ReadOnlyData = true;
    EXPECT_EQ(message([&] { ds->Edit(); }), "Mem1: Cannot modify a read-only dataset");
    EXPECT_EQ(message([&] { ds->Insert(); }), "Mem1: Cannot modify a read-only dataset");
    EXPECT_EQ(message([&] { ds->Delete(); }), "Mem1: Cannot modify a read-only dataset");
    ds->ReadOnlyData = false;
    ds->FieldByName("ID")->SetReadOnly(true);
    ds->Edit();
    EXPECT_EQ(message([&] { ds->FieldByName("ID")->SetAsInteger(3); }), "Field 'ID' cannot be modified");
    ds->Cancel();
    auto empty = MakeRows(0);
    EXPECT_EQ(message([&] { empty->Delete(); }), "Mem1: Cannot perform this operation on an empty dataset");
    empty->Close();
    EXPECT_EQ(message([&] { empty->Next(); }), "Mem1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(message([&] { empty->Delete(); }), "Mem1: Cannot perform this operation on a closed dataset");
}

TEST(Editing, CloseDropsAPendingEditWithoutEvents) {
    auto ds = MakeRows(1);
    int events = 0;
    ds->BeforePost = ds->BeforeCancel = [&](TDataSet*) { ++events; };
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(9);
    ds->Close();
    EXPECT_EQ(events, 0);
    ds->Open();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 1);
}

TEST(Editing, InsertAndAppendRecord) {
    auto ds = MakeRows(2);
    ds->AppendRecord({3, "three"});
    ds->First();
    ds->InsertRecord({0, Variant()});
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 0);
    EXPECT_TRUE(ds->FieldByName("NAME")->IsNull());
    EXPECT_EQ(AllIds(*ds), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_THROW(ds->AppendRecord({1, "a", 3}), EDatabaseError);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->StoredCount(), 4);
}

} // namespace
} // namespace kestrel_test
