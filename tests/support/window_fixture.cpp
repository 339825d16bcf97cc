#include "support/window_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QSettings>
#include <QTimer>
#include <cmath>
#include <cstdlib>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"

namespace tabellan::test {

bool ScriptedDialogs::SaveAs(QWidget*, int& filterIndex, QString& name) {
    ++saveCalls;
    lastShownFilter = filterIndex;
    lastInitialName = name;
    if (saveAnswers.empty() || !saveAnswers.front()) {
        if (!saveAnswers.empty()) {
            saveAnswers.pop_front();
        }
        return false;
    }
    filterIndex = saveAnswers.front()->filterIndex;
    name = saveAnswers.front()->name;
    saveAnswers.pop_front();
    return true;
}

bool DrawsEqualWidths(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal narrow = metrics.horizontalAdvance(QStringLiteral("iiiiiiiiii"));
    for (const char* line :
         {"WWWWWWWWWW", "mmmmmmmmmm", "0000000000", "..........", "@@@@@@@@@@"}) {
        if (std::abs(metrics.horizontalAdvance(QString::fromLatin1(line)) - narrow) > 0.5) {
            return false;
        }
    }
    return narrow > 0;
}

WindowTest::WindowTest() : dir("tabellan-window") {
    // A question the test did not script is a fault of the test or of the window.
    prompter.failUnansweredQuestions = true;
}

void WindowTest::SetUp() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FilePath("config"));
    // The phone library reads the same settings file, for the devices of port numbers.
    ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
}

void WindowTest::TearDown() {
    window.reset();
}

TMainForm& WindowTest::Make(QStringList params) {
    MainWindowOptions options;
    options.params = std::move(params);
    options.prompter = realBoxes ? nullptr : &prompter;
    options.dialogs = &dialogs;
    options.clock = [this] { return now; };
    window = std::make_unique<TMainForm>(std::move(options));
    window->findChild<QTimer*>("Timer1")->stop();
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!window->Started() && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_TRUE(window->Started());
    return *window;
}

std::string WindowTest::WriteCards(const QString& name,
                                   const std::vector<std::vector<std::string>>& cards,
                                   FileSettings settings) {
    CardSet set;
    for (const auto& lines : cards) {
        set.Insert(Card{lines});
    }
    const std::string path = dir.File(name.toStdString());
    ScriptedPrompter quiet;
    WriteCardFile(path, set, settings, true, quiet);
    return path;
}

QString WindowTest::FilePath(const QString& name) const {
    return QString::fromStdString(dir.File(name.toStdString()));
}

std::unique_ptr<QSettings> WindowTest::Registry() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Velmorn",
                                       "Quirnel");
}

}  // namespace tabellan::test
