// Data sources and links: what reaches a link, state following, disabling
// controls, circular master/detail chains, detaching on destruction.
#include "Fixture.h"

namespace kestrel_test {
namespace {

TEST(DataSource, PassesEventsToItsLinks) {
    auto ds = MakeRows(3);
    ds->Close();
    TDataSource source(nullptr);
    std::vector<std::string> sourceEvents;
    source.OnStateChange = [&](TObject*) { sourceEvents.push_back("state"); };
    source.OnDataChange = [&](TObject*, TField* f) { sourceEvents.push_back(f ? "data:" + f->FieldName() : "data"); };
    source.OnUpdateData = [&](TObject*) { sourceEvents.push_back("update"); };
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(source.State(), dsInactive);

    ds->Open();
    EXPECT_TRUE(link.Active());
    ds->Next();
    ds->First();
    ds->Edit();
    EXPECT_TRUE(link.Editing());
    ds->FieldByName("NAME")->SetAsString("x");
    ds->Post();
    ds->Close();
    EXPECT_EQ(link.Events, (std::vector<std::string>{"active", "checkbrowse", "scrolled", "checkbrowse", "changed",
                                                      "checkbrowse", "editing", "record", "field:NAME", "updatedata",
                                                      "checkbrowse", "browsing", "changed", "inactive"}));
    EXPECT_EQ(sourceEvents, (std::vector<std::string>{"state", "data", "data", "data", "state", "data", "data:NAME",
                                                      "update", "state", "data", "state"}));
}

TEST(DataSource, DisabledSourceLooksClosedToItsLinks) {
    auto ds = MakeRows(2);
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    ASSERT_TRUE(link.Active());
    source.SetEnabled(false);
    EXPECT_FALSE(link.Active());
    link.Events.clear();
    ds->Next();
    EXPECT_TRUE(link.Events.empty());
    source.SetEnabled(true);
    EXPECT_TRUE(link.Active());
}

TEST(DataSource, DisableControlsHoldsEventsBack) {
    auto ds = MakeRows(5);
    TDataSource source(nullptr);
    source.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    link.Events.clear();
    ds->DisableControls();
    ds->DisableControls();
    EXPECT_TRUE(ds->ControlsDisabled());
    ds->Next();
    ds->Edit();
    ds->Cancel();
    ds->EnableControls();
    EXPECT_TRUE(link.Events.empty());
    ds->EnableControls();
    EXPECT_FALSE(ds->ControlsDisabled());
    EXPECT_EQ(link.Events, std::vector<std::string>{"changed"});
    ds->EnableControls(); // never below zero
    EXPECT_FALSE(ds->ControlsDisabled());
}

// A dataset that follows a master source, as a detail query does.
class TDetailMem : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    TDataSource* GetDataSource() override { return FLink.DataSource(); }
    void SetDataSource(TDataSource* Value) {
        if (IsLinkedTo(Value)) DatabaseError("Circular datalinks are not allowed", this);
        FLink.SetDataSource(Value);
    }
    struct Link : TDetailDataLink {
        TDataSet* Detail = nullptr;
        TDataSet* GetDetailDataSet() override { return Detail; }
    } FLink;
};

TEST(DataSource, CircularLinksAreRefused) {
    TDetailMem a(nullptr, {{"ID", ftInteger}});
    TDetailMem b(nullptr, {{"ID", ftInteger}});
    a.SetName("A");
    b.SetName("B");
    a.FLink.Detail = &a;
    TDataSource sa(nullptr), sb(nullptr);
    sa.SetDataSet(&a);
    sb.SetDataSet(&b);
    b.SetDataSource(&sa);
    EXPECT_TRUE(b.IsLinkedTo(&sb));
    EXPECT_TRUE(a.IsLinkedTo(&sb)); // sb -> b -> sa -> a
    EXPECT_FALSE(a.IsLinkedTo(nullptr));
    try {
        a.SetDataSource(&sb);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "A: Circular datalinks are not allowed");
    }
    EXPECT_EQ(a.GetDataSource(), nullptr);
    EXPECT_EQ(a.FLink.DetailDataSet(), &a);
    // A dataset following its own source is a loop too.
    EXPECT_THROW(a.SetDataSource(&sa), EDatabaseError);
    TDataSource loop(nullptr);
    loop.SetName("Loop");
    b.SetDataSource(&loop);
    try {
        loop.SetDataSet(&b);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Loop: Circular datalinks are not allowed");
    }
    EXPECT_EQ(loop.DataSet(), nullptr);
    b.SetDataSource(nullptr);
}

TEST(DataSource, DestroyingEitherSideDetaches) {
    TRecordingLink link;
    auto source = std::make_unique<TDataSource>(nullptr);
    {
        auto ds = MakeRows(2);
        source->SetDataSet(ds.get());
        link.SetDataSource(source.get());
        ASSERT_TRUE(link.Active());
    }
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
    source.reset();
    EXPECT_EQ(link.DataSource(), nullptr);
}

TEST(DataSource, FixedDataSourceCannotChange) {
    TDataSource a(nullptr), b(nullptr);
    TRecordingLink link;
    link.SetDataSource(&a);
    link.SetDataSourceFixed(true);
    EXPECT_THROW(link.SetDataSource(&b), EDatabaseError);
    EXPECT_EQ(link.DataSource(), &a);
    link.SetDataSourceFixed(false);
}

} // namespace
} // namespace kestrel_test
