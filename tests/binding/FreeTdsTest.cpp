// The binding over FreeTDS's real CT-Library: the CS calls come from libct.so.4,
// the CT calls through the adapter (found in the library folder through the run
// path), the ones FreeTDS lacks from the adapter's stubs.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <set>
#include <string>

#include "EntryPoints.h"
#include "binding/Ctpublic.h"
#include "vcl/System.h"

using namespace Ctpublic;

namespace {

const std::set<std::string> AdapterStubs = {
    "ct_debug",      "ct_br_column",    "ct_br_table",     "ct_dyndesc", "ct_getformat", "ct_keydata",
    "ct_getloginfo", "ct_setloginfo",   "ct_recvpassthru", "ct_sendpassthru", "ct_remote_pwd", "ct_wakeup",
    "ct_labels",     "ct_ds_lookup",    "ct_ds_dropobj",   "ct_ds_objinfo"};

std::string FileOf(void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return "";
    const std::string path = info.dli_fname;
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

class BindingOverFreeTds : public testing::Test {
protected:
    void SetUp() override {
        // SAP's names come first; where they are installed this test is not about FreeTDS.
        if (void* sap = dlopen("libsybcs64.so", RTLD_LAZY)) {
            dlclose(sap);
            GTEST_SKIP() << "SAP Open Client is on the search path";
        }
        Cspublic::Initialization();
        Ctpublic::Initialization();
        ASSERT_TRUE(csDLLLoaded) << "libct.so.4 did not load";
        ASSERT_TRUE(ctDLLLoaded) << "libkestrel_freetds_ct.so did not load";
    }
    void TearDown() override { vcl::RunExitProcs(); }
};

TEST_F(BindingOverFreeTds, ResolvesAllSeventyEntryPoints) {
    void* freetds = dlopen("libct.so.4", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(freetds, nullptr) << "libct.so.4 is not loaded";
    for (const auto& [name, address] : CsEntryPoints()) {
        ASSERT_NE(address, nullptr) << name;
        EXPECT_EQ(address, dlsym(freetds, name.c_str())) << name;
    }
    for (const auto& [name, address] : CtEntryPoints()) {
        ASSERT_NE(address, nullptr) << name;
        if (AdapterStubs.count(name)) {
            EXPECT_EQ(FileOf(address), "libkestrel_freetds_ct.so") << name;
        } else {
            EXPECT_EQ(address, dlsym(freetds, name.c_str())) << name << " should be FreeTDS's own";
        }
    }
    dlclose(freetds);
}

TEST_F(BindingOverFreeTds, CallsReachTheLibraryWithTheirSignatures) {
    CS_CONTEXT* context = nullptr;
    ASSERT_EQ(cs_ctx_alloc(CS_VERSION_100, &context), CS_SUCCEED);
    ASSERT_NE(context, nullptr);
    ASSERT_EQ(ct_init(context, CS_VERSION_100), CS_SUCCEED);

    CS_INT timeout = 7;
    EXPECT_EQ(ct_config(context, CS_SET, CS_LOGIN_TIMEOUT, &timeout, CS_UNUSED, nullptr), CS_SUCCEED);

    CS_CONNECTION* connection = nullptr;
    ASSERT_EQ(ct_con_alloc(context, &connection), CS_SUCCEED);
    char user[] = "kestrel";
    EXPECT_EQ(ct_con_props(connection, CS_SET, CS_USERNAME, user, CS_NULLTERM, nullptr), CS_SUCCEED);
    char readBack[64] = {};
    CS_INT length = 0;
    EXPECT_EQ(ct_con_props(connection, CS_GET, CS_USERNAME, readBack, sizeof readBack, &length), CS_SUCCEED);
    EXPECT_STREQ(readBack, "kestrel");

    // A date cracked by the CS-Library: 2000-02-29 12:34:56.500.
    CS_DATETIME value{36583, (12 * 3600 + 34 * 60 + 56) * 300 + 150};
    CS_DATEREC rec{};
    ASSERT_EQ(cs_dt_crack(context, CS_DATETIME_TYPE, &value, &rec), CS_SUCCEED);
    EXPECT_EQ(rec.dateyear, 2000);
    EXPECT_EQ(rec.datemonth, 1); // from 0
    EXPECT_EQ(rec.datedmonth, 29);
    EXPECT_EQ(rec.datehour, 12);
    EXPECT_EQ(rec.dateminute, 34);
    EXPECT_EQ(rec.datesecond, 56);
    EXPECT_EQ(rec.datemsecond, 500);

    // The adapter's stubs fail cleanly.
    CS_LOGINFO* loginfo = reinterpret_cast<CS_LOGINFO*>(&length);
    EXPECT_EQ(ct_getloginfo(connection, &loginfo), CS_FAIL);
    EXPECT_EQ(loginfo, nullptr);
    EXPECT_EQ(ct_debug(context, connection, CS_SET, 0, nullptr, CS_UNUSED), CS_FAIL);

    EXPECT_EQ(ct_con_drop(connection), CS_SUCCEED);
    EXPECT_EQ(ct_exit(context, CS_FORCE_EXIT), CS_SUCCEED);
    EXPECT_EQ(cs_ctx_drop(context), CS_SUCCEED);
}
