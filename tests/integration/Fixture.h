// End-to-end tests: the components through FreeTDS's CT-Library against a
// kestrel-sandbox of their own on a free loopback port.
//
// Every case runs under a watchdog: with inline diagnostics FreeTDS never
// ends a call on a timeout, so a server that stops answering would hang the
// case. The watchdog ends the process with a message well before CTest's
// own limit.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "components/SybConnect.h"
#include "sandbox/testing/SandboxProcess.h"

namespace Integration {

using SybConnect::TSybConnect;
using SybConnect::TSybQuery;

// Ends the process when a case runs longer than its limit.
class TWatchdog {
public:
    explicit TWatchdog(int seconds);
    ~TWatchdog();
    TWatchdog(const TWatchdog&) = delete;
    TWatchdog& operator=(const TWatchdog&) = delete;

private:
    std::mutex FMutex;
    std::condition_variable FWake;
    bool FDone = false;
    std::thread FThread;
};

// A row as strings; NULL is nullopt.
using TRow = std::vector<std::optional<std::string>>;

// Open sockets of this process (leak checks around an outage).
int OpenSockets();

class IntegrationTest : public ::testing::Test {
protected:
    // The connection's name, which queries look it up by.
    static constexpr const char* kName = "E2E";

    void SetUp() override;
    void TearDown() override;

    // A query on the connection; the fixture destroys it.
    TSybQuery* NewQuery(const std::string& sql);
    // Opens sql and returns the rows of its first row result as strings.
    std::vector<TRow> Select(const std::string& sql);
    // Runs sql with ExecSQL.
    void Exec(const std::string& sql);
    // The message of what fn raises; "" when it raises nothing.
    template <typename F>
    static std::string Raised(F fn) {
        try {
            fn();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }
    // The rows of an open dataset as strings.
    static std::vector<TRow> RowsOf(vcl::TDataSet& ds);

    std::unique_ptr<TWatchdog> Watchdog;
    std::unique_ptr<sandbox::testing::TSandboxProcess> Server;
    std::unique_ptr<TSybConnect> Conn;
    std::vector<std::unique_ptr<TSybQuery>> Queries;
};

} // namespace Integration
