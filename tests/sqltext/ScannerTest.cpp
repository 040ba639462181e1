// The occurrence scanner on raw text, the re-parse that keeps values, and the
// name collector.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "QueryText.h"
#include "components/SybConnect/internal/SqlText.h"
#include "vcl/SysUtils.h"

using namespace vcl;
using SybConnect::TSqlStatement;

namespace {

struct TScanCase {
    std::string Text;
    std::vector<std::string> Names;
    std::vector<int32_t> Positions;
    std::vector<std::string> Before;
    std::string Tail;
};

std::string ListIndexError(const std::function<void()>& f) {
    try {
        f();
    } catch (const EListError& e) {
        return e.Message();
    }
    return "no EListError";
}

} // namespace

TEST(SqlScanner, FindsOccurrencesOutsideQuotesAndComments) {
    const std::vector<TScanCase> cases = {
        // A name that is still being read at the end is no occurrence.
        {"a :x b :yy", {"x"}, {4}, {"a "}, " b :yy"},
        {":a:b ", {"a", "b"}, {2, 4}, {"", ""}, " "},
        {"'it''s :no' :p ", {"p"}, {14}, {"'it''s :no' "}, " "},
        {"\"a\"\":no\" :p ", {"p"}, {11}, {"\"a\"\":no\" "}, " "},
        // Unterminated quotes and comments run to the end; the text stays as it is.
        {"select 'open :x, :y", {}, {}, {}, "select 'open :x, :y"},
        {"select \"open :x, :y", {}, {}, {}, "select \"open :x, :y"},
        {":p /* open :x\n:y", {"p"}, {2}, {""}, " /* open :x\n:y"},
        {"-- no line end :x", {}, {}, {}, "-- no line end :x"},
        {"-- c\r:x -- c\n:y ", {"x", "y"}, {7, 15}, {"-- c\r", " -- c\n"}, " "},
        // "/*/" opens a comment that the same slash does not close.
        {"/*/ :a */:b ", {"b"}, {11}, {"/*/ :a */"}, " "},
        // A single '-' or '/' starts nothing, also as the last character.
        {"x-:a/:b*:c -", {"a", "b", "c"}, {4, 7, 10}, {"x-", "/", "*"}, " -"},
        {"x /", {}, {}, {}, "x /"},
        // Name characters: digits, 'A'..'z' (with [ \ ] ^ _ `), 0xC0-0xFF.
        {":a[1] :1abc :\\^_` :\xC0\xFF ", {"a[1]", "1abc", "\\^_`", "\xC0\xFF"},
         {2, 8, 14, 20}, {"", " ", " ", " "}, " "},
        {":a\xBF:b@:c{:d/", {"a", "b", "c", "d"}, {2, 5, 8, 11}, {"", "\xBF", "@", "{"}, "/"},
        {": x ::", {}, {}, {}, ": x ::"},
        {"", {}, {}, {}, ""},
    };
    for (const TScanCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TParams target;
        TSqlStatement s;
        s.ParseSQL(target, c.Text);
        ASSERT_EQ(s.OccurrenceCount(), static_cast<int>(c.Names.size()));
        ASSERT_EQ(target.Count(), static_cast<int>(c.Names.size()));
        for (size_t i = 0; i < c.Names.size(); ++i) {
            const int index = static_cast<int>(i);
            EXPECT_EQ(target.Items(index)->Name(), c.Names[i]);
            EXPECT_EQ(target.Items(index)->DataType(), ftUnknown);
            EXPECT_EQ(target.Items(index)->ParamType(), ptUnknown);
            EXPECT_EQ(s.Occurrence(index).Param, target.Items(index));
            EXPECT_EQ(s.Occurrence(index).Position, c.Positions[i]);
            EXPECT_EQ(s.Occurrence(index).Text, c.Before[i]);
        }
        EXPECT_EQ(s.TailText(), c.Tail);
        // With no occurrences nothing is replaced: the text goes out as it is.
        if (c.Names.empty()) {
            EXPECT_EQ(s.GetSQLText(target, 0), c.Text);
        }
    }
}

TEST(SqlScanner, ParseReplacesOccurrencesAndAppendsToTarget) {
    TParams target;
    TSqlStatement s;
    s.ParseSQL(target, "select :a, :b ");
    s.ParseSQL(target, "select :c ");
    EXPECT_EQ(s.OccurrenceCount(), 1);
    EXPECT_EQ(s.Occurrence(0).Param, target.Items(2));
    EXPECT_EQ(target.Count(), 3);
    EXPECT_EQ(ListIndexError([&] { s.Occurrence(1); }), "List index out of bounds (1)");
}

// Arbitrary text: nothing is lost or moved; joining each occurrence's text,
// its colon and name, and the tail gives the text back.
TEST(SqlScanner, GeneratedTextReassemblesExactly) {
    const unsigned seed = 4711;
    std::cout << "seed " << seed << "\n";
    std::mt19937 rng(seed);
    const std::string alphabet = "':\"-/*\r\nab1[ \xC0\xBF";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), length(0, 30);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (size_t n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
        SCOPED_TRACE(::testing::PrintToString(text));
        TParams target;
        TSqlStatement s;
        s.ParseSQL(target, text);
        std::string joined;
        for (int i = 0; i < s.OccurrenceCount(); ++i) {
            const auto& m = s.Occurrence(i);
            const std::string& name = target.Items(i)->Name();
            ASSERT_FALSE(name.empty());
            ASSERT_EQ(text.substr(static_cast<size_t>(m.Position) - 2, name.size() + 1), ":" + name);
            joined += m.Text + ":" + name;
        }
        joined += s.TailText();
        ASSERT_EQ(joined, text);
    }
}

TEST(SqlReparse, SurvivingNameKeepsItsValueInItsFirstItem) {
    TQueryText q;
    q.SetLines("select :a, :b, :gone");
    q.Params.ParamByName("a")->SetAsString("kept");
    q.Params.ParamByName("b")->SetAsInteger(7);
    q.Params.ParamByName("gone")->SetAsInteger(9);

    q.SQL.Add("where :c = :A and :b = :a");  // an in-place edit re-parses too
    ASSERT_EQ(q.Params.Count(), 7);
    EXPECT_EQ(q.Params.Items(0)->AsString(), "kept");
    EXPECT_EQ(q.Params.Items(0)->DataType(), ftString);
    EXPECT_TRUE(q.Params.Items(0)->Bound());
    EXPECT_EQ(q.Params.Items(1)->AsInteger(), 7);
    EXPECT_TRUE(q.Params.Items(4)->IsNull());  // only the first item of a name takes a value
    EXPECT_EQ(q.Text(), "select 'kept', 7, 9\r\nwhere NULL = NULL and NULL = NULL\r\n");

    // With a name repeated in the old list, its last item wins: the second b
    // was never set.
    q.SetLines("select :B, :GONE");
    ASSERT_EQ(q.Params.Count(), 2);
    EXPECT_EQ(q.Params.Items(1)->Name(), "gone");  // the old item's name, case included
    EXPECT_FALSE(q.Params.Items(0)->Bound());
    EXPECT_EQ(q.Statement.Occurrence(1).Param, q.Params.Items(1));
    EXPECT_EQ(q.Text(), "select NULL, 9\r\n");
}

TEST(SqlReparse, FewerItemsThanOccurrencesIsTheListIndexError) {
    TQueryText q;
    q.SetLines("select :a, :b");
    q.Params.Items(0)->SetAsInteger(1);
    q.Params.Items(1)->SetAsInteger(2);
    delete q.Params.Items(0);  // leaves one item, for the second occurrence's index 0
    EXPECT_EQ(ListIndexError([&] { q.Text(); }), "List index out of bounds (1)");
    q.Params.Clear();
    EXPECT_EQ(ListIndexError([&] { q.Text(); }), "List index out of bounds (0)");

    // Extra items are ignored.
    q.SetLines("select :a");
    q.Params.CreateParam(ftInteger, "extra", ptInput)->SetAsString("x");
    q.Params.Items(0)->SetAsInteger(4);
    EXPECT_EQ(q.Text(), "select 4\r\n");
}

TEST(SqlParseParams, OneItemPerDistinctNameQuotesIncluded) {
    TParams target;
    target.CreateParam(ftInteger, "old", ptInput);
    SybConnect::ParseParams(target, "select :a, :A, ': b', :a, ::c -- :d\n: :e");
    ASSERT_EQ(target.Count(), 4);
    const char* names[] = {"a", "c", "d", "e"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(target.Items(i)->Name(), names[i]);
        EXPECT_EQ(target.Items(i)->DataType(), ftUnknown);
        EXPECT_EQ(target.Items(i)->ParamType(), ptUnknown);
    }
    SybConnect::ParseParams(target, "no names:");
    EXPECT_EQ(target.Count(), 0);
}
