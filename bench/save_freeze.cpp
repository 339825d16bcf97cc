// How long a save blocks the thread that runs it: the document's Save and autosave of 20,000
// generated cards with compression "High" (CompressionLevel 3, UCL level 10), once compressing
// in the calling thread and once as the window does, on a worker thread while the calling
// thread runs its event loop; against raw UCL level-10 compression of the same cards measured
// in the same run. Prints the longest single freeze of each; never asserts.
#include <ucl/ucl.h>

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/background_compressor.h"
#include "cardfile/card_file.h"
#include "cardfile/comma_text.h"
#include "cardfile/document.h"
#include "ratio_report.h"
#include "sample_cards.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;

constexpr int kCards = 20000;
constexpr int kHighCompression = 3;

// The window side of the document, doing nothing: only the library's work is timed.
class QuietView : public DocumentView {
  public:
    std::vector<std::string> EditorLines() const override { return {}; }
    void SetEditorLines(const std::vector<std::string>&) override {}
    void ClearEditor() override {}
    void SetEditorActive(bool) override {}
    void SelectIndex(int) override {}
    int SelectedIndex() const override { return -1; }
    void CardsReset() override {}
    void SetCaption(const std::string&) override {}
    void ShowFileStatus(const std::string&) override {}
    void AddRecentFile(const std::string&) override {}
    void ApplySettingsToWindow(const FileSettings&) override {}
    void CaptureWindowSettings(FileSettings&) override {}
    void Relayout() override {}
    bool AskSaveAs(int&, std::string&) override { return false; }
};

struct Fixture {
    test::TempFolder folder{"tabellan-freeze"};
    std::string body;  // the cards' comma text, CR LF after each: what level 3 compresses
    std::uint64_t plainBytes = 0;
};

Fixture* g_fixture = nullptr;

// The generated cards opened as a card file, with the compression level set as the Setup
// dialog sets it.
struct OpenDocument {
    OpenDocument(int compressionLevel, bool background)
        : doc(view, prompter, SettingsContext{}, [this] { return now; }) {
        if (background) {
            doc.SetBodyCompressor(MakeBackgroundCompressor({}));
        }
        const std::string path = (g_fixture->folder.Path() / "freeze.csv").string();
        CardSet cards;
        bench::FillCards(cards, kCards);
        WriteCardFile(path, cards, FileSettings{}, true, prompter);
        doc.ReadCardFile(path);
        doc.Settings().compressionLevel = compressionLevel;
    }

    double now = 45000.5;
    QuietView view;
    test::ScriptedPrompter prompter = test::SilentPrompter();
    Document doc;
};

// Times each run of one blocking call and reports the longest as "longest_s".
template <typename Call>
void TimeEachFreeze(benchmark::State& state, Call&& call) {
    double longest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        call();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        longest = std::max(longest, seconds);
    }
    state.counters["longest_s"] = longest;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_fixture->plainBytes));
}

// With the compression on a worker thread the call still takes as long, but the calling
// thread's event loop runs meanwhile: its freeze is the longest time between two turns of
// that loop (a 1 ms timer), counted from the call to its return. The call's own time is
// reported as "call_s".
template <typename Call>
void TimeEachEventLoopGap(benchmark::State& state, Call&& call) {
    using Clock = std::chrono::steady_clock;
    double longest = 0;
    double calls = 0;
    Clock::time_point last;
    double gap = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        gap = std::max(gap, std::chrono::duration<double>(now - last).count());
        last = now;
    });
    for (auto _ : state) {
        gap = 0;
        const auto start = Clock::now();
        last = start;
        tick.start();
        call();
        tick.stop();
        const auto end = Clock::now();
        gap = std::max(gap, std::chrono::duration<double>(end - last).count());
        state.SetIterationTime(gap);
        longest = std::max(longest, gap);
        calls += std::chrono::duration<double>(end - start).count();
    }
    state.counters["longest_s"] = longest;
    state.counters["call_s"] = calls / static_cast<double>(state.iterations());
}

void BM_Save(benchmark::State& state, int level, bool background) {
    OpenDocument open(level, background);
    const auto save = [&] {
        open.doc.SetFileModified(true);
        open.doc.SaveCardFile();
    };
    if (background) {
        TimeEachEventLoopGap(state, save);
    } else {
        TimeEachFreeze(state, save);
    }
}

void BM_AutoSave(benchmark::State& state, int level, bool background) {
    OpenDocument open(level, background);
    const auto autoSave = [&] {
        open.now += 1;  // a day later: the copy is due
        open.doc.AutoSaveIfDue();
    };
    if (background) {
        TimeEachEventLoopGap(state, autoSave);
    } else {
        TimeEachFreeze(state, autoSave);
    }
}

void BM_RawUcl10(benchmark::State& state) {
    const std::string& body = g_fixture->body;
    std::string out(body.size() + body.size() / 8 + 256, '\0');
    TimeEachFreeze(state, [&] {
        ucl_uint outLen = static_cast<ucl_uint>(out.size());
        const int rc = ucl_nrv2e_99_compress(
            reinterpret_cast<const unsigned char*>(body.data()), static_cast<ucl_uint>(body.size()),
            reinterpret_cast<unsigned char*>(out.data()), &outLen, nullptr, 10, nullptr, nullptr);
        if (rc != UCL_E_OK) {
            throw std::runtime_error("ucl_nrv2e_99_compress failed");
        }
        benchmark::DoNotOptimize(outLen);
    });
}

void BuildFixture(Fixture& f) {
    CardSet cards;
    bench::FillCards(cards, kCards);
    for (int i = 0; i < cards.Count(); ++i) {
        f.body += ToCommaText(cards.CardAt(i).lines);
        f.body += "\r\n";
    }
    f.plainBytes = f.body.size();
}

void RegisterAll() {
    using benchmark::kMillisecond;
    const auto slow = [](benchmark::internal::Benchmark* b) {
        b->UseManualTime()->Iterations(3)->Unit(kMillisecond);
    };
    slow(benchmark::RegisterBenchmark("Baseline/RawUcl10", BM_RawUcl10));
    slow(benchmark::RegisterBenchmark("Save/High", BM_Save, kHighCompression, false));
    slow(benchmark::RegisterBenchmark("AutoSave/High", BM_AutoSave, kHighCompression, false));
    slow(benchmark::RegisterBenchmark("Save/HighWorker", BM_Save, kHighCompression, true));
    slow(benchmark::RegisterBenchmark("AutoSave/HighWorker", BM_AutoSave, kHighCompression, true));
    benchmark::RegisterBenchmark("Save/None", BM_Save, 0, false)
        ->UseManualTime()
        ->Iterations(10)
        ->Unit(kMillisecond);
}

void PrintTable(const bench::RecordingReporter& r) {
    std::printf("\n%d cards, %.2f MB of card text\n\nRatios of times (same run, same cards):\n",
                kCards, static_cast<double>(g_fixture->plainBytes) / 1e6);
    bench::PrintRatio(r, "level-3 save / raw UCL level 10", "", "Save/High", {"Baseline/RawUcl10"});
    bench::PrintRatio(r, "level-3 autosave / raw UCL level 10", "", "AutoSave/High",
                      {"Baseline/RawUcl10"});
    bench::PrintRatio(r, "level-3 save / uncompressed save", "", "Save/High", {"Save/None"});
    bench::PrintRatio(r, "level-3 save, worker thread / calling thread", "", "Save/HighWorker",
                      {"Save/High"});
    // The longest freeze of the save and the autosave, where either ran.
    const auto printLongest = [&](const char* save, const char* autoSave, const char* how) {
        std::optional<double> longest;
        for (const char* name : {save, autoSave}) {
            if (const auto s = r.CounterValue(std::string(name) + ".longest_s")) {
                longest = std::max(longest.value_or(0), *s);
            }
        }
        if (longest) {
            std::printf("  %-44s %9.3fs   %s\n", "longest freeze (level 3, save or autosave)",
                        *longest, how);
        }
    };
    printLongest("Save/High", "AutoSave/High", "compressing in the calling thread");
    printLongest("Save/HighWorker", "AutoSave/HighWorker",
                 "compressing on a worker thread, as the window does");
}

}  // namespace
}  // namespace tabellan

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the event loop of the worker-thread saves
    tabellan::Fixture fixture;
    tabellan::g_fixture = &fixture;
    const int status = tabellan::bench::RunBenchmarkProgram(
        argc, argv,
        [&] {
            tabellan::BuildFixture(fixture);
            tabellan::RegisterAll();
        },
        [&](const tabellan::bench::RecordingReporter& reporter) {
            tabellan::PrintTable(reporter);
        });
    return status;
}
