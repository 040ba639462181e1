// Side-by-side ratios for the benchmarks that compare a component with a bare
// client-library loop: the console output as usual, then one line per pair
// with the best time per iteration of each and their quotient, in wall time
// and in this thread's CPU time (against a server in another process the
// latter leaves the server out). Best, not mean: the machine is shared, and
// the fastest repetition is the least disturbed.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace kestrelbench {

struct TRatio {
    std::string Label;
    std::string Numerator;   // function name of a benchmark
    std::string Denominator; // the bare loop it is held against
    double Target = 0;       // 0: no target
};

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            // With --benchmark_report_aggregates_only only the aggregates come:
            // the medians stand in for the best repetitions then.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            const std::string& name = run.run_name.function_name;
            Keep(FBest, name, run.real_accumulated_time / static_cast<double>(run.iterations));
            Keep(FBestCpu, name, run.cpu_accumulated_time / static_cast<double>(run.iterations));
        }
    }

    // Prints the ratios whose two sides both ran; returns false when one that
    // has a target missed it (informational: nothing fails on it).
    bool PrintRatios(const std::vector<TRatio>& ratios) const {
        bool allMet = true;
        std::printf("\n%-34s %5s %12s %12s %8s\n", "ratio (best of repetitions)", "time", "numerator", "bare", "ratio");
        for (const TRatio& r : ratios)
            for (const auto* best : {&FBest, &FBestCpu}) {
                auto n = best->find(r.Numerator);
                auto d = best->find(r.Denominator);
                if (n == best->end() || d == best->end() || d->second <= 0) continue;
                const double ratio = n->second / d->second;
                const bool met = r.Target <= 0 || ratio <= r.Target;
                allMet = allMet && met;
                std::printf("%-34s %5s %10.1fms %10.1fms %8.3f", r.Label.c_str(), best == &FBest ? "wall" : "cpu",
                            n->second * 1e3, d->second * 1e3, ratio);
                if (r.Target > 0) std::printf("  (target <= %.2f: %s)", r.Target, met ? "met" : "MISSED");
                std::printf("\n");
            }
        std::fflush(stdout);
        return allMet;
    }

    // Best seconds per iteration of a benchmark, 0 when it did not run.
    double Best(const std::string& name) const {
        auto it = FBest.find(name);
        return it == FBest.end() ? 0 : it->second;
    }

private:
    static void Keep(std::map<std::string, double>& best, const std::string& name, double seconds) {
        auto it = best.find(name);
        if (it == best.end() || seconds < it->second) best[name] = seconds;
    }

    std::map<std::string, double> FBest, FBestCpu;
};

// Runs the benchmarks the command line selects through the reporter.
inline void RunAll(TRatioReporter& reporter) { benchmark::RunSpecifiedBenchmarks(&reporter); }

} // namespace kestrelbench
