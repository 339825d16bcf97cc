// Card file input and output against baselines measured in the same run on the same file:
// the raw read and line split (the limit of any reader), GNU sort -f of the file, a Python
// csv-module load with a case-insensitive sort, and raw UCL decompression of the same body.
// Prints throughput per benchmark and a table of ratios at the end; never asserts.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <ucl/ucl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/atomic_file.h"
#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/comma_text.h"
#include "cardfile/line_reader.h"
#include "cardfile/prompter.h"
#include "ratio_report.h"
#include "sample_cards.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

extern char** environ;

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using bench::FillCards;
using bench::PrintRatio;
using bench::RecordingReporter;

constexpr int kCards = 100000;
constexpr int kSlowCards = 10000;  // level 3 is slow by design
constexpr int kDuplicates = 10000;
constexpr const char* kPassword = "correct horse";

// The files every benchmark works on, written once into a temporary folder.
struct Fixture {
    test::TempFolder folder{"tabellan-bench"};
    const fs::path dir = folder.Path();
    std::string plain, encrypted, level1, level2, level3;  // level3: kSlowCards cards
    std::uint64_t plainBytes = 0;
    std::uint64_t slowPlainBytes = 0;  // the level-3 file's cards, uncompressed
    std::string body;                  // the cards' comma text, CR LF after each
    std::string ucl1, ucl5;            // body compressed at UCL levels 1 and 5
    std::unique_ptr<CardSet> cards, slowCards;
};

Fixture* g_fixture = nullptr;

FileSettings SettingsFor(int level, bool encrypted) {
    FileSettings s;
    s.compressionLevel = level;
    s.password = encrypted ? kPassword : "";
    return s;
}

std::string UclCompress(const std::string& data, int level) {
    std::string out(data.size() + data.size() / 8 + 256, '\0');
    ucl_uint outLen = static_cast<ucl_uint>(out.size());
    const int rc = ucl_nrv2e_99_compress(
        reinterpret_cast<const unsigned char*>(data.data()), static_cast<ucl_uint>(data.size()),
        reinterpret_cast<unsigned char*>(out.data()), &outLen, nullptr, level, nullptr, nullptr);
    if (rc != UCL_E_OK) {
        throw std::runtime_error("ucl_nrv2e_99_compress failed");
    }
    out.resize(outLen);
    return out;
}

void BuildFixture(Fixture& f) {
    f.cards = std::make_unique<CardSet>();
    FillCards(*f.cards, kCards);
    f.slowCards = std::make_unique<CardSet>();
    FillCards(*f.slowCards, kSlowCards);

    auto prompter = test::SilentPrompter(kPassword);
    const auto write = [&](const char* name, const CardSet& set, int level, bool enc) {
        const std::string path = (f.dir / name).string();
        WriteCardFile(path, set, SettingsFor(level, enc), true, prompter);
        return path;
    };
    f.plain = write("plain.csv", *f.cards, 0, false);
    f.encrypted = write("encrypted.csv", *f.cards, 0, true);
    f.level1 = write("level1.csv", *f.cards, 1, false);
    f.level2 = write("level2.csv", *f.cards, 2, false);
    f.level3 = write("level3.csv", *f.slowCards, 3, false);
    f.plainBytes = fs::file_size(f.plain);
    f.slowPlainBytes = fs::file_size(write("slow-plain.csv", *f.slowCards, 0, false));

    for (int i = 0; i < f.cards->Count(); ++i) {
        f.body += ToCommaText(f.cards->CardAt(i).lines);
        f.body += "\r\n";
    }
    f.ucl1 = UclCompress(f.body, 1);
    f.ucl5 = UclCompress(f.body, 5);
}

// Wall time of one run of a program; its standard output goes to /dev/null.
double RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::vector<std::string> copy = args;
    for (std::string& a : copy) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return std::chrono::duration<double>(end - start).count();
}

// The Python script times only its own load and sort, without the interpreter's start-up.
double RunPythonLoad(const std::string& path) {
    static const char* kScript =
        "import csv, sys, time\n"
        "t = time.perf_counter()\n"
        "with open(sys.argv[1], newline='', encoding='cp1252') as f:\n"
        "    f.readline()\n"
        "    rows = list(csv.reader(f))\n"
        "rows.sort(key=lambda r: r[0].lower() if r else '')\n"
        "print(time.perf_counter() - t)\n";
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<std::string> args = {"python3", "-c", kScript, path};
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "python3", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    char buf[256];
    ssize_t n = 0;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) {
        out.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (rc != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || out.empty()) {
        return -1;
    }
    return std::strtod(out.c_str(), nullptr);
}

void SetThroughput(benchmark::State& state, std::uint64_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Load(benchmark::State& state, const std::string* path, std::uint64_t plainBytes) {
    auto prompter = test::SilentPrompter(kPassword);
    for (auto _ : state) {
        auto cards = std::make_unique<CardSet>();
        FileSettings settings;
        LoadCsvCardFile(*path, *cards, settings, SettingsContext{}, prompter);
        benchmark::DoNotOptimize(cards->Count());
        state.PauseTiming();
        cards.reset();
        state.ResumeTiming();
    }
    SetThroughput(state, plainBytes);
}

void BM_Save(benchmark::State& state, const CardSet* cards, int level, bool encrypted,
             std::uint64_t plainBytes, bool commit) {
    auto prompter = test::SilentPrompter(kPassword);
    const FileSettings settings = SettingsFor(level, encrypted);
    const std::string path = (g_fixture->dir / "save-target.csv").string();
    for (auto _ : state) {
        if (commit) {
            WriteCardFile(path, *cards, settings, true, prompter);
        } else {
            AtomicFile out(path);
            WriteCardFile(out, *cards, settings, true, prompter);
        }
    }
    SetThroughput(state, plainBytes);
}

void BM_RawReadSplit(benchmark::State& state) {
    for (auto _ : state) {
        const std::string data = ReadWholeFile(g_fixture->plain);
        std::vector<std::string_view> lines;
        std::string_view rest(data);
        while (!rest.empty()) {
            const std::size_t lf = rest.find('\n');
            lines.push_back(rest.substr(0, lf));
            rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        }
        benchmark::DoNotOptimize(lines.data());
    }
    SetThroughput(state, g_fixture->plainBytes);
}

void BM_SortF(benchmark::State& state) {
    for (auto _ : state) {
        const double seconds = RunProgram({"sort", "-f", g_fixture->plain});
        if (seconds < 0) {
            state.SkipWithError("sort -f failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    SetThroughput(state, g_fixture->plainBytes);
}

void BM_PythonCsvLoad(benchmark::State& state) {
    for (auto _ : state) {
        const double seconds = RunPythonLoad(g_fixture->plain);
        if (seconds < 0) {
            state.SkipWithError("python3 failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    SetThroughput(state, g_fixture->plainBytes);
}

void BM_RawUcl(benchmark::State& state, const std::string* block) {
    std::string out(g_fixture->body.size(), '\0');
    for (auto _ : state) {
        ucl_uint outLen = static_cast<ucl_uint>(out.size());
        const int rc = ucl_nrv2e_decompress_safe_8(
            reinterpret_cast<const unsigned char*>(block->data()),
            static_cast<ucl_uint>(block->size()), reinterpret_cast<unsigned char*>(out.data()),
            &outLen, nullptr);
        if (rc != UCL_E_OK || outLen != out.size()) {
            state.SkipWithError("ucl_nrv2e_decompress_safe_8 failed");
            return;
        }
        benchmark::ClobberMemory();
    }
    SetThroughput(state, g_fixture->plainBytes);
}

void BM_CorrectDuplicates(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto cards = std::make_unique<CardSet>();
        for (int i = 0; i < kDuplicates; ++i) {
            cards->AppendUnsorted(Card{{"Schmidt, Hans",
                                        "Hauptstra\xDF"
                                        "e 1"}});
        }
        cards->SortPending();
        state.ResumeTiming();
        benchmark::DoNotOptimize(cards->CorrectIndexes().count);
        state.PauseTiming();
        cards.reset();
        state.ResumeTiming();
    }
    state.counters["indexes"] = kDuplicates;
}

void RegisterAll(Fixture& f) {
    using benchmark::kMillisecond;
    const std::uint64_t big = f.plainBytes;
    const std::uint64_t small = f.slowPlainBytes;
    benchmark::RegisterBenchmark("Baseline/RawReadSplit", BM_RawReadSplit)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Baseline/SortF", BM_SortF)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Baseline/PythonCsvLoad", BM_PythonCsvLoad)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Baseline/RawUcl1", BM_RawUcl, &f.ucl1)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Baseline/RawUcl5", BM_RawUcl, &f.ucl5)->Unit(kMillisecond);

    benchmark::RegisterBenchmark("Load/Plain", BM_Load, &f.plain, big)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Load/Encrypted", BM_Load, &f.encrypted, big)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Load/Level1", BM_Load, &f.level1, big)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Load/Level2", BM_Load, &f.level2, big)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Load/Level3_10k", BM_Load, &f.level3, small)->Unit(kMillisecond);

    const CardSet* cards = f.cards.get();
    benchmark::RegisterBenchmark("Save/Plain", BM_Save, cards, 0, false, big, true)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Save/PlainNoCommit", BM_Save, cards, 0, false, big, false)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Save/Encrypted", BM_Save, cards, 0, true, big, true)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Save/Level1", BM_Save, cards, 1, false, big, true)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Save/Level2", BM_Save, cards, 2, false, big, true)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("Save/Level3_10k", BM_Save, f.slowCards.get(), 3, false, small,
                                 true)
        ->Iterations(1)
        ->Unit(kMillisecond);

    benchmark::RegisterBenchmark("CorrectIndexes/10kDuplicates", BM_CorrectDuplicates)
        ->Unit(kMillisecond);
}

void PrintTable(const RecordingReporter& r, const Fixture& f) {
    std::printf("\nFile: %d cards, %.2f MB (level-3 file: %d cards, %.2f MB uncompressed)\n",
                kCards, static_cast<double>(f.plainBytes) / 1e6, kSlowCards,
                static_cast<double>(f.slowPlainBytes) / 1e6);
    const char* lang = std::getenv("LANG");
    std::printf("Locale: LANG=%s\n\nRatios of times (same run, same file):\n",
                lang != nullptr ? lang : "");
    PrintRatio(r, "load / raw read+split (cost over the limit)", "", "Load/Plain",
               {"Baseline/RawReadSplit"});
    PrintRatio(r, "load / sort -f", "aim <= 1", "Load/Plain", {"Baseline/SortF"});
    PrintRatio(r, "python csv load+sort / load", "aim >= 5", "Baseline/PythonCsvLoad",
               {"Load/Plain"});
    PrintRatio(r, "save / load", "aim <= 1", "Save/Plain", {"Load/Plain"});
    PrintRatio(r, "save without fsync+rename / load", "", "Save/PlainNoCommit", {"Load/Plain"});
    PrintRatio(r, "encrypted load / load", "", "Load/Encrypted", {"Load/Plain"});
    PrintRatio(r, "encrypted save / save", "", "Save/Encrypted", {"Save/Plain"});
    PrintRatio(r, "level-1 load / (raw UCL 1 + load)", "aim <= 1.3", "Load/Level1",
               {"Baseline/RawUcl1", "Load/Plain"});
    PrintRatio(r, "level-2 load / (raw UCL 5 + load)", "aim <= 1.3", "Load/Level2",
               {"Baseline/RawUcl5", "Load/Plain"});
    PrintRatio(r, "level-1 save / save", "", "Save/Level1", {"Save/Plain"});
    PrintRatio(r, "level-2 save / save", "", "Save/Level2", {"Save/Plain"});
    if (const auto s = r.Seconds("CorrectIndexes/10kDuplicates")) {
        std::printf("  %-44s %9.3fs   aim < 1 s\n", "correction of 10,000 identical indexes", *s);
    }
    if (const auto s = r.Seconds("Save/Level3_10k")) {
        std::printf("  %-44s %9.3fs\n", "level-3 save of 10,000 cards", *s);
    }
}

}  // namespace
}  // namespace tabellan

int main(int argc, char** argv) {
    tabellan::Fixture fixture;
    tabellan::g_fixture = &fixture;
    const int status = tabellan::bench::RunBenchmarkProgram(
        argc, argv,
        [&] {
            tabellan::BuildFixture(fixture);
            tabellan::RegisterAll(fixture);
        },
        [&](const tabellan::bench::RecordingReporter& reporter) {
            tabellan::PrintTable(reporter, fixture);
        });
    return status;
}
