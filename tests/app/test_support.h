#pragma once
// Test doubles for the window: a prompter and file dialogs that answer from queues, and a
// fixture that points the user settings at a temporary folder.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/file_dialogs.h"
#include "app/main_window.h"
#include "cardfile/card_file.h"
#include "cardfile/prompter.h"

namespace tabellan::test {

class ScriptedPrompter : public Prompter {
  public:
    struct Shown {
        MsgKind kind;
        std::string text;
        Buttons buttons;
        int helpContext;
    };
    std::vector<Shown> shown;
    // Answers for questions; a question without one fails the test and answers Cancel.
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> inputs;  // input boxes; empty: cancelled
    std::vector<std::string> inputPrompts;
    std::vector<std::string> statuses;
    int busyDepth = 0;

    Answer Show(MsgKind kind, std::string_view text, Buttons buttons, int help = 0) override {
        shown.push_back({kind, std::string(text), buttons, help});
        if (buttons == Buttons::Ok || buttons == Buttons::OkHelp) {
            return Answer::Ok;
        }
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return Answer::Cancel;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> AskPassword(std::string_view, std::string_view,
                                           std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> InputBox(std::string_view, std::string_view prompt,
                                        std::string_view) override {
        inputPrompts.emplace_back(prompt);
        if (inputs.empty()) {
            return std::nullopt;
        }
        auto a = inputs.front();
        inputs.pop_front();
        return a;
    }
    void Status(std::string_view text) override { statuses.emplace_back(text); }
    void Busy(bool on) override { busyDepth += on ? 1 : -1; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& s : shown) {
            out.push_back(s.text);
        }
        return out;
    }
};

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
    bool SaveAs(QWidget*, int& filterIndex, QString& name) override {
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
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
    }
    void TearDown() override { window.reset(); }

    // A shown window whose timer is stopped, so refreshes run only when a test asks.
    TMainForm& Make(QStringList params = {}) {
        MainWindowOptions options;
        options.params = std::move(params);
        options.prompter = &prompter;
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

    // A card file written by the library's own writer.
    std::string WriteCards(const QString& name, const std::vector<std::vector<std::string>>& cards,
                           FileSettings settings = {}) {
        CardSet set;
        for (const auto& lines : cards) {
            set.Insert(Card{lines});
        }
        const std::string path = dir.filePath(name).toStdString();
        ScriptedPrompter quiet;
        WriteCardFile(path, set, settings, true, quiet);
        return path;
    }

    static std::unique_ptr<QSettings> Registry() {
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Velmorn",
                                           "Quirnel");
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    double now = 45000.0;
    std::unique_ptr<TMainForm> window;
};

}  // namespace tabellan::test
