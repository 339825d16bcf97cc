#pragma once
// The ratio table the benchmark programs print at the end: every benchmark's time per
// iteration is recorded, and a ratio is printed only when both of its sides ran.
#include <benchmark/benchmark.h>
#include <ucl/ucl.h>

#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tabellan::bench {

// Keeps the time per iteration of every benchmark for the table at the end.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                // The name without the /iterations:N/manual_time the options add.
                seconds_[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                for (const auto& [counter, value] : run.counters) {
                    counters_[run.run_name.function_name + "." + counter] = value.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::optional<double> Seconds(const std::string& name) const {
        const auto it = seconds_.find(name);
        return it == seconds_.end() ? std::nullopt : std::optional<double>(it->second);
    }

    // A benchmark's counter as reported ("BM_Name.counter").
    std::optional<double> CounterValue(const std::string& name) const {
        const auto it = counters_.find(name);
        return it == counters_.end() ? std::nullopt : std::optional<double>(it->second);
    }

  private:
    std::map<std::string, double> seconds_;
    std::map<std::string, double> counters_;
};

// One row of the table: num / den, or "n/a" when a side did not run.
inline void PrintRatioRow(const char* label, const char* aim, std::optional<double> num,
                          std::optional<double> den) {
    if (!num || !den || *den <= 0) {
        std::printf("  %-44s %10s   %s\n", label, "n/a", aim);
        return;
    }
    std::printf("  %-44s %10.2f   %s\n", label, *num / *den, aim);
}

// The time of num over the summed times of den.
inline void PrintRatio(const RecordingReporter& r, const char* label, const char* aim,
                       const std::string& num, const std::vector<std::string>& den) {
    std::optional<double> d = 0.0;
    for (const std::string& name : den) {
        const std::optional<double> s = r.Seconds(name);
        d = s && d ? std::optional<double>(*d + *s) : std::nullopt;
    }
    PrintRatioRow(label, aim, r.Seconds(num), d);
}

// The main of a benchmark program: Google Benchmark's options, the UCL library made ready
// for the raw baselines, then setUp (the files and the registrations; an exception ends the
// program with its message), the benchmarks, and the table printTable prints from the
// recorded times.
template <typename SetUp, typename Table>
int RunBenchmarkProgram(int argc, char** argv, SetUp&& setUp, Table&& printTable) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (ucl_init() != UCL_E_OK) {
        std::fprintf(stderr, "ucl_init failed\n");
        return 1;
    }
    try {
        setUp();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot set up the benchmarks: %s\n", e.what());
        return 1;
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable(reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace tabellan::bench
