#include "sandbox/testing/SandboxProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "vcl/SysUtils.h"

#ifndef KESTREL_SANDBOX_PATH
#define KESTREL_SANDBOX_PATH "kestrel-sandbox"
#endif

namespace sandbox::testing {

namespace {

constexpr const char* kReady = "kestrel-sandbox listening on 127.0.0.1:";

bool WaitExit(pid_t pid, int ms) {
    for (int waited = 0; waited <= ms; waited += 10) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD)) return true;
        ::usleep(10000);
    }
    return false;
}

}  // namespace

TSandboxProcess::TSandboxProcess(TSandboxOptions options) : FOptions(std::move(options)) {
    if (FOptions.Executable.empty()) FOptions.Executable = KESTREL_SANDBOX_PATH;
    FDataDir = FOptions.DataDir;
    if (FDataDir.empty()) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kestrel-sandbox-test-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw vcl::Exception("Cannot create a data folder for the sandbox: " + std::string(std::strerror(errno)));
        FDataDir = tmpl;
        FOwnsDataDir = true;
    }
    FPort = FOptions.Port;
    try {
        Start();
    } catch (...) {
        if (FOwnsDataDir) {
            std::error_code ec;
            std::filesystem::remove_all(FDataDir, ec);
        }
        throw;
    }
}

TSandboxProcess::~TSandboxProcess() {
    Kill();
    if (FOwnsDataDir) {
        std::error_code ec;
        std::filesystem::remove_all(FDataDir, ec);
    }
}

void TSandboxProcess::Start() {
    if (Running()) return;
    std::vector<std::string> args = {FOptions.Executable, "--port", std::to_string(FPort), "--data", FDataDir,
                                      "--password", FOptions.Password};
    if (FOptions.Sample) args.push_back("--sample");
    args.insert(args.end(), FOptions.ExtraArgs.begin(), FOptions.ExtraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw vcl::Exception("Cannot start the sandbox: pipe: " + std::string(std::strerror(errno)));
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(out[0]);
        ::close(out[1]);
        throw vcl::Exception("Cannot start the sandbox: fork: " + std::string(std::strerror(errno)));
    }
    if (pid == 0) {
        // Dies with the test process, so a crashed test leaves no server behind.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    FPid = pid;
    FStdout = out[0];

    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + FOptions.StartTimeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            Kill();
            throw vcl::Exception("The sandbox did not report its port within the start timeout");
        }
        pollfd p{FStdout, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char c;
        const ssize_t n = ::read(FStdout, &c, 1);
        if (n <= 0) {
            Kill();
            throw vcl::Exception("The sandbox ended before it was ready: " + FOptions.Executable);
        }
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.rfind(kReady, 0) == 0) {
            FPort = std::atoi(line.c_str() + std::strlen(kReady));
            return;
        }
        line.clear();
    }
}

void TSandboxProcess::Stop() {
    if (!Running()) return;
    ::kill(FPid, SIGTERM);
    if (!WaitExit(FPid, 5000)) {
        ::kill(FPid, SIGKILL);
        WaitExit(FPid, 5000);
    }
    FPid = -1;
    if (FStdout >= 0) ::close(FStdout);
    FStdout = -1;
}

void TSandboxProcess::Kill() {
    if (!Running()) return;
    ::kill(FPid, SIGKILL);
    WaitExit(FPid, 5000);
    FPid = -1;
    if (FStdout >= 0) ::close(FStdout);
    FStdout = -1;
}

}  // namespace sandbox::testing
