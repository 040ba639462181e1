// Login and logout through the scripted Open Client: every call with its values,
// the property writers, the host name and the libraries that are not there.
#include <dlfcn.h>

#include <cstring>

#include "Fixture.h"

namespace ConnectTests {
namespace {

using namespace Cstypes;

class ConnectTest : public FakeOCTest {
protected:
    std::unique_ptr<TSybConnect> NewConnect() {
        auto c = std::make_unique<TSybConnect>(nullptr);
        c->SetServerName("SRV");
        c->SetUserName("sa");
        c->SetPassword("secret");
        c->SetApplicationName("app");
        c->SetOnConnect([this](vcl::TObject*) { Events.push_back("connect"); });
        c->SetOnDisconnect([this](vcl::TObject*) { Events.push_back("disconnect"); });
        return c;
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const auto& call : FakeOC::Calls()) out.push_back(call.Text());
        return out;
    }
    std::vector<std::string> Events;
};

TEST_F(ConnectTest, ConnectMakesEveryCallWithItsValuesInOrder) {
    auto c = NewConnect();
    c->SetLoginTimeout(5);
    EXPECT_EQ(c->GetDateFormat(), 0);
    FakeOC::SetDateFormat(3);
    c->Connect();

    const std::vector<std::string> expected = {
        "cs_ctx_alloc(112, ptr) = 1",
        "ct_init(ctx#1, 112) = 1",
        "ct_con_alloc(ctx#1, ptr) = 1",
        "ct_diag(con#1, 36, -99999, -99999, null) = 1",
        "ct_con_props(con#1, 34, 9132, " + std::to_string(CS_TRUE) + ", -99999, null) = 1",
        "ct_con_props(con#1, 34, 9100, sa, -9, null) = 1",
        "ct_con_props(con#1, 34, 9101, secret, -9, null) = 1",
        "ct_con_props(con#1, 34, 9102, app, -9, null) = 1",
        "ct_con_props(con#1, 34, 9103, testhost, -9, null) = 1",
        "ct_config(ctx#1, 34, 9116, 5, -99999, null) = 1",
        "ct_config(ctx#1, 34, 9117, -9999, -99999, null) = 1",
        "ct_connect(con#1, SRV, -9) = 1",
        "ct_options(con#1, 33, 5007, ptr, -99999, ptr) = 1",
        "ct_diag(con#1, 37, 4701, -99999, ptr) = 1",
        "ct_diag(con#1, 37, 4700, -99999, ptr) = 1",
        "ct_diag(con#1, 35, 4702, -99999, null) = 1",
    };
    EXPECT_EQ(Texts(), expected) << FakeOC::LogText();
    EXPECT_TRUE(c->GetConnected());
    EXPECT_EQ(c->GetDateFormat(), 3);
    EXPECT_NE(c->GetContext(), nullptr);
    EXPECT_NE(c->GetConnection(), nullptr);
    EXPECT_EQ(Events, std::vector<std::string>{"connect"});
    EXPECT_EQ(FakeOC::ConfigInt(CS_LOGIN_TIMEOUT), 5);
    EXPECT_EQ(FakeOC::ConPropInt(CS_DIAG_TIMEOUT), 1);

    // Connected: nothing more, no event.
    FakeOC::ClearLog();
    c->Connect();
    c->Open();
    EXPECT_TRUE(FakeOC::Calls().empty());
    EXPECT_EQ(Events.size(), 1u);
}

TEST_F(ConnectTest, DisconnectClosesDropsThenTellsThenReleasesTheContext) {
    auto c = NewConnect();
    c->Connect();
    FakeOC::ClearLog();
    bool connectedInEvent = false;
    bool contextInEvent = false;
    c->SetOnDisconnect([&](vcl::TObject* sender) {
        EXPECT_EQ(sender, c.get());
        connectedInEvent = c->GetConnected();
        contextInEvent = c->GetContext() != nullptr;
        Events.push_back("disconnect:" + std::to_string(FakeOC::Calls().size()));
    });
    c->Disconnect();
    const std::vector<std::string> expected = {
        "ct_close(con#1, -99999) = 1",
        "ct_con_drop(con#1) = 1",
        "ct_exit(ctx#1, 300) = 1",
        "cs_ctx_drop(ctx#1) = 1",
    };
    EXPECT_EQ(Texts(), expected) << FakeOC::LogText();
    EXPECT_EQ(Events, (std::vector<std::string>{"connect", "disconnect:2"}));
    EXPECT_TRUE(connectedInEvent);
    EXPECT_TRUE(contextInEvent);
    EXPECT_FALSE(c->GetConnected());
    EXPECT_EQ(c->GetContext(), nullptr);
    EXPECT_EQ(c->GetDateFormat(), 1); // kept after logout

    FakeOC::ClearLog();
    c->Disconnect();
    c->Close();
    EXPECT_TRUE(FakeOC::Calls().empty());
}

TEST_F(ConnectTest, DisconnectForcesTheCloseWhenTheOrderlyOneFails) {
    auto c = NewConnect();
    c->Connect();
    FakeOC::ClearLog();
    FakeOC::FailCall("ct_close", 1);
    c->Disconnect();
    ASSERT_GE(FakeOC::Calls().size(), 3u);
    EXPECT_EQ(FakeOC::Calls()[0].Text(), "ct_close(con#1, -99999) = 0");
    EXPECT_EQ(FakeOC::Calls()[1].Text(), "ct_close(con#1, 301) = 1");
    EXPECT_EQ(FakeOC::Calls()[2].Name, "ct_con_drop");
    EXPECT_FALSE(c->GetConnected());
}

TEST_F(ConnectTest, OnDisconnectRaisingStillReleasesEverything) {
    auto c = NewConnect();
    c->Connect();
    c->SetOnDisconnect([](vcl::TObject*) { throw vcl::Exception("handler failed"); });
    try {
        c->Disconnect();
        FAIL() << "no exception";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "handler failed");
    }
    EXPECT_FALSE(c->GetConnected());
    EXPECT_EQ(c->GetContext(), nullptr);
    EXPECT_EQ(FakeOC::Count("cs_ctx_drop"), 1);

    // Destroying a live connection whose handler raises must not end the process.
    c->Connect();
    c.reset();
    EXPECT_EQ(FakeOC::Count("cs_ctx_drop"), 2);
}

TEST_F(ConnectTest, WritersReconnectOnlyForANewValue) {
    auto c = NewConnect();
    c->Connect();
    FakeOC::ClearLog();
    c->SetUserName("sa"); // same value
    c->SetLoginTimeout(9);
    c->SetDatabase("   "); // blank: no "use"
    c->SetHostName("other");
    EXPECT_TRUE(FakeOC::Calls().empty()) << FakeOC::LogText();
    EXPECT_EQ(c->GetHostName(), "testhost");

    c->SetUserName("bob");
    EXPECT_EQ(Events, (std::vector<std::string>{"connect", "disconnect", "connect"}));
    EXPECT_EQ(FakeOC::ConPropText(CS_USERNAME), "bob");
    EXPECT_EQ(FakeOC::ConfigInt(CS_LOGIN_TIMEOUT), 9); // taken at the next login

    // Each writer that logs in anew.
    c->SetServerName("SRV2");
    EXPECT_EQ(FakeOC::ConnectedServer(), "SRV2");
    c->SetPassword("pw2");
    EXPECT_EQ(FakeOC::ConPropText(CS_PASSWORD), "pw2");
    c->SetApplicationName("app2");
    EXPECT_EQ(FakeOC::ConPropText(CS_APPNAME), "app2");
    EXPECT_EQ(Events.size(), 9u);

    c->SetConnected(false);
    EXPECT_FALSE(c->GetConnected());
    c->SetConnected(true);
    EXPECT_TRUE(c->GetConnected());
    c->Reconnect();
    EXPECT_TRUE(c->GetConnected());
    EXPECT_EQ(FakeOC::LiveHandleCounts().Contexts, 1);
}

TEST_F(ConnectTest, ANewServerThatCannotBeReachedLeavesItDisconnected) {
    auto c = NewConnect();
    c->Connect();
    FakeOC::QueueClientMessage("ct_connect", 2, ClientMsg(20009, 9, "Unable to connect"));
    FakeOC::FailCall("ct_connect", 2);
    EXPECT_THROW(c->SetServerName("NOWHERE"), vcl::Exception);
    EXPECT_EQ(c->GetServerName(), "NOWHERE");
    EXPECT_FALSE(c->GetConnected());
    EXPECT_EQ(Events, (std::vector<std::string>{"connect", "disconnect"}));
}

TEST_F(ConnectTest, DatabaseChangeFailingAfterLoginLeavesItConnectedWithoutOnConnect) {
    auto c = NewConnect();
    c->SetDatabase(" pubs ");
    FakeOC::FailCall("ct_send", 0);
    EXPECT_THROW(c->Connect(), vcl::Exception);
    EXPECT_TRUE(c->GetConnected());
    EXPECT_TRUE(Events.empty());
    c->SetOnDisconnect(nullptr);
    c->Disconnect();
}

// ---------------------------------------------------------------- host name

struct HostNameCase {
    const char* Name;
    int HostResult;
    const char* Host;
    bool ComputerResult;
    const char* Computer;
    uint32_t ComputerSize;
    std::string Expected;
};

void PrintTo(const HostNameCase& k, std::ostream* os) { *os << k.Name; }


class HostNameTest : public ConnectTest, public ::testing::WithParamInterface<HostNameCase> {};

TEST_P(HostNameTest, FallsBackFromHostToComputerToEmpty) {
    const HostNameCase& k = GetParam();
    int hostBuffer = 0;
    uint32_t computerBuffer = 0;
    vcl::Platform::SetHostNameCalls({[&](char* buf, int size) {
                                         hostBuffer = size;
                                         std::memset(buf, 'x', static_cast<size_t>(size));
                                         std::memcpy(buf, k.Host, std::strlen(k.Host) + 1);
                                         return k.HostResult;
                                     },
                                     [&](char* buf, uint32_t* size) {
                                         computerBuffer = *size;
                                         std::memset(buf, 'y', *size);
                                         std::memcpy(buf, k.Computer, std::strlen(k.Computer));
                                         *size = k.ComputerSize;
                                         return k.ComputerResult;
                                     }});
    EXPECT_EQ(TSybConnect::GetDefaultHostName(), k.Expected);
    EXPECT_EQ(hostBuffer, 256);
    if (computerBuffer) {
        EXPECT_EQ(computerBuffer, 16u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostNameTest,
    ::testing::Values(HostNameCase{"host", 0, "db-host", true, "PC", 2, "db-host"},
                      HostNameCase{"hostFails", -1, "ignored", true, "MACHINE", 7, "MACHINE"},
                      HostNameCase{"hostEmpty", 0, "", true, "MACHINE", 4, "MACH"},
                      HostNameCase{"computerFull", -1, "", true, "ABCDEFGHIJKLMNOP", 16, "ABCDEFGHIJKLMNOP"},
                      HostNameCase{"bothFail", -1, "", false, "PC", 2, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConnectTest, HostNameIsFoundOnceAndKeptUntrimmed) {
    vcl::Platform::SetHostNameCalls({[](char* buf, int) {
                                         std::strcpy(buf, " box\t");
                                         return 0;
                                     },
                                     [](char*, uint32_t*) { return false; }});
    auto c = NewConnect();
    EXPECT_EQ(c->GetHostName(), "");
    c->Connect();
    EXPECT_EQ(c->GetHostName(), " box\t");
    EXPECT_EQ(FakeOC::ConPropText(CS_HOSTNAME), " box\t");
    vcl::Platform::SetHostNameCalls({[](char* buf, int) {
                                         std::strcpy(buf, "changed");
                                         return 0;
                                     },
                                     [](char*, uint32_t*) { return false; }});
    c->Reconnect();
    EXPECT_EQ(FakeOC::ConPropText(CS_HOSTNAME), " box\t");
}

// -------------------------------------------------- libraries not loaded

// Loads through dlopen, except the files of the library a test takes away.
void StartWithout(const char* const* missing) {
    vcl::Platform::SetLibraryLoader(
        {[missing](const char* file) -> vcl::Platform::HMODULE {
             for (int i = 0; i < 2; ++i)
                 if (std::strcmp(file, missing[i]) == 0) return 0;
             return reinterpret_cast<vcl::Platform::HMODULE>(dlopen(file, RTLD_NOW));
         },
         [](vcl::Platform::HMODULE m, const char* name) { return dlsym(reinterpret_cast<void*>(m), name); },
         [](vcl::Platform::HMODULE m) { return dlclose(reinterpret_cast<void*>(m)) == 0; }});
}

class MissingLibraryTest : public ::testing::Test {
protected:
    void TearDown() override {
        kestrel::Finalize();
        vcl::Platform::ResetLibraryLoader();
    }
};

TEST_F(MissingLibraryTest, ConnectNamesTheMissingCSLibraryAndTheFilesTried) {
    StartWithout(Cspublic::CSLibraryFileNames);
    kestrel::Initialize();
    ASSERT_FALSE(Cspublic::csDLLLoaded);
    TSybConnect c(nullptr);
    try {
        c.Connect();
        FAIL() << "no exception";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(), "The Open Client CS-Library is not loaded (tried libsybcs64.so, libct.so.4)");
    }
    EXPECT_FALSE(c.GetConnected());
}

TEST_F(MissingLibraryTest, ConnectNamesTheMissingCTLibraryAndTheFilesTried) {
    StartWithout(Ctpublic::CTLibraryFileNames);
    kestrel::Initialize();
    ASSERT_TRUE(Cspublic::csDLLLoaded);
    ASSERT_FALSE(Ctpublic::ctDLLLoaded);
    FakeOC::Reset();
    TSybConnect c(nullptr);
    try {
        c.Connect();
        FAIL() << "no exception";
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message(),
                  "The Open Client CT-Library is not loaded (tried libsybct64.so, libkestrel_freetds_ct.so)");
    }
    EXPECT_FALSE(c.GetConnected());
    EXPECT_EQ(FakeOC::Count("cs_ctx_alloc"), 0); // nothing half-started
}

} // namespace
} // namespace ConnectTests
