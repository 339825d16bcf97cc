// The desktop window against the library on the same file in the same run: opening a
// 100,000-card file from the command line until the first paint with the list filled, and
// one refresh tick (UpdateEnablements) while a 32,000-character card is shown. Runs on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise; never asserts.
#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSettings>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/index_list_view.h"
#include "app/main_window.h"
#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/prompter.h"
#include "ratio_report.h"
#include "sample_cards.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

constexpr int kCards = 100000;
constexpr std::size_t kLongCardChars = 32000;

struct Fixture {
    test::TempFolder dir{"tabellan-bench"};
    std::string file;
};
Fixture* g_fixture = nullptr;

// Notes the first paint of a widget.
class PaintWatcher : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        painted = painted || e->type() == QEvent::Paint;
        return false;
    }
};

MainWindowOptions Options(Prompter& prompter) {
    MainWindowOptions options;
    options.params = {QString::fromStdString(g_fixture->file)};
    options.prompter = &prompter;
    options.clock = [] { return 45000.0; };  // a fixed clock: no autosave while measuring
    return options;
}

// Shows a window opened on the file and pumps events until its list has painted rows.
std::unique_ptr<TMainForm> OpenWindow(Prompter& prompter, PaintWatcher& watcher) {
    auto window = std::make_unique<TMainForm>(Options(prompter));
    window->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    window->List()->viewport()->installEventFilter(&watcher);
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!(window->Started() && watcher.painted && window->List()->model()->rowCount() > 0)) {
        if (waited.elapsed() > 60000) {
            throw std::runtime_error("the window did not show the file within a minute");
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return window;
}

// The seconds a library load of the file takes; freeing the set is not part of it.
double TimeLibraryLoad(Prompter& prompter) {
    auto cards = std::make_unique<CardSet>();
    FileSettings settings;
    const auto start = std::chrono::steady_clock::now();
    LoadCsvCardFile(g_fixture->file, *cards, settings, SettingsContext{}, prompter);
    const auto end = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(cards->Count());
    return std::chrono::duration<double>(end - start).count();
}

void BM_LibraryLoad(benchmark::State& state) {
    auto prompter = test::SilentPrompter();
    for (auto _ : state) {
        state.SetIterationTime(TimeLibraryLoad(prompter));
    }
}

// Each window open is paired with a library load just before it: the load's time depends on
// the state of the heap, which opening and closing windows changes, so the ratio compares
// loads made under the same conditions.
void BM_WindowOpen(benchmark::State& state) {
    auto prompter = test::SilentPrompter();
    double librarySeconds = 0;
    for (auto _ : state) {
        librarySeconds += TimeLibraryLoad(prompter);
        PaintWatcher watcher;
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<TMainForm> window = OpenWindow(prompter, watcher);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        window.reset();
        QCoreApplication::processEvents();
    }
    state.counters["paired_load_ms"] =
        benchmark::Counter(librarySeconds * 1000, benchmark::Counter::kAvgIterations);
}

// Lines of 78 characters joined with CR LF, up to the length of a long card.
std::vector<std::string> LongCard() {
    std::vector<std::string> lines{"Long card"};
    std::size_t length = lines[0].size();
    while (length + 80 <= kLongCardChars) {
        lines.emplace_back(78, static_cast<char>('a' + lines.size() % 26));
        length += 80;
    }
    return lines;
}

void BM_UpdateEnablementsTick(benchmark::State& state) {
    auto prompter = test::SilentPrompter();
    PaintWatcher watcher;
    std::unique_ptr<TMainForm> window = OpenWindow(prompter, watcher);
    window->Doc().SelectCard(0);
    window->SetEditorLines(LongCard());
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window->UpdateEnablements();
    }
    state.counters["card_chars"] = static_cast<double>(window->EditorTextLength());
}

BENCHMARK(BM_LibraryLoad)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_WindowOpen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(8);
BENCHMARK(BM_UpdateEnablementsTick)->Unit(benchmark::kMicrosecond);

void PrintTable(const bench::RecordingReporter& r) {
    std::printf("\nFile: %d cards\nRatios of times (same run, same file):\n", kCards);
    bench::PrintRatio(r, "window open to first paint / library load", "", "BM_WindowOpen",
                      {"BM_LibraryLoad"});
    const auto pairedMs = r.CounterValue("BM_WindowOpen.paired_load_ms");
    bench::PrintRatioRow("window open / load paired with it", "aim <= 1.5",
                         r.Seconds("BM_WindowOpen"),
                         pairedMs ? std::optional<double>(*pairedMs / 1000) : std::nullopt);
    bench::PrintRatio(r, "UpdateEnablements tick / library load", "", "BM_UpdateEnablementsTick",
                      {"BM_LibraryLoad"});
    if (const auto s = r.Seconds("BM_UpdateEnablementsTick")) {
        std::printf("  %-44s %8.3fms   aim < 1 ms\n", "UpdateEnablements tick, 32,000-char card",
                    *s * 1000);
    }
}

void WriteFixture(Fixture& f) {
    // The window's settings go to the temporary folder, not the user's.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(f.dir.File("config")));
    CardSet cards;
    bench::FillCards(cards, kCards);
    f.file = f.dir.File("contacts.csv");
    auto prompter = test::SilentPrompter();
    WriteCardFile(f.file, cards, FileSettings{}, true, prompter);
}

}  // namespace
}  // namespace tabellan

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    QApplication app(argc, argv);
    tabellan::Fixture fixture;
    tabellan::g_fixture = &fixture;
    try {
        tabellan::WriteFixture(fixture);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot write the card file: %s\n", e.what());
        return 1;
    }
    tabellan::bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    tabellan::PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
