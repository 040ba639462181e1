// The record-buffer window: reads per operation, Bof/Eof, scrolling through
// many records with a multi-row link, filtering, bookmarks.
#include "Fixture.h"

namespace kestrel_test {
namespace {

std::vector<int> Ids(int from, int to, int step = 1) {
    std::vector<int> v;
    if (step > 0)
        for (int i = from; i <= to; i += step) v.push_back(i);
    else
        for (int i = from; i >= to; i += step) v.push_back(i);
    return v;
}

int CurrentId(TDataSet& ds) { return ds.FieldByName("ID")->AsInteger(); }

TEST(Navigation, WithoutControlsEachMoveReadsOneRecord) {
    auto ds = MakeRows(5);
    EXPECT_EQ(ds->BufferCount(), 1);

    ds->Close();
    ds->ClearLog();
    ds->Open();
    EXPECT_EQ(ds->Count("next"), 1);
    EXPECT_EQ(ds->Count("prior"), 0);
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());

    struct Step {
        const char* name;
        std::function<void()> op;
        std::vector<std::string> log;
        int id;
        bool bof, eof;
    } steps[] = {
        {"Last", [&] { ds->Last(); }, {"last", "prior"}, 5, false, true},
        {"First", [&] { ds->First(); }, {"first", "next"}, 1, true, false},
        {"Next", [&] { ds->Next(); }, {"next"}, 2, false, false},
        {"Prior", [&] { ds->Prior(); }, {"prior"}, 1, false, false},
        {"Prior at start", [&] { ds->Prior(); }, {"prior"}, 1, true, false},
        // The failed read left the cursor position unknown: it is set again first.
        {"MoveBy(3)", [&] { ds->MoveBy(3); }, {"setto:0", "next", "next", "next"}, 4, false, false},
        {"Next x2 past end", [&] { ds->MoveBy(2); }, {"next", "next"}, 5, false, true},
    };
    for (auto& s : steps) {
        ds->ClearLog();
        s.op();
        EXPECT_EQ(ds->Log, s.log) << s.name;
        EXPECT_EQ(CurrentId(*ds), s.id) << s.name;
        EXPECT_EQ(ds->Bof(), s.bof) << s.name;
        EXPECT_EQ(ds->Eof(), s.eof) << s.name;
    }
}

TEST(Navigation, RefusedMoveFiresOnlyBeforeScroll) {
    auto ds = MakeRows(2);
    ds->Last();
    std::vector<std::string> events;
    ds->BeforeScroll = [&](TDataSet*) { events.push_back("before"); };
    ds->AfterScroll = [&](TDataSet*) { events.push_back("after"); };
    ds->ClearLog();
    EXPECT_EQ(ds->MoveBy(1), 0);
    EXPECT_EQ(events, std::vector<std::string>{"before"});
    EXPECT_TRUE(ds->Log.empty());
    // Next on the last record (Eof not yet known) reads, fails, and still scrolls.
    ds->Prior();
    ds->Next();
    events.clear();
    ds->ClearLog();
    ds->Next();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(CurrentId(*ds), 2);
    EXPECT_EQ(events, (std::vector<std::string>{"before", "after"}));
}

TEST(Navigation, EmptyDataSet) {
    auto ds = MakeRows(0);
    ds->Close();
    ds->ClearLog();
    int afterScroll = 0;
    ds->AfterScroll = [&](TDataSet*) { ++afterScroll; };
    ds->Open();
    EXPECT_EQ(ds->Count("next"), 1);
    EXPECT_EQ(ds->Count("prior"), 1);
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(afterScroll, 0); // no AfterScroll on opening an empty dataset
    ds->First();
    EXPECT_EQ(afterScroll, 1); // but First fires it anyway
    EXPECT_TRUE(ds->FieldByName("ID")->IsNull());
    EXPECT_EQ(ds->GetBookmark(), nullptr);
    EXPECT_EQ(ds->Bookmark(), "");
    ds->Close();
    EXPECT_TRUE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
}

struct ScrollCase {
    const char* name;
    bool filter;
    int bufferCount;
};

class WindowScroll : public ::testing::TestWithParam<ScrollCase> {};

// A grid-like link scrolls through every record forward and back and sees each
// exactly once, in order; each record is read from the descendant once per pass.
TEST_P(WindowScroll, SeesEveryRecordOnceInOrder) {
    const ScrollCase c = GetParam();
    auto ds = MakeRows(10000);
    if (c.filter) {
        ds->SetOnFilterRecord([](TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() % 2 == 0; });
        ds->SetFiltered(true);
    }
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetBufferCount(c.bufferCount);
    link.SetDataSource(&source);
    ASSERT_EQ(ds->BufferCount(), c.bufferCount);

    const int step = c.filter ? 2 : 1;
    const int visible = 10000 / step;
    ds->ClearLog();
    link.Seen.clear();
    ds->First();
    while (!ds->Eof()) {
        // Every row of the link's window holds consecutive records.
        const int active = link.ActiveRecord();
        link.SetActiveRecord(0);
        const int first = CurrentId(*ds);
        for (int row = 1; row < link.RecordCount(); ++row) {
            link.SetActiveRecord(row);
            ASSERT_EQ(CurrentId(*ds), first + row * step);
        }
        link.SetActiveRecord(active);
        ds->Next();
    }
    // The final Next fails and repeats the last record.
    ASSERT_EQ(link.Seen.size(), static_cast<size_t>(visible + 1));
    link.Seen.pop_back();
    EXPECT_EQ(link.Seen, Ids(step, 10000, step));
    // Each stored record is read once, plus the one failing read at the end.
    EXPECT_EQ(ds->Count("next"), 10001);
    EXPECT_EQ(ds->Count("setto:9999") + ds->Count("prior"), 0);

    link.Seen.clear();
    ds->ClearLog();
    while (!ds->Bof()) ds->Prior();
    ASSERT_EQ(link.Seen.size(), static_cast<size_t>(visible));
    link.Seen.pop_back();
    std::vector<int> back = Ids(10000 - step, step, -step);
    EXPECT_EQ(link.Seen, back);
    // Backward, the records before the window are read once each, plus the
    // failing read; the cursor is set back to the window's first row once.
    const int firstInWindow = 10000 - (c.bufferCount - 1) * step;
    EXPECT_EQ(ds->Count("prior"), firstInWindow);
    EXPECT_EQ(ds->Count("next"), 0);
    int settos = 0;
    for (auto& e : ds->Log) settos += e.rfind("setto:", 0) == 0;
    EXPECT_EQ(settos, 1);
    EXPECT_EQ(CurrentId(*ds), step);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowScroll,
                         ::testing::Values(ScrollCase{"plain", false, 5}, ScrollCase{"filtered", true, 5},
                                           ScrollCase{"singlerow", false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Navigation, WindowRowsAreConsecutiveRecords) {
    auto ds = MakeRows(20);
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetBufferCount(4);
    link.SetDataSource(&source);
    ds->First();
    ds->ClearLog();
    ds->MoveBy(3); // inside the window: no reads
    EXPECT_TRUE(ds->Log.empty());
    ds->MoveBy(2); // two fetches, the window scrolls by two
    EXPECT_EQ(ds->Count("next"), 2);
    EXPECT_EQ(link.Scrolls.back(), 2); // the link's rows moved two down to keep up
    const int active = link.ActiveRecord();
    std::vector<int> rows;
    for (int r = 0; r < link.RecordCount(); ++r) {
        link.SetActiveRecord(r);
        rows.push_back(CurrentId(*ds));
    }
    link.SetActiveRecord(active);
    EXPECT_EQ(rows, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(CurrentId(*ds), 6);
}

TEST(Navigation, BookmarksSurviveScrolling) {
    auto ds = MakeRows(300);
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetBufferCount(5);
    link.SetDataSource(&source);
    ds->First();
    ds->MoveBy(136);
    ASSERT_EQ(CurrentId(*ds), 137);
    TBookmark bm = ds->GetBookmark();
    const TBookmarkStr str = ds->Bookmark();
    ASSERT_NE(bm, nullptr);
    ASSERT_EQ(str.size(), 4u);
    ds->Last();
    ds->First();
    ds->MoveBy(10);
    TBookmark other = ds->GetBookmark();
    EXPECT_TRUE(ds->BookmarkValid(bm));
    EXPECT_GT(ds->CompareBookmarks(bm, other), 0);

    ds->ClearLog();
    ds->GotoBookmark(bm);
    EXPECT_EQ(CurrentId(*ds), 137);
    EXPECT_EQ(ds->Log.front(), "goto:136");
    EXPECT_EQ(link.ActiveRecord(), 2); // centred in the five rows
    EXPECT_FALSE(ds->Bof());
    EXPECT_FALSE(ds->Eof());

    ds->First();
    ds->SetBookmark(str);
    EXPECT_EQ(CurrentId(*ds), 137);

    int scrolls = 0;
    ds->BeforeScroll = [&](TDataSet*) { ++scrolls; };
    ds->SetBookmark("");
    EXPECT_EQ(scrolls, 0);
    ds->FreeBookmark(bm);
    ds->FreeBookmark(other);
}

TEST(Navigation, GotoBookmarkOfMissingRecordFails) {
    auto ds = MakeRows(3);
    ds->Last();
    const TBookmarkStr str = ds->Bookmark();
    ds->Delete();
    try {
        ds->SetBookmark(str);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Mem1: Record not found");
    }
}

TEST(Navigation, GrowingALinksWindowReadsMoreRecords) {
    auto ds = MakeRows(10);
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    ds->ClearLog();
    link.SetBufferCount(4);
    EXPECT_EQ(ds->BufferCount(), 4);
    EXPECT_EQ(link.RecordCount(), 4);
    EXPECT_EQ(ds->Count("next"), 3);
    link.SetBufferCount(2);
    EXPECT_EQ(link.RecordCount(), 2);
    EXPECT_EQ(CurrentId(*ds), 1);
}

TEST(Navigation, FailedBufferAllocationLeavesTheDataSetClosed) {
    auto ds = MakeRows(3);
    ds->Close();
    ds->AllocBudget = 1; // the window needs two
    EXPECT_THROW(ds->Open(), Exception);
    EXPECT_FALSE(ds->Active());
    EXPECT_EQ(ds->Log.back(), "close");
    ds->AllocBudget = -1;
    ds->Open();
    EXPECT_EQ(CurrentId(*ds), 1);
}

TEST(Navigation, RecNoAndRecordCountCountStoredRecords) {
    auto ds = MakeRows(6);
    ds->SetOnFilterRecord([](TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() > 2; });
    ds->SetFiltered(true);
    EXPECT_EQ(CurrentId(*ds), 3);
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_EQ(ds->RecordCount(), 4);
    EXPECT_FALSE(ds->IsSequenced());
}

} // namespace
} // namespace kestrel_test
