// Sort Names on the phonebook card: SortEntryLines over generated entry lines against a
// stable sort of the same lines in plain byte order of their sort keys (the least any sort
// of them costs) and against a stable sort that asks the collator in every comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cardfile/index_collator.h"
#include "phone/phonebook_ordering.h"
#include "ratio_report.h"
#include "sample_cards.h"

namespace tabellan::bench {
namespace {

// Entry lines as a phone lists them: location, quoted number, type, quoted name.
std::vector<std::string> EntryLines(int count) {
    Lcg rng;
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const Card card = MakeCard(rng);
        lines.push_back(std::to_string(i + 1) + ",\"0" + Digits(rng, 9) + "\",129,\"" +
                        card.lines[0] + "\"");
    }
    return lines;
}

const IndexCollator& Collator() {
    static const IndexCollator collator(CodePage::Windows1252);
    return collator;
}

void BM_SortNames(benchmark::State& state, int count) {
    const std::vector<std::string> lines = EntryLines(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SortEntryLines(lines, Collator()));
    }
}

void BM_BaselineByteOrder(benchmark::State& state, int count) {
    const std::vector<std::string> lines = EntryLines(count);
    for (auto _ : state) {
        std::vector<std::string> sorted = lines;
        std::stable_sort(
            sorted.begin(), sorted.end(),
            [](const std::string& a, const std::string& b) { return SortKey(a) < SortKey(b); });
        benchmark::DoNotOptimize(sorted);
    }
}

void BM_BaselineCollatorEachCompare(benchmark::State& state, int count) {
    const std::vector<std::string> lines = EntryLines(count);
    for (auto _ : state) {
        std::vector<std::string> sorted = lines;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const std::string& a, const std::string& b) {
                             return Collator().Compare(SortKey(a), SortKey(b)) < 0;
                         });
        benchmark::DoNotOptimize(sorted);
    }
}

constexpr int kSizes[] = {250, 1000, 20000};

// "SortNames/1000": a benchmark's name with its number of lines.
std::string Sized(std::string name, int lines) {
    name += '/';
    name += std::to_string(lines);
    return name;
}

// Each benchmark is registered under its name and size ("SortNames/1000"), the names the
// table looks up.
void Register() {
    for (const int n : kSizes) {
        for (const auto& [name, fn] :
             {std::pair{"SortNames", &BM_SortNames},
              std::pair{"Baseline/ByteOrder", &BM_BaselineByteOrder},
              std::pair{"Baseline/CollatorEachCompare", &BM_BaselineCollatorEachCompare}}) {
            benchmark::RegisterBenchmark(Sized(name, n).c_str(), [fn = fn,
                                                                  n](benchmark::State& state) {
                fn(state, n);
            })->Unit(benchmark::kMillisecond);
        }
    }
}

void PrintTable(const RecordingReporter& r) {
    std::printf("\nRatios of times per iteration (below 1: the first is faster), locale \"%s\":\n",
                Collator().LocaleId().c_str());
    for (const int n : kSizes) {
        const std::string sort = Sized("SortNames", n);
        char label[80];
        std::snprintf(label, sizeof label, "sort names / byte order, %d lines", n);
        PrintRatio(r, label, "", sort, {Sized("Baseline/ByteOrder", n)});
        std::snprintf(label, sizeof label, "sort names / collator each compare, %d lines", n);
        PrintRatio(r, label, "", sort, {Sized("Baseline/CollatorEachCompare", n)});
    }
}

}  // namespace
}  // namespace tabellan::bench

int main(int argc, char** argv) {
    return tabellan::bench::RunBenchmarkProgram(argc, argv, tabellan::bench::Register,
                                                tabellan::bench::PrintTable);
}
