// The record store against a bare loop over its record list, in one run:
// Next through every record, RecordCount with and without a filter. Compare
// the per_record counters of the store rows with the BareCopy row.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tests/sybdataset/TestStore.h"

using namespace storetest;

namespace {

constexpr int Records = 1000000;

// One store for the whole run; opening a million records is not what we
// measure.
TTestStore& Store() {
    static std::unique_ptr<TTestStore> store = [] {
        auto s = std::make_unique<TTestStore>();
        SetupIdName(*s, Records);
        s->Open();
        return s;
    }();
    return *store;
}

void PerRecord(benchmark::State& state, int64_t perIteration) {
    // Seconds per record, printed with an SI prefix (3.9n = 3.9 ns).
    state.counters["per_record"] = benchmark::Counter(static_cast<double>(perIteration),
                                                         benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
}

// What any store has to pay at least: one memcpy of each record into a buffer.
void BareCopy(benchmark::State& state) {
    TTestStore& s = Store();
    std::vector<char> buffer(static_cast<size_t>(s.GetRecordBufferSize()));
    for (auto _ : state) {
        int64_t sum = 0;
        for (TRecordBuffer r : s.FRecords) {
            std::memcpy(buffer.data(), r, buffer.size());
            benchmark::DoNotOptimize(buffer.data());
            sum += buffer[1];
        }
        benchmark::DoNotOptimize(sum);
    }
    PerRecord(state, Records);
}

void NextThroughAll(benchmark::State& state) {
    TTestStore& s = Store();
    s.SetFiltered(false);
    for (auto _ : state) {
        int n = 0;
        for (s.First(); !s.Eof(); s.Next()) ++n;
        if (n != Records) state.SkipWithError("wrong count");
    }
    PerRecord(state, Records);
}

// The store's own share of Next: GetRecord(gmNext) over every record, without
// the framework's window and events around it.
void GetRecordLoop(benchmark::State& state) {
    TTestStore& s = Store();
    s.SetFiltered(false);
    TRecordBuffer buffer = s.Alloc();
    for (auto _ : state) {
        int n = 0;
        s.InternalFirst();
        while (s.GetRecord(buffer, gmNext, true) == grOK) ++n;
        if (n != Records) state.SkipWithError("wrong count");
    }
    s.Free(buffer);
    PerRecord(state, Records);
}

void RecordCountUnfiltered(benchmark::State& state) {
    TTestStore& s = Store();
    s.SetFiltered(false);
    for (auto _ : state) benchmark::DoNotOptimize(s.RecordCount());
    PerRecord(state, Records);
}

void RecordCountFiltered(benchmark::State& state) {
    TTestStore& s = Store();
    TField* id = s.FieldByName("ID");
    s.SetOnFilterRecord([id](TDataSet*, bool& accept) { accept = (id->AsInteger() & 1) == 0; });
    s.SetFiltered(true);
    for (auto _ : state) {
        if (s.RecordCount() != Records / 2) state.SkipWithError("wrong count");
    }
    s.SetFiltered(false);
    PerRecord(state, Records);
}

// The same filter's cost on the bare loop: copy, then ask the handler.
void BareCopyFiltered(benchmark::State& state) {
    TTestStore& s = Store();
    std::vector<char> buffer(static_cast<size_t>(s.GetRecordBufferSize()));
    const int32_t idOffset = s.FieldOffset(1) + 1;
    auto accept = [&](const char* b) {
        int32_t v;
        std::memcpy(&v, b + idOffset, sizeof v);
        return (v & 1) == 0;
    };
    for (auto _ : state) {
        int n = 0;
        for (TRecordBuffer r : s.FRecords) {
            std::memcpy(buffer.data(), r, buffer.size());
            benchmark::DoNotOptimize(buffer.data());
            n += accept(buffer.data());
        }
        if (n != Records / 2) state.SkipWithError("wrong count");
    }
    PerRecord(state, Records);
}

} // namespace

BENCHMARK(BareCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(GetRecordLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(NextThroughAll)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordCountUnfiltered)->Unit(benchmark::kMillisecond);
BENCHMARK(BareCopyFiltered)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordCountFiltered)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
