// Start-up and release of the two library bindings through a scripted platform
// loader. Each case runs in a process of its own, so the binding starts fresh.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "EntryPoints.h"
#include "binding/Csconfig.h"
#include "binding/Ctpublic.h"
#include "vcl/Platform.h"
#include "vcl/SysUtils.h"
#include "vcl/System.h"

using vcl::Platform::HMODULE;

namespace {

// A platform loader that answers from a script and records what it was asked.
class TScriptedLoader {
public:
    std::map<std::string, HMODULE> Results; // file name -> what LoadLibrary returns (default 0)
    std::set<std::string> Missing;          // entry points GetProcAddress does not find
    std::vector<std::string> Loads;
    std::vector<std::pair<HMODULE, std::string>> Lookups;
    std::vector<HMODULE> Frees;

    TScriptedLoader() {
        vcl::Platform::SetLibraryLoader({
            [this](const char* fileName) {
                Loads.emplace_back(fileName);
                auto it = Results.find(fileName);
                return it == Results.end() ? HMODULE{0} : it->second;
            },
            [this](HMODULE module, const char* procName) -> void* {
                Lookups.emplace_back(module, procName);
                if (Missing.count(procName)) return nullptr;
                return Address(procName);
            },
            [this](HMODULE module) {
                Frees.push_back(module);
                return true;
            },
        });
    }
    ~TScriptedLoader() { vcl::Platform::ResetLibraryLoader(); }

    // A distinct, stable, never-called address per entry-point name.
    static void* Address(const std::string& name) {
        static std::set<std::string> names;
        return const_cast<std::string*>(&*names.insert(name).first);
    }
};

void StartBinding() {
    Cstypes::Initialization();
    Cspublic::Initialization();
    Ctpublic::Initialization();
    Csconfig::Initialization();
}

int NullCount(const TEntryList& entries) {
    int n = 0;
    for (const auto& e : entries) n += e.second == nullptr ? 1 : 0;
    return n;
}

const std::vector<std::string> AllFileNames = {"libsybcs64.so", "libct.so.4", "libsybct64.so",
                                               "libkestrel_freetds_ct.so"};

} // namespace

TEST(BindingLoader, StartsSilentlyWithoutLibraries) {
    TScriptedLoader loader;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(StartBinding());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_FALSE(Cspublic::csDLLLoaded);
    EXPECT_FALSE(Ctpublic::ctDLLLoaded);
    EXPECT_EQ(NullCount(CsEntryPoints()), 22);
    EXPECT_EQ(NullCount(CtEntryPoints()), 48);
    EXPECT_EQ(loader.Loads, AllFileNames); // each name tried once, in order
    EXPECT_TRUE(loader.Lookups.empty());
    EXPECT_EQ(vcl::ExitProc, nullptr); // nothing to release, nothing registered
}

TEST(BindingLoader, ResolvesEveryEntryPointInOrderFromTheLoadedLibrary) {
    TScriptedLoader loader;
    loader.Results = {{"libsybcs64.so", 0x1000}, {"libsybct64.so", 0x2000}};
    StartBinding();

    ASSERT_TRUE(Cspublic::csDLLLoaded);
    ASSERT_TRUE(Ctpublic::ctDLLLoaded);
    const TEntryList cs = CsEntryPoints(), ct = CtEntryPoints();
    std::vector<std::pair<HMODULE, std::string>> expected;
    for (const auto& e : cs) expected.emplace_back(0x1000, e.first);
    for (const auto& e : ct) expected.emplace_back(0x2000, e.first);
    EXPECT_EQ(loader.Lookups, expected);
    for (const auto& e : cs) EXPECT_EQ(e.second, TScriptedLoader::Address(e.first)) << e.first;
    for (const auto& e : ct) EXPECT_EQ(e.second, TScriptedLoader::Address(e.first)) << e.first;
    // The first names loaded, so the FreeTDS names were never tried.
    EXPECT_EQ(loader.Loads, (std::vector<std::string>{"libsybcs64.so", "libsybct64.so"}));
}

// What LoadLibrary returns for the first file name, and whether that counts as loaded.
struct TLoadResultCase {
    HMODULE Result;
    bool Loaded;
};

void PrintTo(const TLoadResultCase& c, std::ostream* os) { *os << "handle " << c.Result; }

class BindingLoadResult : public testing::TestWithParam<TLoadResultCase> {};

TEST_P(BindingLoadResult, BelowThirtyTwoIsAFailedLoad) {
    const TLoadResultCase c = GetParam();
    TScriptedLoader loader;
    loader.Results = {{"libsybcs64.so", c.Result}, {"libsybct64.so", c.Result}};
    StartBinding();

    EXPECT_EQ(Cspublic::csDLLLoaded, c.Loaded);
    EXPECT_EQ(Ctpublic::ctDLLLoaded, c.Loaded);
    EXPECT_EQ(NullCount(CsEntryPoints()), c.Loaded ? 0 : 22);
    EXPECT_EQ(NullCount(CtEntryPoints()), c.Loaded ? 0 : 48);
    if (c.Loaded) {
        EXPECT_EQ(loader.Lookups.size(), 70u);
        for (const auto& l : loader.Lookups) EXPECT_EQ(l.first, c.Result) << l.second;
        EXPECT_NE(vcl::ExitProc, nullptr);
    } else {
        EXPECT_EQ(loader.Loads, AllFileNames); // a failure code is no module: the next name is tried
        EXPECT_TRUE(loader.Lookups.empty());
        EXPECT_EQ(vcl::ExitProc, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Results, BindingLoadResult,
                         testing::Values(TLoadResultCase{0, false}, TLoadResultCase{1, false},
                                         TLoadResultCase{5, false}, TLoadResultCase{31, false},
                                         TLoadResultCase{32, true}, TLoadResultCase{0x7f0000001000, true}),
                         [](const testing::TestParamInfo<TLoadResultCase>& info) {
                             return "Handle" + std::to_string(info.param.Result);
                         });

TEST(BindingLoader, TriesTheFreeTdsNamesWhenTheFirstNamesFail) {
    TScriptedLoader loader;
    loader.Results = {{"libsybcs64.so", 5}, {"libct.so.4", 0x3000}, {"libkestrel_freetds_ct.so", 0x4000}};
    StartBinding();

    EXPECT_TRUE(Cspublic::csDLLLoaded);
    EXPECT_TRUE(Ctpublic::ctDLLLoaded);
    EXPECT_EQ(loader.Loads, AllFileNames);
    ASSERT_EQ(loader.Lookups.size(), 70u);
    EXPECT_EQ(loader.Lookups.front(), std::make_pair(HMODULE{0x3000}, std::string("cs_calc")));
    EXPECT_EQ(loader.Lookups.back(), std::make_pair(HMODULE{0x4000}, std::string("ct_setparam")));
}

// An entry point the loaded library lacks, and where it sits in the resolution order.
struct TMissingCase {
    bool CtLibrary;
    const char* Name;
    int Position; // 1-based
};

void PrintTo(const TMissingCase& c, std::ostream* os) { *os << c.Name << " at " << c.Position; }

class BindingMissingEntryPoint : public testing::TestWithParam<TMissingCase> {};

TEST_P(BindingMissingEntryPoint, AssertsWithUnitAndEntryPointAndKeepsWhatResolved) {
    const TMissingCase c = GetParam();
    TScriptedLoader loader;
    loader.Results = {{"libsybcs64.so", 0x1000}, {"libsybct64.so", 0x2000}};
    loader.Missing = {c.Name};

    const std::string unit = c.CtLibrary ? "CTPUBLIC" : "cspublic";
    const std::string expected =
        "Assertion failure: " + std::string(c.Name) + " (" + unit + ", line " + std::to_string(c.Position) + ")";
    try {
        StartBinding();
        FAIL() << "no assertion failure for " << c.Name;
    } catch (const vcl::EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), expected);
    }

    const TEntryList entries = c.CtLibrary ? CtEntryPoints() : CsEntryPoints();
    ASSERT_EQ(entries[c.Position - 1].first, c.Name);
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        if (i < c.Position - 1)
            EXPECT_NE(entries[i].second, nullptr) << entries[i].first << " resolved before the missing one";
        else
            EXPECT_EQ(entries[i].second, nullptr) << entries[i].first << " at or after the missing one";
    }
    EXPECT_TRUE(c.CtLibrary ? Ctpublic::ctDLLLoaded : Cspublic::csDLLLoaded);
    if (!c.CtLibrary) {
        // The start stopped at the CS-Library: the CT-Library was never touched.
        EXPECT_FALSE(Ctpublic::ctDLLLoaded);
        EXPECT_EQ(NullCount(CtEntryPoints()), 48);
    }

    // The exit action is registered, so the library is still released at the end.
    vcl::RunExitProcs();
    const std::vector<HMODULE> frees = c.CtLibrary ? std::vector<HMODULE>{0x2000, 0x1000} : std::vector<HMODULE>{0x1000};
    EXPECT_EQ(loader.Frees, frees);
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, BindingMissingEntryPoint,
                         testing::Values(TMissingCase{false, "cs_calc", 1}, TMissingCase{false, "cs_dt_crack", 13},
                                         TMissingCase{false, "cs_conv_mult", 22}, TMissingCase{true, "ct_debug", 1},
                                         TMissingCase{true, "ct_bind", 2}, TMissingCase{true, "ct_results", 37},
                                         TMissingCase{true, "ct_setparam", 48}),
                         [](const testing::TestParamInfo<TMissingCase>& info) { return std::string(info.param.Name); });

TEST(BindingLoader, SecondStartLoadsNothing) {
    TScriptedLoader loader;
    loader.Results = {{"libsybcs64.so", 0x1000}, {"libsybct64.so", 0x2000}};
    StartBinding();
    const auto loads = loader.Loads.size(), lookups = loader.Lookups.size();
    const vcl::TExitProc exitProc = vcl::ExitProc;

    StartBinding();
    EXPECT_EQ(loader.Loads.size(), loads);
    EXPECT_EQ(loader.Lookups.size(), lookups);
    EXPECT_EQ(vcl::ExitProc, exitProc); // not registered twice

    vcl::RunExitProcs();
    EXPECT_EQ(loader.Frees, (std::vector<HMODULE>{0x2000, 0x1000}));
}

TEST(BindingLoader, FailedLoadIsNotRetriedBySecondStart) {
    TScriptedLoader loader;
    StartBinding();
    loader.Results = {{"libsybcs64.so", 0x1000}, {"libsybct64.so", 0x2000}};
    StartBinding();
    EXPECT_EQ(loader.Loads, AllFileNames);
    EXPECT_FALSE(Cspublic::csDLLLoaded);
    EXPECT_FALSE(Ctpublic::ctDLLLoaded);
}

namespace {
int EarlierExitRuns = 0;
void EarlierExit() { ++EarlierExitRuns; }
} // namespace

TEST(BindingLoader, ExitChainReleasesCtBeforeCsOnceAndKeepsTheVariables) {
    TScriptedLoader loader;
    loader.Results = {{"libsybcs64.so", 0x1000}, {"libsybct64.so", 0x2000}};
    vcl::ExitProc = EarlierExit; // an action registered before the binding started
    StartBinding();
    const auto csBefore = CsEntryPoints();
    const auto ctBefore = CtEntryPoints();

    vcl::RunExitProcs();
    EXPECT_EQ(loader.Frees, (std::vector<HMODULE>{0x2000, 0x1000}));
    EXPECT_EQ(EarlierExitRuns, 1); // each action put back the one before it
    EXPECT_EQ(vcl::ExitProc, nullptr);

    vcl::RunExitProcs();
    EXPECT_EQ(loader.Frees.size(), 2u);

    EXPECT_TRUE(Cspublic::csDLLLoaded);
    EXPECT_TRUE(Ctpublic::ctDLLLoaded);
    EXPECT_EQ(CsEntryPoints(), csBefore);
    EXPECT_EQ(CtEntryPoints(), ctBefore);
}

TEST(BindingLoader, CsLibraryAloneIsReleasedWhenCtLibraryIsMissing) {
    TScriptedLoader loader;
    loader.Results = {{"libct.so.4", 0x3000}};
    StartBinding();
    EXPECT_TRUE(Cspublic::csDLLLoaded);
    EXPECT_FALSE(Ctpublic::ctDLLLoaded);
    EXPECT_EQ(NullCount(CtEntryPoints()), 48);
    vcl::RunExitProcs();
    EXPECT_EQ(loader.Frees, (std::vector<HMODULE>{0x3000}));
}
