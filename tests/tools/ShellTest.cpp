// kestrel-sql run as a program on scripts, its output compared with the text
// a person would read (timings left out or masked).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "sandbox/testing/SandboxProcess.h"
#include "tests/tools/RunShell.h"

namespace {

using ShellTests::MaskTiming;
using ShellTests::RunShell;

// A script file that goes away with the test.
class TScriptFile {
public:
    explicit TScriptFile(const std::string& text) {
        std::string name = (std::filesystem::temp_directory_path() / "kestrel-sql-test-XXXXXX").string();
        const int fd = ::mkstemp(name.data());
        if (fd >= 0) ::close(fd);
        FPath = name;
        std::ofstream(FPath) << text;
    }
    ~TScriptFile() { std::remove(FPath.c_str()); }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// Without -S the shell starts its own sandbox with the sample database.
TEST(Shell, AScriptOnStandardInputAgainstTheSandboxItStarts) {
    const auto run = RunShell({"--no-timing"},
                              "select id, name from customers where id <= 2\n"
                              "print 'between the results'\n"
                              "select count(*) as orders from orders\n"
                              "go\n"
                              "\\set cust 2\n"
                              "exec sp_customer_orders :cust\n"
                              "go\n"
                              "declare @n int, @t money\n"
                              "exec sp_order_stats :cust, @n output, @t output\n"
                              "go\n"
                              "select nosuch from customers\n"
                              "go\n"
                              "select id, total, note from orders\n"
                              "go\n"
                              "\\sort total desc\n"
                              "\\locate note gift\n"
                              "\\filter total >= 100\n"
                              "\\filter off\n");
    EXPECT_EQ(run.Out,
              "id  name\n"
              "--  -------------\n"
              " 1  Ada Lovelace\n"
              " 2  Blaise Pascal\n"
              "(2 rows)\n"
              "-- between the results\n"
              "\n"
              "orders\n"
              "------\n"
              "     6\n"
              "(1 row)\n"
              "\n"
              " id  ordered               total  note\n"
              "---  -------------------  ------  -------\n"
              "103  2020-02-12 08:15:00  300.00  express\n"
              "104  2020-03-01 17:45:00   15.99  NULL\n"
              "105  2020-03-02 10:00:00   42.00  gift\n"
              "(3 rows)\n"
              "\n"
              "return status = 3\n"
              "\n"
              "name           city\n"
              "-------------  -----\n"
              "Blaise Pascal  Paris\n"
              "(1 row)\n"
              "\n"
              "return status = 0\n"
              "output parameters:\n"
              "  @count = 3\n"
              "  @total = 357.99\n"
              "\n"
              "\n"
              " id   total  note\n"
              "---  ------  -----------\n"
              "101  120.50  first order\n"
              "102   75.25  NULL\n"
              "103  300.00  express\n"
              "104   15.99  NULL\n"
              "105   42.00  gift\n"
              "106  999.99  NULL\n"
              "(6 rows)\n"
              "\n"
              " id   total  note\n"
              "---  ------  -----------\n"
              "106  999.99  NULL\n"
              "103  300.00  express\n"
              "101  120.50  first order\n"
              "102   75.25  NULL\n"
              "105   42.00  gift\n"
              "104   15.99  NULL\n"
              "(6 rows)\n"
              "\n"
              "found at row 5 of 6:\n"
              " id  total  note\n"
              "---  -----  ----\n"
              "105  42.00  gift\n"
              "(1 row)\n"
              "\n"
              " id   total  note\n"
              "---  ------  -----------\n"
              "106  999.99  NULL\n"
              "103  300.00  express\n"
              "101  120.50  first order\n"
              "(3 rows)\n"
              "\n"
              " id   total  note\n"
              "---  ------  -----------\n"
              "106  999.99  NULL\n"
              "103  300.00  express\n"
              "101  120.50  first order\n"
              "102   75.25  NULL\n"
              "105   42.00  gift\n"
              "104   15.99  NULL\n"
              "(6 rows)\n"
              "\n");
    // The failing statement is reported on stderr and the session went on.
    EXPECT_NE(run.Err.find("error: Message 207,Level 16: Invalid column name 'nosuch'.\n"), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("kestrel-sql: started kestrel-sandbox on 127.0.0.1:"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Status, 1);
}

class ShellOnAServer : public ::testing::Test {
protected:
    sandbox::testing::TSandboxProcess Server{[] {
        sandbox::testing::TSandboxOptions o;
        o.Password = "secret";
        return o;
    }()};
    std::vector<std::string> Login(std::vector<std::string> more) const {
        std::vector<std::string> args = {"-S", Server.Address(), "-P", "secret", "-D", "kestrel_sample"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
};

TEST_F(ShellOnAServer, EachDashERunsAsABatchWithItsTimingAndEcho) {
    const auto run = RunShell(Login({"--echo", "-e", "select name from customers where id = 1", "-e", "select 'x' as s"}));
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(MaskTiming(run.Out),
              "> select name from customers where id = 1\n"
              "> go\n"
              "name\n"
              "------------\n"
              "Ada Lovelace\n"
              "(1 row)\n"
              "(batch took T)\n"
              "\n"
              "> select 'x' as s\n"
              "> go\n"
              "s\n"
              "-\n"
              "x\n"
              "(1 row)\n"
              "(batch took T)\n"
              "\n");
}

TEST_F(ShellOnAServer, AScriptFileWithStringAndDateParametersAndAFilter) {
    const TScriptFile script(
        "\\set who 'Blaise Pascal'\n"
        "\\set since 2020-03-01\n"
        "select o.id, o.total, o.ordered from orders o, customers c\n"
        "where o.customer_id = c.id and c.name = :who and o.ordered >= :since\n"
        "order by o.id\n"
        "go\n"
        "\\filter ordered < 2020-03-02 00:00\n"
        "\\locate id 105\n"
        "\\filter total=42\n"
        "\\filter nosuch = 1\n"
        "\\filter total = cheap\n"
        "\\set x\n"
        "select :x\n"
        "go\n"
        "\\q\n"
        "select 'never run'\n");
    const auto run = RunShell(Login({"--no-timing", script.Path()}));
    EXPECT_EQ(run.Out,
              " id  total  ordered\n"
              "---  -----  -------------------\n"
              "104  15.99  2020-03-01 17:45:00\n"
              "105  42.00  2020-03-02 10:00:00\n"
              "(2 rows)\n"
              "\n"
              " id  total  ordered\n"
              "---  -----  -------------------\n"
              "104  15.99  2020-03-01 17:45:00\n"
              "(1 row)\n"
              "\n"
              "no row where id = 105\n"
              "\n"
              " id  total  ordered\n"
              "---  -----  -------------------\n"
              "105  42.00  2020-03-02 10:00:00\n"
              "(1 row)\n"
              "\n"
              "\n");
    EXPECT_EQ(run.Err,
              "error: the last result has no column 'nosuch' (its columns: id, total, ordered)\n"
              "error: 'cheap' is not a number for the column total\n"
              "error: \\set needs a name and a value\n"
              "error: no value for the parameter :x (give it one with \\set x VALUE)\n");
    EXPECT_EQ(run.Status, 1);
}

TEST_F(ShellOnAServer, AWrongPasswordEndsWithTheServersAnswer) {
    const auto run = RunShell({"-S", Server.Address(), "-P", "wrong", "-e", "select 1"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("kestrel-sql: cannot connect to " + Server.Address() + ": ", 0), 0u) << run.Err;
}

TEST(ShellCommandLine, BadArgumentsAreRefusedBeforeAnythingStarts) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"--bogus"}, 2, "kestrel-sql: unknown option '--bogus'\n"},
        {{"-S"}, 2, "kestrel-sql: option -S needs a value\n"},
        {{"-e", "select 1", "script.sql"}, 2, "kestrel-sql: give either -e or a script file, not both ('script.sql')\n"},
        {{"/nonexistent/script.sql"}, 2, "kestrel-sql: cannot read '/nonexistent/script.sql': No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunShell(c.args);
        EXPECT_EQ(run.Status, c.status) << c.args[0];
        EXPECT_EQ(run.Err.substr(0, c.err.size()), c.err) << c.args[0];
        EXPECT_EQ(run.Out, "") << c.args[0];
    }
    const auto help = RunShell({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("usage: kestrel-sql [-S host:port]", 0), 0u) << help.Out;
}

} // namespace
