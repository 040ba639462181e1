// The command line of kestrel-sql.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace KestrelSql {

struct TOptions {
    std::string Server;          // host:port; empty: start a sandbox
    std::string User = "sa";
    std::string Password;
    std::string Database;        // empty: the login's default (the sample with a sandbox)
    std::vector<std::string> Statements;  // -e, each run as a batch of its own
    std::string File;            // a script; empty with no -e: standard input
    bool Timing = true;
    bool Echo = false;           // each input line before its output, as "> line"
    bool Help = false;
};

// A command line that cannot be run; the text names the offending argument.
class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

TOptions ParseOptions(int argc, char** argv);
// Usage and the shell's commands.
std::string HelpText();
// Just the shell's commands (\help).
std::string CommandHelpText();

} // namespace KestrelSql
