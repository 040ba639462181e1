#include "tests/integration/Fixture.h"

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "packages/Package.h"
#include "vcl/DB.h"

namespace Integration {

namespace {

// Below CTest's limit of 60 s, so a hang is reported as such.
constexpr int kCaseSeconds = 45;

} // namespace

TWatchdog::TWatchdog(int seconds) {
    FThread = std::thread([this, seconds] {
        std::unique_lock<std::mutex> lock(FMutex);
        if (FWake.wait_for(lock, std::chrono::seconds(seconds), [this] { return FDone; })) return;
        std::fprintf(stderr, "watchdog: the case did not end within %d s; a call into the client library hangs\n",
                     seconds);
        std::fflush(stderr);
        std::_Exit(3);
    });
}

TWatchdog::~TWatchdog() {
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FDone = true;
    }
    FWake.notify_all();
    FThread.join();
}

int OpenSockets() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    while (dirent* e = readdir(dir)) {
        char target[256];
        const std::string path = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        if (std::string(target).rfind("socket:", 0) == 0) ++count;
    }
    closedir(dir);
    return count;
}

void IntegrationTest::SetUp() {
    Watchdog = std::make_unique<TWatchdog>(kCaseSeconds);
    kestrel::Initialize();
    Server = std::make_unique<sandbox::testing::TSandboxProcess>();
    Conn = std::make_unique<TSybConnect>(nullptr);
    Conn->SetDatabaseName(kName);
    Conn->SetServerName(Server->Address());
    Conn->SetUserName("sa");
    Conn->SetPassword("");
    Conn->SetDatabase("kestrel_sample");
    Conn->SetLoginTimeout(10);
}

void IntegrationTest::TearDown() {
    Queries.clear();
    Conn.reset();
    Server.reset();
    kestrel::Finalize();
    Watchdog.reset();
}

TSybQuery* IntegrationTest::NewQuery(const std::string& sql) {
    Queries.push_back(std::make_unique<TSybQuery>(nullptr));
    TSybQuery* q = Queries.back().get();
    q->SetDatabaseName(kName);
    q->GetSQL()->SetText(sql);
    return q;
}

std::vector<TRow> IntegrationTest::RowsOf(vcl::TDataSet& ds) {
    std::vector<TRow> rows;
    ds.First();
    while (!ds.Eof()) {
        TRow row;
        for (int i = 0; i < ds.Fields()->Count(); ++i) {
            vcl::TField* f = ds.Fields()->Fields(i);
            if (f->IsNull())
                row.push_back(std::nullopt);
            else
                row.push_back(f->AsString());
        }
        rows.push_back(std::move(row));
        ds.Next();
    }
    return rows;
}

std::vector<TRow> IntegrationTest::Select(const std::string& sql) {
    TSybQuery q(nullptr);
    q.SetDatabaseName(kName);
    q.GetSQL()->SetText(sql);
    q.Open();
    return RowsOf(q);
}

void IntegrationTest::Exec(const std::string& sql) {
    TSybQuery q(nullptr);
    q.SetDatabaseName(kName);
    q.GetSQL()->SetText(sql);
    q.ExecSQL();
}

} // namespace Integration
