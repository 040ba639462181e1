#include <gtest/gtest.h>

#include "vcl/Classes.h"

using namespace vcl;

namespace {

// A list that counts its notifications.
class CountingList : public ::testing::Test {
protected:
    void SetUp() override {
        List.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &List);
            ++Changes;
        };
        List.OnChanging = [this](TObject*) { ++Changings; };
    }
    void Reset() { Changes = Changings = 0; }

    TStringList List;
    int Changes = 0;
    int Changings = 0;
};

std::vector<std::string> Lines(const TStrings& s) {
    std::vector<std::string> out;
    for (int i = 0; i < s.Count(); ++i) out.push_back(s[i]);
    return out;
}

} // namespace

TEST(StringList, TextFormUsesCrLf) {
    TStringList l;
    EXPECT_EQ(l.GetText(), "");
    l.Add("a");
    l.Add("b");
    l.Add("");
    EXPECT_EQ(l.GetText(), "a\r\nb\r\n\r\n");

    const struct {
        const char* Text;
        std::vector<std::string> Lines;
    } rows[] = {
        {"", {}},
        {"x\r\ny\nz\rw", {"x", "y", "z", "w"}},
        {"a\r\n", {"a"}},
        {"\r\n", {""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\rb\n", {"a", "", "b"}},
        {"no break", {"no break"}},
    };
    for (const auto& r : rows) {
        l.SetText(r.Text);
        EXPECT_EQ(Lines(l), r.Lines) << "text " << r.Text;
    }
    l.SetText("one\ntwo");
    EXPECT_EQ(l.GetText(), "one\r\ntwo\r\n");
}

TEST_F(CountingList, EveryChangeOutsideUpdatesNotifies) {
    List.Add("a");
    List.Insert(0, "b");
    List.Put(1, "c");
    List.Exchange(0, 1);
    List.Delete(0);
    EXPECT_EQ(Changes, 5);
    EXPECT_EQ(Changings, 5);
    List.Clear();
    EXPECT_EQ(Changes, 6);
    Reset();
    List.Clear();  // already empty: no change
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Changings, 0);
}

TEST_F(CountingList, UpdatesNotifyOnceAtTheOutermostEnd) {
    List.BeginUpdate();
    List.BeginUpdate();
    List.Add("a");
    List.Add("b");
    List.EndUpdate();
    EXPECT_EQ(Changes, 0);
    List.Add("c");
    List.EndUpdate();
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Changings, 1);

    Reset();
    List.BeginUpdate();  // nothing changes, still one OnChange
    List.EndUpdate();
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Changings, 1);

    Reset();
    List.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(List.UpdateCount(), 0);
}

TEST_F(CountingList, AssignAndSetTextAreOneUpdate) {
    TStringList source;
    TObject tag;
    source.Add("x");
    source.AddObject("y", &tag);
    source.Add("z");
    List.Add("old");
    Reset();
    List.Assign(source);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Changings, 1);
    EXPECT_EQ(Lines(List), Lines(source));
    EXPECT_EQ(List.GetObject(1), &tag);
    EXPECT_TRUE(List.Equals(source));

    Reset();
    List.SetText("1\r\n2\r\n3");
    EXPECT_EQ(Changes, 1);
    List.Assign(List);  // self-assignment keeps the lines
    EXPECT_EQ(List.Count(), 3);
    List.AddStrings(List);  // adding a list to itself copies it once
    EXPECT_EQ(Lines(List), (std::vector<std::string>{"1", "2", "3", "1", "2", "3"}));
}

TEST_F(CountingList, IndexErrors) {
    List.Add("a");
    try {
        (void)List.Get(5);
        FAIL() << "no error";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(List.Put(-1, "x"), EListError);
    EXPECT_THROW(List.Delete(1), EStringListError);
    EXPECT_THROW(List.Insert(2, "x"), EStringListError);
    EXPECT_THROW(List.Exchange(0, 1), EStringListError);
    Reset();
    List.Insert(1, "end");  // at Count is an append
    EXPECT_EQ(List[1], "end");
    EXPECT_EQ(Changes, 1);
}

TEST(StringList, SearchingAndValues) {
    TStringList l;
    l.SetText("Alpha\nname=value\nBeta\nother=1=2");
    EXPECT_EQ(l.IndexOf("ALPHA"), 0);
    EXPECT_EQ(l.IndexOf("gamma"), -1);
    EXPECT_EQ(l.IndexOfName("NAME"), 1);
    EXPECT_EQ(l.GetValue("name"), "value");
    EXPECT_EQ(l.GetValue("other"), "1=2");
    EXPECT_EQ(l.GetName(1), "name");
    l.SetValue("name", "new");
    EXPECT_EQ(l[1], "name=new");
    l.SetValue("added", "x");
    EXPECT_EQ(l[4], "added=x");
    l.SetValue("name", "");
    EXPECT_EQ(l.IndexOfName("name"), -1);
    l.Move(0, 2);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"Beta", "other=1=2", "Alpha", "added=x"}));
}

TEST(StringList, CommaText) {
    TStringList l;
    l.Add("plain");
    l.Add("with space");
    l.Add("a,b");
    l.Add("say \"hi\"");
    l.Add("");
    const std::string text = l.GetCommaText();
    EXPECT_EQ(text, "plain,\"with space\",\"a,b\",\"say \"\"hi\"\"\",");
    TStringList back;
    back.SetCommaText(text + ",last");
    EXPECT_EQ(Lines(back), (std::vector<std::string>{"plain", "with space", "a,b", "say \"hi\"", "", "last"}));
    back.SetCommaText("  x ,  y  z");
    EXPECT_EQ(Lines(back), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(StringList, StreamsRoundTrip) {
    TStringList l;
    l.SetText("one\ntwo");
    TMemoryStream s;
    l.SaveToStream(s);
    EXPECT_EQ(s.Size(), 10);
    s.SetPosition(0);
    TStringList back;
    back.LoadFromStream(s);
    EXPECT_EQ(Lines(back), Lines(l));
}
