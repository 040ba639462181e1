// What every test through the scripted Open Client starts from: the package
// started over the fake, and at the end no handle left and no misuse seen.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "binding/Cstypes.h"
#include "binding/Ctpublic.h"
#include "components/SybConnect.h"
#include "packages/Package.h"
#include "tests/fakeoc/FakeOC.h"
#include "vcl/Platform.h"

namespace ConnectTests {

using SybConnect::TSybConnect;

class FakeOCTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeOC::Reset();
        kestrel::Initialize();
        ASSERT_TRUE(Cspublic::csDLLLoaded);
        ASSERT_TRUE(Ctpublic::ctDLLLoaded);
        vcl::Platform::SetHostNameCalls({[](char* buf, int size) {
                                             std::snprintf(buf, static_cast<size_t>(size), "testhost");
                                             return 0;
                                         },
                                         [](char*, uint32_t*) { return false; }});
    }
    void TearDown() override {
        vcl::Platform::ResetHostNameCalls();
        EXPECT_EQ(FakeOC::LiveHandles(), 0) << FakeOC::LogText();
        EXPECT_TRUE(FakeOC::Misuses().empty()) << Join(FakeOC::Misuses());
        kestrel::Finalize();
    }
    static std::string Join(const std::vector<std::string>& lines) {
        std::string out;
        for (const auto& l : lines) out += l + "\n";
        return out;
    }
    // The names of the calls logged since the last ClearLog.
    static std::vector<std::string> Names() { return FakeOC::CallNames(); }
};

// Stands in for the executing query's handlers until the query component exists.
class TTestConnect : public TSybConnect {
public:
    using TSybConnect::TSybConnect;
    SybConnect::TSybMessageProc QueryOnServerMessage;
    SybConnect::TSybMessageProc QueryOnServerError;

protected:
    SybConnect::TSybMessageProc ActiveQueryOnServerMessage() const override { return QueryOnServerMessage; }
    SybConnect::TSybMessageProc ActiveQueryOnServerError() const override { return QueryOnServerError; }
};

// A query pointer for ActiveQuery; never dereferenced.
inline SybConnect::TSybQuery* StandInQuery() {
    static int token;
    return reinterpret_cast<SybConnect::TSybQuery*>(&token);
}

using FakeOC::ClientMsg;
using FakeOC::ServerMsg;

} // namespace ConnectTests
