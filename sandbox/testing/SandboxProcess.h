// Starts a kestrel-sandbox child process for integration tests and stops it.
//
// TSandboxProcess owns the child: it starts it in the constructor with
// "--port 0 --sample" (or the options given), waits for its listening line
// (never longer than the start timeout), and kills it in the destructor. Stop()
// and Start() restart it on the same port with the same data folder, which
// the object creates and removes unless the options name one. Failures raise
// vcl::Exception with the reason.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace sandbox::testing {

struct TSandboxOptions {
    std::string Executable;     // empty: the sandbox built with this project
    std::string DataDir;        // empty: a temporary folder owned by the process object
    std::string Password;       // password of the login 'sa'
    bool Sample = true;         // --sample
    int Port = 0;               // 0: a free port
    std::vector<std::string> ExtraArgs;
    std::chrono::milliseconds StartTimeout{15000};
};

class TSandboxProcess {
public:
    explicit TSandboxProcess(TSandboxOptions options = {});
    ~TSandboxProcess();
    TSandboxProcess(const TSandboxProcess&) = delete;
    TSandboxProcess& operator=(const TSandboxProcess&) = delete;

    // Starts the child again (on the port it had, once it has had one).
    void Start();
    // Asks the child to stop (SIGTERM), waits for it, kills it if it hangs.
    void Stop();
    bool Running() const { return FPid > 0; }

    int Port() const { return FPort; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }
    const std::string& DataDir() const { return FDataDir; }

private:
    void Kill();

    TSandboxOptions FOptions;
    std::string FDataDir;
    bool FOwnsDataDir = false;
    pid_t FPid = -1;
    int FStdout = -1;
    int FPort = 0;
};

}  // namespace sandbox::testing
