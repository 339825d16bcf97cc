#pragma once
// The main window under test on the offscreen platform: a fixture that makes a shown window
// whose questions and file dialogs are answered by scripts and whose user settings live in
// a temporary folder.
#include <gtest/gtest.h>

#include <QFont>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/file_dialogs.h"
#include "app/main_window.h"
#include "cardfile/file_settings.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan::test {

class ScriptedDialogs : public FileDialogs {
  public:
    std::optional<QString> openAnswer;
    struct SaveAnswer {
        int filterIndex;
        QString name;
    };
    std::deque<std::optional<SaveAnswer>> saveAnswers;  // empty or nullopt: cancelled
    int saveCalls = 0;
    int lastShownFilter = 0;
    QString lastInitialName;

    std::optional<QString> Open(QWidget*) override { return openAnswer; }
    bool SaveAs(QWidget*, int& filterIndex, QString& name) override;
};

// Whether a line of narrow letters is exactly as wide as one of wide letters, digits or
// punctuation in font: what a fixed-pitch font draws, whatever its metadata says.
bool DrawsEqualWidths(const QFont& font);

class WindowTest : public ::testing::Test {
  protected:
    WindowTest();
    void SetUp() override;
    void TearDown() override;

    // A shown window whose timer is stopped, so refreshes run only when a test asks.
    TMainForm& Make(QStringList params = {});

    // A card file written by the library's own writer.
    std::string WriteCards(const QString& name, const std::vector<std::vector<std::string>>& cards,
                           FileSettings settings = {});
    // The path of name in the test's folder.
    QString FilePath(const QString& name) const;
    // The user settings store the window reads and writes.
    static std::unique_ptr<QSettings> Registry();

    TempFolder dir;
    ScriptedPrompter prompter;
    bool realBoxes = false;  // Make: the window shows its own message boxes, not `prompter`
    ScriptedDialogs dialogs;
    double now = 45000.0;
    std::unique_ptr<TMainForm> window;
};

}  // namespace tabellan::test
