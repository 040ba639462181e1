// kestrel-sandbox: a TDS 5.0 server over SQLite for development, demos and
// tests. Not a production database.
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "sandbox/engine/Sample.h"
#include "sandbox/net/Server.h"
#include "sandbox/sql/SqlError.h"

namespace {

int gStopPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    const ssize_t ignored = ::write(gStopPipe[1], &c, 1);
    (void)ignored;
}

void Usage(FILE* out) {
    std::fputs(
        "usage: kestrel-sandbox [--port N] [--data DIR] [--password PW] [--sample]\n"
        "\n"
        "A TDS 5.0 server over SQLite for development and tests: it is not a\n"
        "production database. It listens on 127.0.0.1 only and accepts the login\n"
        "'sa' with the given password (empty by default).\n"
        "\n"
        "  --port N       port to listen on; 0 or none picks a free one\n"
        "  --data DIR     folder of the SQLite databases (NAME.db per database);\n"
        "                 default: a new temporary folder, removed at exit\n"
        "  --password PW  password of the login 'sa'\n"
        "  --sample       create the sample database kestrel_sample if missing\n"
        "  --help         show this text\n"
        "\n"
        "When ready it prints 'kestrel-sandbox listening on 127.0.0.1:PORT'.\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    int port = 0;
    std::string dataDir;
    bool sample = false;
    sandbox::engine::ServerSettings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kestrel-sandbox: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if (a == "--port") {
            const std::string v = value();
            char* end = nullptr;
            const long p = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || p < 0 || p > 65535) {
                std::fprintf(stderr, "kestrel-sandbox: invalid port '%s'\n", v.c_str());
                return 2;
            }
            port = static_cast<int>(p);
        } else if (a == "--data") {
            dataDir = value();
        } else if (a == "--password") {
            settings.password = value();
        } else if (a == "--sample") {
            sample = true;
        } else {
            std::fprintf(stderr, "kestrel-sandbox: unknown option '%s'\n", a.c_str());
            Usage(stderr);
            return 2;
        }
    }

    bool removeData = false;
    try {
        if (dataDir.empty()) {
            std::string tmpl = (std::filesystem::temp_directory_path() / "kestrel-sandbox-XXXXXX").string();
            if (!::mkdtemp(tmpl.data())) {
                std::fprintf(stderr, "kestrel-sandbox: cannot create a data folder: %s\n", std::strerror(errno));
                return 1;
            }
            dataDir = tmpl;
            removeData = true;
        } else {
            std::filesystem::create_directories(dataDir);
        }
        settings.dataDir = std::filesystem::absolute(dataDir).string();
        sandbox::engine::EnsureDatabase(settings.dataDir, settings.defaultDatabase);
        if (sample) sandbox::engine::CreateSampleDatabase(settings.dataDir);
    } catch (const sandbox::SqlError& e) {
        std::fprintf(stderr, "kestrel-sandbox: %s\n", e.Text.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kestrel-sandbox: %s\n", e.what());
        return 1;
    }

    int rc = 0;
    if (::pipe2(gStopPipe, O_CLOEXEC) != 0) {
        std::perror("kestrel-sandbox: pipe");
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        sandbox::net::Server server(settings);
        const int bound = server.Listen(port);
        std::printf("kestrel-sandbox listening on 127.0.0.1:%d\n", bound);
        std::fflush(stdout);
        server.Run(gStopPipe[0]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kestrel-sandbox: %s\n", e.what());
        rc = 1;
    }
    if (removeData) {
        std::error_code ec;
        std::filesystem::remove_all(settings.dataDir, ec);
    }
    return rc;
}
