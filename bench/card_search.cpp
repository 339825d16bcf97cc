// Find Next and Replace All against a raw substring scan of the same card texts, measured
// in the same run; the ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cardfile/card_search.h"
#include "cardfile/card_set.h"
#include "cardfile/card_set_search_host.h"
#include "cardfile/prompter.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

// Address cards; with `needleEvery` > 0 every such card gets the word in its body, with 0
// only the last card does.
void FillCards(CardSet& cards, int count, int needleEvery) {
    for (int i = 0; i < count; ++i) {
        char index[32];
        std::snprintf(index, sizeof index, "Person %07d", i);
        const bool needle = needleEvery > 0 ? i % needleEvery == 0 : i == count - 1;
        cards.AppendUnsorted(Card{{index, "Long Street " + std::to_string(i % 977),
                                   "12345 Some Town", "Phone (0212) 555 " + std::to_string(i),
                                   needle ? "note: call about the Needle" : "note: none"}});
    }
    cards.SortPending();
}

std::vector<std::string> Texts(const CardSet& cards) {
    std::vector<std::string> texts;
    for (int i = 0; i < cards.Count(); ++i) {
        texts.push_back(cards.CardAt(i).Text());
    }
    return texts;
}

std::size_t RawScan(const std::vector<std::string>& texts, std::string_view word) {
    std::size_t hits = 0;
    for (const std::string& t : texts) {
        for (std::size_t at = t.find(word); at != std::string::npos; at = t.find(word, at + 1)) {
            ++hits;
        }
    }
    return hits;
}

constexpr int kFindCards = 100000;

void BM_FindNextRaw(benchmark::State& state) {
    CardSet cards;
    FillCards(cards, kFindCards, 0);
    const std::vector<std::string> texts = Texts(cards);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RawScan(texts, "Needle"));
    }
}

// The same bytes where the card set keeps them: line by line, no joined copy.
void BM_FindNextRawLines(benchmark::State& state) {
    CardSet cards;
    FillCards(cards, kFindCards, 0);
    for (auto _ : state) {
        std::size_t hits = 0;
        for (int i = 0; i < cards.Count(); ++i) {
            for (const std::string& line : cards.CardAt(i).lines) {
                hits += line.find("Needle") != std::string::npos;
            }
        }
        benchmark::DoNotOptimize(hits);
    }
}

void BM_FindNext(benchmark::State& state) {
    CardSet cards;
    FillCards(cards, kFindCards, 0);
    CardSetSearchHost host(cards);
    auto prompter = test::SilentPrompter();
    const SearchRequest request{"needle", "", false};
    for (auto _ : state) {
        host.ShowCard(0);
        SearchState search;
        if (!FindNext(host, search, request, prompter)) {
            state.SkipWithError("no match");
        }
    }
}

void BM_ReplaceAllRaw(benchmark::State& state) {
    CardSet cards;
    FillCards(cards, static_cast<int>(state.range(0)), 1);
    const std::vector<std::string> texts = Texts(cards);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RawScan(texts, "Needle"));
    }
}

void BM_ReplaceAll(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto prompter = test::SilentPrompter();
    for (auto _ : state) {
        state.PauseTiming();
        CardSet cards;
        FillCards(cards, count, 1);
        CardSetSearchHost host(cards);
        host.ShowCard(0);
        state.ResumeTiming();
        SearchState search;
        if (ReplaceAll(host, search, SearchRequest{"needle", "pin", false}, prompter) != count) {
            state.SkipWithError("wrong count");
        }
    }
}

BENCHMARK(BM_FindNextRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNextRawLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNext)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllRaw)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAll)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Keeps each run's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void PrintRatio(const RatioReporter& r, const std::string& name, const std::string& raw) {
    const auto a = r.times.find(name);
    const auto b = r.times.find(raw);
    if (a != r.times.end() && b != r.times.end() && b->second > 0) {
        std::printf("%-28s %8.2fx %s\n", name.c_str(), a->second / b->second, raw.c_str());
    }
}

}  // namespace
}  // namespace tabellan

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    tabellan::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios to the raw substring scan of the same texts:\n");
    PrintRatio(reporter, "BM_FindNext", "BM_FindNextRaw");
    PrintRatio(reporter, "BM_FindNext", "BM_FindNextRawLines");
    for (const char* n : {"2000", "20000"}) {
        PrintRatio(reporter, std::string("BM_ReplaceAll/") + n + "/iterations:3",
                   std::string("BM_ReplaceAllRaw/") + n);
    }
    benchmark::Shutdown();
    return 0;
}
