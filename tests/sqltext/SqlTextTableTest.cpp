// The text sent for SQL lines and parameter values, end to end through the
// string list's text form (every line ends with CR LF).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "QueryText.h"
#include "vcl/SysUtils.h"

using namespace vcl;

namespace {

struct TTextCase {
    const char* Lines;
    std::function<void(TParams&)> SetValues;
    std::vector<std::string> Names;  // the items, in occurrence order
    std::string Sent;
};

void None(TParams&) {}

} // namespace

TEST(SqlText, LinesAndValuesGiveTheTextSent) {
    const std::vector<TTextCase> cases = {
        {"select * from t where id = :id",
         [](TParams& p) { p.ParamByName("id")->SetAsInteger(5); }, {"id"},
         "select * from t where id = 5\r\n"},
        {"select * from t where n = :n",
         [](TParams& p) { p.ParamByName("n")->SetAsString("O'Neil"); }, {"n"},
         "select * from t where n = 'O''Neil'\r\n"},
        {"select * from t where n = :n",
         [](TParams& p) { p.ParamByName("n")->SetAsString("a''b"); }, {"n"},
         "select * from t where n = 'a''''b'\r\n"},
        {"select * from t where n = 'a:b' and m = :m",
         [](TParams& p) { p.ParamByName("m")->SetAsInteger(1); }, {"m"},
         "select * from t where n = 'a:b' and m = 1\r\n"},
        {"update t set x = :x -- :y",
         [](TParams& p) { p.ParamByName("x")->SetValue(Variant::Null()); }, {"x"},
         "update t set x = NULL -- :y\r\n"},
        {"select :a:b",
         [](TParams& p) {
             p.ParamByName("a")->SetAsInteger(1);
             p.ParamByName("b")->SetAsInteger(2);
         },
         {"a", "b"}, "select 12\r\n"},
        {"select : x", None, {}, "select : x\r\n"},
        {"select ::a", [](TParams& p) { p.ParamByName("a")->SetAsInteger(1); }, {"a"},
         "select :1\r\n"},
        {"insert t values (:x, :x)", [](TParams& p) { p.ParamByName("x")->SetAsInteger(3); },
         {"x", "x"}, "insert t values (3, NULL)\r\n"},
        {"select :1abc", [](TParams& p) { p.Items(0)->SetAsInteger(1); }, {"1abc"},
         "select 1\r\n"},
        // Double quotes and block comments hide colons too; a comment ends at
        // its line's end, so the next line's parameter counts.
        {"select \"a:b\" /* :c\r\n:d */, :e -- :f\r\n, :g",
         [](TParams& p) {
             p.ParamByName("e")->SetAsInteger(5);
             p.ParamByName("g")->SetAsString("x");
         },
         {"e", "g"}, "select \"a:b\" /* :c\r\n:d */, 5 -- :f\r\n, 'x'\r\n"},
        // Each line of the list ends with CR LF, which also ends a name.
        {"select :a\r\nfrom t where b = :b",
         [](TParams& p) {
             p.ParamByName("a")->SetAsInteger(1);
             p.ParamByName("b")->SetAsFloat(-2.5);
         },
         {"a", "b"}, "select 1\r\nfrom t where b = -2.5\r\n"},
        // A negative value after a minus must not become a line comment.
        {"select 10-:p", [](TParams& p) { p.ParamByName("p")->SetAsInteger(-5); }, {"p"},
         "select 10- -5\r\n"},
        {"select :a[1], :\xC4pfel\xFF", [](TParams& p) {
             p.Items(0)->SetAsInteger(1);
             p.Items(1)->SetAsInteger(2);
         },
         {"a[1]", "\xC4pfel\xFF"}, "select 1, 2\r\n"},
    };
    for (const TTextCase& c : cases) {
        SCOPED_TRACE(c.Lines);
        TQueryText q;
        q.SetLines(c.Lines);
        ASSERT_EQ(q.Params.Count(), static_cast<int>(c.Names.size()));
        for (int i = 0; i < q.Params.Count(); ++i) {
            EXPECT_EQ(q.Params.Items(i)->Name(), c.Names[static_cast<size_t>(i)]);
            EXPECT_EQ(q.Statement.Occurrence(i).Param, q.Params.Items(i));
        }
        c.SetValues(q.Params);
        EXPECT_EQ(q.Text(), c.Sent);
    }
}
