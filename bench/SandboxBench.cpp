// TSybQuery::Open of 100,000 mixed rows from the sandbox through FreeTDS,
// against a bare FreeTDS ct_fetch loop over the same query in the same run,
// both on their own connection to the same sandbox. The bare loop's rows per
// second is the rate of the sandbox and the wire together.
//
// FreeTDS is what the binding loads when the scripted Open Client is not on
// the library path; the binary drops LD_LIBRARY_PATH and re-executes itself
// when it names the fake's folder. Short runs: --benchmark_repetitions=2.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/Ratios.h"
#include "bench/SandboxBare.h"
#include "binding/Ctpublic.h"
#include "components/SybConnect.h"
#include "packages/Package.h"
#include "sandbox/testing/SandboxProcess.h"
#include "vcl/SysUtils.h"

namespace {

constexpr int64_t Rows = 100000;

const char* const CreateTable =
    "create table mixed (id int, name varchar(40), created datetime, price money, amount numeric(10,2), "
    "ratio float, flag bit, note text)";

// One statement: a recursive row source, values derived from the row number,
// one amount in sixteen NULL.
const char* const FillTable =
    "insert into mixed select i, substr('customer ' || (i * 7919) || 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx', 1, 8 + i % 33), "
    "datetime('2009-07-08 00:00:00', '+' || (i * 37 % 86400) || ' seconds', '+' || (i % 1024) || ' days'), "
    "(i * 12345 - 500000) / 10000.0, "
    "case when i % 16 = 0 then null else (i * 98765 % 100000000 - 3000000) / 100.0 end, "
    "i * 0.25, i % 2, substr('note ' || i || '..........................', 1, 5 + i % 26) "
    "from (with recursive n(i) as (select 0 union all select i + 1 from n where i < 99999) select i from n)";

const char* const Select = "select id, name, created, price, amount, ratio, flag, note from mixed";

std::unique_ptr<sandbox::testing::TSandboxProcess> Sandbox;
std::unique_ptr<sandboxbench::TBareClient> Bare;
std::unique_ptr<SybConnect::TSybConnect> Connection;

void Rates(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * Rows);
    state.counters["per_row"] = benchmark::Counter(static_cast<double>(Rows), benchmark::Counter::kIsIterationInvariantRate |
                                                                                 benchmark::Counter::kInvert);
}

void BareFetch(benchmark::State& state) {
    for (auto _ : state) {
        const int64_t n = Bare->ReadAll(Select);
        if (n != Rows) state.SkipWithError("wrong row count");
    }
    Rates(state);
}

void QueryOpen(benchmark::State& state) {
    SybConnect::TSybQuery query(nullptr);
    query.SetDatabaseName("BENCH");
    query.GetSQL()->SetText(Select);
    for (auto _ : state) {
        query.Open();
        state.PauseTiming();
        const int count = query.RecordCount();
        query.Close();
        state.ResumeTiming();
        if (count != Rows) state.SkipWithError("wrong record count");
    }
    Rates(state);
}

// Wall time decides the rates (the server works while the client waits); the
// CPU column is the client's own share.
BENCHMARK(BareFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(QueryOpen)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
// The bare loop again: a drift of the machine's load shows as a difference
// between the two bare rows.
BENCHMARK(BareFetch)->Name("BareFetchAgain")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The binding must find FreeTDS, not the scripted Open Client.
void SelectFreeTds(char** argv) {
    const char* path = std::getenv("LD_LIBRARY_PATH");
    ::setenv("TDSVER", "5.0", 1);
    if (!path || std::string(path).find("fakeoc") == std::string::npos) return;
    ::unsetenv("LD_LIBRARY_PATH");
    ::execv("/proc/self/exe", argv);
    std::perror("re-executing without the scripted Open Client");
    std::exit(2);
}

bool Setup() {
    sandbox::testing::TSandboxOptions options;
    options.Sample = false;
    Sandbox = std::make_unique<sandbox::testing::TSandboxProcess>(options);
    Bare = std::make_unique<sandboxbench::TBareClient>();
    if (!Bare->Connect(Sandbox->Address(), "")) return false;
    if (!Bare->Execute(CreateTable) || !Bare->Execute(FillTable)) return false;
    kestrel::Initialize();
    if (!Ctpublic::ctDLLLoaded) return false;
    Connection = std::make_unique<SybConnect::TSybConnect>(nullptr);
    Connection->SetServerName(Sandbox->Address());
    Connection->SetUserName("sa");
    Connection->SetDatabaseName("BENCH");
    Connection->Connect();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    SelectFreeTds(argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    int status = 0;
    try {
        if (!Setup()) {
            std::fprintf(stderr, "setting up the sandbox failed\n");
            status = 2;
        } else {
            kestrelbench::TRatioReporter reporter;
            kestrelbench::RunAll(reporter);
            reporter.PrintRatios({{"QueryOpen / BareFetch", "QueryOpen", "BareFetch", 1.10},
                                  {"QueryOpen / BareFetchAgain", "QueryOpen", "BareFetchAgain", 1.10},
                                  {"BareFetchAgain / BareFetch", "BareFetchAgain", "BareFetch", 0}});
            if (const double bare = reporter.Best("BareFetch"); bare > 0)
                std::printf("sandbox through bare FreeTDS: %.0f rows/s\n", static_cast<double>(Rows) / bare);
        }
    } catch (const vcl::Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        status = 2;
    }
    Connection.reset();
    Bare.reset();
    kestrel::Finalize();
    Sandbox.reset();
    benchmark::Shutdown();
    return status;
}
