// kestrel-sql: a command-line SQL shell on the Kestrel components.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <unistd.h>

#include "components/SybConnect.h"
#include "packages/Package.h"
#include "sandbox/testing/SandboxProcess.h"
#include "tools/kestrel-sql/Options.h"
#include "tools/kestrel-sql/Sandbox.h"
#include "tools/kestrel-sql/Session.h"

namespace {

constexpr const char* kConnectionName = "kestrel-sql";

// Ctrl-C ends the session the orderly way, so the sandbox and its data folder
// go too; a second one ends the program at once.
volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) { gInterrupted = 1; }

void CatchInterrupts() {
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a read waiting for input returns at once.
    sa.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

// The package is started once and ended on every way out of main.
struct TPackage {
    TPackage() { kestrel::Initialize(); }
    ~TPackage() { kestrel::Finalize(); }
    TPackage(const TPackage&) = delete;
    TPackage& operator=(const TPackage&) = delete;
};

// Feeds the input to the session; stops early at \q.
void Run(KestrelSql::TSession& session, std::istream& in, bool prompt, bool echo) {
    std::string line;
    while (!gInterrupted) {
        if (prompt) {
            std::cout << (session.InBatch() ? "   ...> " : "kestrel> ") << std::flush;
        }
        if (!std::getline(in, line) || gInterrupted) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (echo && line.find_first_not_of(" \t") != std::string::npos) std::cout << "> " << line << '\n';
        if (!session.Line(line)) return;
    }
    if (prompt) std::cout << '\n';
    if (!gInterrupted) session.EndOfInput();
}

int Shell(const KestrelSql::TOptions& options, std::istream& in, bool prompt) {
    // FreeTDS speaks TDS 5.0 to ASE only when told so.
    ::setenv("TDSVER", "5.0", 0);
    TPackage package;
    std::unique_ptr<sandbox::testing::TSandboxProcess> sandbox;
    std::string server = options.Server;
    if (server.empty()) {
        try {
            sandbox = KestrelSql::StartSandbox();
        } catch (const std::exception& e) {
            std::cerr << "kestrel-sql: cannot start the sandbox: " << e.what() << '\n';
            return 1;
        }
        server = sandbox->Address();
        std::cerr << "kestrel-sql: started kestrel-sandbox on " << server << " (database " << options.Database
                  << ")\n";
    }
    bool failed = false;
    {
        SybConnect::TSybConnect connection(nullptr);
        connection.SetDatabaseName(kConnectionName);
        connection.SetServerName(server);
        connection.SetUserName(options.User);
        connection.SetPassword(options.Password);
        connection.SetDatabase(options.Database);
        connection.SetApplicationName("kestrel-sql");
        connection.SetLoginTimeout(15);
        try {
            connection.Connect();
        } catch (const std::exception& e) {
            std::cerr << "kestrel-sql: cannot connect to " << server << ": " << e.what() << '\n';
            return 1;
        }
        KestrelSql::TSession session(kConnectionName, std::cout, std::cerr, options.Timing);
        Run(session, in, prompt, options.Echo && !prompt);
        failed = session.Failed();
    }
    if (sandbox) sandbox->Stop();
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    KestrelSql::TOptions options;
    try {
        options = KestrelSql::ParseOptions(argc, argv);
    } catch (const KestrelSql::EUsage& e) {
        std::cerr << "kestrel-sql: " << e.what() << "\n(kestrel-sql --help shows the usage)\n";
        return 2;
    }
    if (options.Help) {
        std::cout << KestrelSql::HelpText();
        return 0;
    }
    // The script is read before anything is started, so a wrong name costs nothing.
    std::ifstream file;
    std::istringstream statements;
    std::istream* in = &std::cin;
    if (!options.File.empty()) {
        file.open(options.File);
        if (!file) {
            std::cerr << "kestrel-sql: cannot read '" << options.File << "': " << std::strerror(errno) << '\n';
            return 2;
        }
        in = &file;
    } else if (!options.Statements.empty()) {
        std::string text;
        for (const auto& s : options.Statements) text += s + "\ngo\n";
        statements.str(text);
        in = &statements;
    }
    const bool prompt = in == &std::cin && ::isatty(STDIN_FILENO);
    CatchInterrupts();
    try {
        return Shell(options, *in, prompt);
    } catch (const std::exception& e) {
        std::cerr << "kestrel-sql: " << e.what() << '\n';
        return 1;
    }
}
