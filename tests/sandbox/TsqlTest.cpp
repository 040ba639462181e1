// FreeTDS's own tsql against the sandbox, TDS 5.0.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "sandbox/testing/SandboxProcess.h"

using namespace sandbox::testing;

namespace {

// Runs tsql with `input` on standard input; returns everything it printed.
std::string Tsql(const TSandboxProcess& server, const std::string& password, const std::string& input) {
    char path[] = "/tmp/kestrel-tsql-XXXXXX";
    const int fd = ::mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ::close(fd);
    const std::string cmd = "TDSVER=5.0 timeout 30 tsql -H 127.0.0.1 -p " + std::to_string(server.Port()) +
                            " -U sa -P '" + password + "' < " + path + " 2>&1";
    std::string out;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        std::array<char, 4096> buf;
        size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
        ::pclose(p);
    }
    ::unlink(path);
    return out;
}

}  // namespace

TEST(SandboxTsql, LogsInAndRunsASelect) {
    TSandboxProcess server;
    const std::string out = Tsql(server, "", "use kestrel_sample\ngo\nselect name from customers where id = 2\ngo\n");
    EXPECT_NE(out.find("Blaise Pascal"), std::string::npos) << out;
    EXPECT_NE(out.find("(1 row affected)"), std::string::npos) << out;
}

TEST(SandboxTsql, WrongPasswordFailsWithLoginFailed) {
    TSandboxOptions options;
    options.Password = "right";
    TSandboxProcess server(options);
    const std::string out = Tsql(server, "wrong", "select 1\ngo\n");
    EXPECT_NE(out.find("Login failed."), std::string::npos) << out;
    EXPECT_EQ(out.find("(1 row affected)"), std::string::npos) << out;
}
