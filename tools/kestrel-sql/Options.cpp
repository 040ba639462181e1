#include "tools/kestrel-sql/Options.h"

namespace KestrelSql {

TOptions ParseOptions(int argc, char** argv) {
    TOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw EUsage("option " + a + " needs a value");
            return argv[++i];
        };
        if (a == "-h" || a == "--help") o.Help = true;
        else if (a == "-S") o.Server = value();
        else if (a == "-U") o.User = value();
        else if (a == "-P") o.Password = value();
        else if (a == "-D") o.Database = value();
        else if (a == "-e") o.Statements.push_back(value());
        else if (a == "--no-timing") o.Timing = false;
        else if (a == "--echo") o.Echo = true;
        else if (a.size() > 1 && a[0] == '-') throw EUsage("unknown option '" + a + "'");
        else if (!o.File.empty()) throw EUsage("more than one script given: '" + o.File + "' and '" + a + "'");
        else o.File = a;
    }
    if (!o.File.empty() && !o.Statements.empty())
        throw EUsage("give either -e or a script file, not both ('" + o.File + "')");
    if (o.Server.empty() && o.Database.empty()) o.Database = "kestrel_sample";
    return o;
}

std::string CommandHelpText() {
    return "Commands (each on a line of its own):\n"
           "  go                   run the batch typed so far (also at the end of the input and of -e)\n"
           "  \\set NAME VALUE      give :NAME in later batches a value: 42, -1.5, 'text' ('' for a quote),\n"
           "                       2020-01-31 or 2020-01-31 14:30[:00[.000]] (a date), null\n"
           "  \\unset NAME          forget a value;  \\set alone lists them\n"
           "  \\sort COL [desc]     show the last result ordered by COL (\\sort off: stored order)\n"
           "  \\filter COL OP VAL   keep the rows where COL OP VAL holds; OP is = <> != < <= > >=\n"
           "  \\filter off          show every row again\n"
           "  \\locate COL VALUE    find the first row (in the order shown) whose COL equals VALUE\n"
           "  \\show                show the last result again\n"
           "  \\help                this text\n"
           "  \\q                   quit (so do quit and exit at the start of a batch)\n"
           "Sort, filter and locate work on the last row result of the last batch that had one.\n";
}

std::string HelpText() {
    return "usage: kestrel-sql [-S host:port] [-U user] [-P password] [-D database] [--no-timing]\n"
           "                   [--echo] [-e SQL ... | FILE]\n"
           "\n"
           "An SQL shell for Adaptive Server. Without -S it starts kestrel-sandbox with its sample\n"
           "database on a free loopback port and connects to it. It reads batches from -e (each\n"
           "one a batch), from FILE, or from standard input, and prints every row result as a\n"
           "table with its row count, then the return status and output parameters of a\n"
           "procedure. Server messages are printed as \"-- text\"; errors go to standard error,\n"
           "and the shell goes on with the next batch (the exit status is then 1).\n"
           "\n"
           "  -S host:port  the server (FreeTDS speaks TDS 5.0 unless TDSVER says otherwise)\n"
           "  -U user       login name (default sa)\n"
           "  -P password   password (default empty)\n"
           "  -D database   database to use after login (default with the sandbox: kestrel_sample)\n"
           "  -e SQL        run SQL as one batch; may be repeated\n"
           "  --no-timing   leave the timings out (for comparing output)\n"
           "  --echo        print each input line, as \"> line\", before what it does\n"
           "  -h, --help    this text\n"
           "\n" +
           CommandHelpText();
}

} // namespace KestrelSql
