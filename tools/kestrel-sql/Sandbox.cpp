#include "tools/kestrel-sql/Sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "sandbox/testing/SandboxProcess.h"

namespace KestrelSql {

namespace fs = std::filesystem;

namespace {

bool Runnable(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

} // namespace

std::string FindSandboxExecutable() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path dir = self.parent_path();
        for (const fs::path& p : {dir / "kestrel-sandbox", dir.parent_path() / "sandbox" / "kestrel-sandbox"})
            if (Runnable(p)) return p.string();
    }
#ifdef KESTREL_SANDBOX_EXECUTABLE
    if (Runnable(KESTREL_SANDBOX_EXECUTABLE)) return KESTREL_SANDBOX_EXECUTABLE;
#endif
    if (const char* path = std::getenv("PATH")) {
        std::string all = path;
        size_t start = 0;
        while (start <= all.size()) {
            size_t end = all.find(':', start);
            if (end == std::string::npos) end = all.size();
            const std::string dir = all.substr(start, end - start);
            if (!dir.empty() && Runnable(fs::path(dir) / "kestrel-sandbox")) return (fs::path(dir) / "kestrel-sandbox").string();
            start = end + 1;
        }
    }
    return {};
}

std::unique_ptr<sandbox::testing::TSandboxProcess> StartSandbox() {
    sandbox::testing::TSandboxOptions options;
    options.Executable = FindSandboxExecutable();
    if (options.Executable.empty())
        throw std::runtime_error("cannot find kestrel-sandbox next to kestrel-sql or on PATH; name a server with -S");
    options.Sample = true;
    return std::make_unique<sandbox::testing::TSandboxProcess>(options);
}

} // namespace KestrelSql
