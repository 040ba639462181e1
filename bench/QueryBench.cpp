// TSybQuery::Open of a million mixed rows through the scripted Open Client,
// against a bare ct_fetch loop over the same rows in the same run. Both go
// through the binding's entry points into the same fake, whose row generator
// costs the same on both sides; the ratio is what the component adds.
//
// Run with LD_LIBRARY_PATH=<build>/fakeoc (the binary sets it and re-executes
// itself when it is missing). Short runs: --benchmark_repetitions=2; --rows=N
// (first argument after the benchmark flags) for a profiler run.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/QueryRows.h"
#include "bench/Ratios.h"
#include "binding/Ctpublic.h"
#include "components/SybConnect.h"
#include "packages/Package.h"
#include "tests/fakeoc/FakeOC.h"

using namespace Cstypes;

namespace {

// --rows=N changes it (fewer rows for a profiler run).
int64_t Rows = 1000000;

std::unique_ptr<SybConnect::TSybConnect> Connection;

size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

size_t ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

void QueueBatch() { FakeOC::QueueResults(querybench::MixedBatch(Rows)); }

void PerRow(benchmark::State& state) {
    state.counters["per_row"] = benchmark::Counter(static_cast<double>(Rows), benchmark::Counter::kIsIterationInvariantRate |
                                                                                 benchmark::Counter::kInvert);
}

// ---------------------------------------------------------------- bare loops

// What any reader pays: ct_fetch, then the bound buffers copied into one
// row-sized block (reused), the text read with ct_get_data as the component
// reads it.
void BareFetch(benchmark::State& state) {
    for (auto _ : state) {
        QueueBatch();
        const int64_t n = querybench::BareLoop(Connection->GetConnection(), querybench::TBareMode::Copy);
        if (n != Rows) state.SkipWithError("wrong row count");
    }
    PerRow(state);
}

// The same with every column bound, the text too (to a 256-byte buffer).
void BareFetchAllBound(benchmark::State& state) {
    for (auto _ : state) {
        QueueBatch();
        const int64_t n = querybench::BareLoop(Connection->GetConnection(), querybench::TBareMode::AllBound);
        if (n != Rows) state.SkipWithError("wrong row count");
    }
    PerRow(state);
}

// The bare loop keeping every row: one malloc'd block per row in a vector,
// the least a store can hold (for the memory comparison).
void BareFetchKeep(benchmark::State& state) {
    size_t heap = 0;
    for (auto _ : state) {
        QueueBatch();
        const size_t before = HeapInUse();
        querybench::TKeptRows kept;
        const int64_t n = querybench::BareLoop(Connection->GetConnection(), querybench::TBareMode::Keep, &kept);
        heap += HeapInUse() - before;
        state.PauseTiming();
        kept.Clear();
        state.ResumeTiming();
        if (n != Rows) state.SkipWithError("wrong row count");
    }
    PerRow(state);
    state.counters["heap_per_row"] = static_cast<double>(heap) / static_cast<double>(state.iterations()) / Rows;
    state.counters["block_bytes"] = querybench::KeptBlockSize();
}

// ------------------------------------------------------------------ the query

void QueryOpen(benchmark::State& state) {
    SybConnect::TSybQuery query(nullptr);
    query.SetDatabaseName("DB");
    query.GetSQL()->SetText(querybench::MixedSelect);
    size_t heap = 0, resident = 0;
    for (auto _ : state) {
        QueueBatch();
        const size_t heapBefore = HeapInUse();
        const size_t residentBefore = ResidentBytes();
        query.Open();
        heap += HeapInUse() - heapBefore;
        const size_t residentAfter = ResidentBytes();
        resident += residentAfter > residentBefore ? residentAfter - residentBefore : 0;
        state.PauseTiming();
        const int count = query.RecordCount();
        state.counters["record_size"] = query.GetRecordBufferSize();
        query.Close();
        state.ResumeTiming();
        if (count != Rows) state.SkipWithError("wrong record count");
    }
    PerRow(state);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["heap_per_row"] = static_cast<double>(heap) / iterations / Rows;
    // After the first Open the freed pages stay with the process, so only the
    // first iteration shows here; the heap figure is the one to read.
    state.counters["rss_per_row"] = static_cast<double>(resident) / iterations / Rows;
}

BENCHMARK(BareFetch)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BareFetchAllBound)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(QueryOpen)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BareFetchKeep)->Unit(benchmark::kMillisecond)->Iterations(2);

// The fake must be on the library search path before the binding's dlopen;
// run paths of the executable do not reliably cover it, the environment does.
void SelectTheFake(char** argv) {
    const std::string folder = KESTREL_FAKEOC_DIR;
    const char* current = std::getenv("LD_LIBRARY_PATH");
    if (current && std::string(current).find(folder) != std::string::npos) return;
    const std::string value = current && *current ? folder + ":" + current : folder;
    ::setenv("LD_LIBRARY_PATH", value.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    std::perror("re-executing with the scripted Open Client on LD_LIBRARY_PATH");
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    SelectTheFake(argv);
    benchmark::Initialize(&argc, argv);
    if (argc > 1 && std::strncmp(argv[1], "--rows=", 7) == 0) {
        Rows = std::atoll(argv[1] + 7);
        argv[1] = argv[0];
        --argc;
        ++argv;
    }
    if (Rows <= 0 || benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    FakeOC::Reset();
    kestrel::Initialize();
    if (!Ctpublic::ctDLLLoaded) {
        std::fprintf(stderr, "the client libraries did not load\n");
        return 2;
    }
    FakeOC::SetLogging(false);
    Connection = std::make_unique<SybConnect::TSybConnect>(nullptr);
    Connection->SetServerName("SRV");
    Connection->SetDatabaseName("DB");
    Connection->Connect();
    if (FakeOC::Count("ct_connect") == 0) {
        std::fprintf(stderr, "the scripted Open Client is not the loaded library\n");
        return 2;
    }

    kestrelbench::TRatioReporter reporter;
    kestrelbench::RunAll(reporter);
    reporter.PrintRatios({{"QueryOpen / BareFetch", "QueryOpen", "BareFetch", 1.5},
                          {"QueryOpen / BareFetchKeep", "QueryOpen", "BareFetchKeep", 0},
                          {"BareFetchKeep / BareFetch", "BareFetchKeep", "BareFetch", 0},
                          {"BareFetchAllBound / BareFetch", "BareFetchAllBound", "BareFetch", 0}});

    Connection.reset();
    if (!FakeOC::Misuses().empty()) std::fprintf(stderr, "misuse: %s\n", FakeOC::Misuses().front().c_str());
    kestrel::Finalize();
    benchmark::Shutdown();
    return 0;
}
