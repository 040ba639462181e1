// Queries through the scripted Open Client: the package started over the fake,
// one connection "DB" logged in to SRV, and at the end no handle left, no
// misuse seen and the busy cursor back to crDefault.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "binding/Cstypes.h"
#include "binding/Ctpublic.h"
#include "components/SybConnect.h"
#include "packages/Package.h"
#include "tests/fakeoc/FakeOC.h"
#include "vcl/DB.h"
#include "vcl/Forms.h"
#include "vcl/Platform.h"
#include "vcl/System.h"

namespace QueryTests {

using namespace Cstypes;
using SybConnect::TSybConnect;
using SybConnect::TSybQuery;
using FakeOC::Column;
using FakeOC::Value;

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeOC::Reset();
        kestrel::Initialize();
        ASSERT_TRUE(Ctpublic::ctDLLLoaded);
        vcl::Platform::SetHostNameCalls({[](char* buf, int size) {
                                             std::snprintf(buf, static_cast<size_t>(size), "testhost");
                                             return 0;
                                         },
                                         [](char*, uint32_t*) { return false; }});
        vcl::Screen()->SetCursor(vcl::crDefault);
        Conn = std::make_unique<TSybConnect>(nullptr);
        Conn->SetServerName("SRV");
        Conn->SetDatabaseName("DB");
    }
    void TearDown() override {
        Queries.clear();
        Conn.reset();
        vcl::IsLibrary = false;
        vcl::Platform::ResetHostNameCalls();
        EXPECT_EQ(FakeOC::LiveHandles(), 0) << FakeOC::LogText();
        EXPECT_TRUE(FakeOC::Misuses().empty()) << Join(FakeOC::Misuses());
        EXPECT_EQ(vcl::Screen()->Cursor(), vcl::crDefault);
        kestrel::Finalize();
    }

    static std::string Join(const std::vector<std::string>& lines) {
        std::string out;
        for (const auto& l : lines) out += l + "\n";
        return out;
    }

    // A query on "DB" with the given text; the fixture destroys it.
    TSybQuery* NewQuery(const std::string& sql, vcl::TComponent* owner = nullptr) {
        Queries.push_back(std::make_unique<TSybQuery>(owner));
        TSybQuery* q = Queries.back().get();
        q->SetDatabaseName("DB");
        q->GetSQL()->SetText(sql);
        return q;
    }

    // What a second thread sees: the recursive lock cannot be tested from the
    // thread that holds it.
    static bool LockFree(TSybConnect& c) {
        std::atomic<bool> free{false};
        std::thread t([&] {
            if (c.GetLock().TryEnter()) {
                free = true;
                c.GetLock().Leave();
            }
        });
        t.join();
        return free;
    }

    // Nothing of an execution is left behind.
    void ExpectRestored(const std::string& context = {}) {
        EXPECT_EQ(FakeOC::LiveHandleCounts().Commands, 0) << context << "\n" << FakeOC::LogText();
        EXPECT_EQ(Conn->GetActiveQuery(), nullptr) << context;
        EXPECT_TRUE(LockFree(*Conn)) << context;
        EXPECT_EQ(vcl::Screen()->Cursor(), vcl::crDefault) << context;
    }

    // Queries owned by q (its fields are owned components too).
    static int OwnedQueries(TSybQuery* q) {
        int n = 0;
        for (int i = 0; i < q->ComponentCount(); ++i) n += dynamic_cast<TSybQuery*>(q->Components(i)) ? 1 : 0;
        return n;
    }

    static int32_t FieldInt(TSybQuery* q, const std::string& name) { return q->FieldByName(name)->AsInteger(); }

    // An id/name select with the given ids.
    static FakeOC::Batch IdRows(const std::vector<int32_t>& ids, const std::string& column = "ID") {
        std::vector<std::vector<Value>> rows;
        for (int32_t id : ids) rows.push_back({Value::Int(id)});
        return FakeOC::Select({Column::Of(column, CS_INT_TYPE)}, rows);
    }
    static FakeOC::Result IdResult(const std::vector<int32_t>& ids, const std::string& column = "ID") {
        return IdRows(ids, column).front();
    }

    std::unique_ptr<TSybConnect> Conn;
    std::vector<std::unique_ptr<TSybQuery>> Queries;
};

using FakeOC::ClientMsg;
using FakeOC::ServerMsg;

} // namespace QueryTests
