#pragma once
// The main window against the simulated phone: the simulator on a pseudo-terminal assigned
// to port 1, the window's phone timings shortened, its backups in the test's folder, and a
// card shown in the editor.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/card_memo.h"
#include "app/phonebook_commands.h"
#include "phone/phone_exchange.h"
#include "phone/phonesim_process.h"
#include "phone/port_device.h"
#include "support/window_fixture.h"

namespace tabellan::test {

using Lines = std::vector<std::string>;

// Three entries in the SIM, one in the phone's own memory.
inline const char* const kPhoneBook = R"({"SM": {"capacity": 50, "entries": [
    {"index": 1, "number": "+4930123", "type": 145, "text": "Zed"},
    {"index": 4, "number": "0301", "type": 129, "text": "amy"},
    {"index": 7, "number": "0302", "type": 129, "text": "B\u00e9a"}]},
  "ME": {"capacity": 10, "entries": [
    {"index": 2, "number": "555", "type": 129, "text": "Own"}]}})";

// The SIM's entries as the editor shows them (UTF-8).
inline const std::string kSimEntries =
    "1,\"+4930123\",145,\"Zed\"\n4,\"0301\",129,\"amy\"\n7,\"0302\",129,\"Béa\"\n";

class PhoneWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (const char* data = std::getenv("XDG_DATA_HOME")) {
            savedDataHome_ = data;
        }
        ::setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
        std::ofstream(dir.File("book.json")) << kPhoneBook;
        SetUserSettingLookup([this](std::string_view key) -> std::optional<std::string> {
            if (key == "CommDevice1" && !device_.empty()) {
                return device_;
            }
            if (key == "CommDevice12") {
                return dir.File("no-such-device");
            }
            return std::nullopt;
        });
        prompter.standingInput = "1";  // the port prompt
    }
    void TearDown() override {
        WindowTest::TearDown();
        sim_.reset();
        SetUserSettingLookup({});
        if (savedDataHome_) {
            ::setenv("XDG_DATA_HOME", savedDataHome_->c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
    }

    // The simulator with the test's phonebook and the given habits, on port 1.
    void StartPhone(std::vector<std::string> args = {}) {
        args.push_back("--phonebook");
        args.push_back(dir.File("book.json"));
        args.push_back("--log");
        args.push_back(dir.File("sent.log"));
        sim_.emplace(std::move(args));
        device_ = sim_->firstLine();
        ASSERT_FALSE(device_.empty());
    }

    // A window showing the first of the cards; the phone's timings shortened.
    void ShowCard(const Lines& card) {
        const std::string path = WriteCards(QStringLiteral("cards%1.csv").arg(++files_), {card});
        Make({QString::fromStdString(path)});
        window->Doc().SelectCard(0);
        QCoreApplication::processEvents();
        ShortenTimings();
    }
    void ShortenTimings(int silencePolls = 20) {
        PhoneTiming timing;
        timing.poll = std::chrono::milliseconds(10);
        timing.silencePolls = silencePolls;
        timing.openWait = std::chrono::milliseconds(10);
        Exchange().SetTiming(timing);
    }

    PhoneExchange& Exchange() { return window->Phonebook().Exchange(); }
    void Trigger(const char* name) {
        QAction* action = window->Action(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    bool Enabled(const char* name) {
        return window->Action(QString::fromLatin1(name))->isEnabled();
    }
    // The editor's text in UTF-8, line breaks as LF.
    std::string Text() const { return window->Memo()->toPlainText().toStdString(); }
    // Everything the window sent to the phone.
    std::string Sent() const { return ReadBytes(dir.File("sent.log")); }
    // Runs the event loop until done() or the time is up; false when it is up.
    static bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
        QElapsedTimer waited;
        waited.start();
        while (!done()) {
            if (waited.elapsed() > ms) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

  private:
    std::optional<testing::PhonesimProcess> sim_;
    std::string device_;
    std::optional<std::string> savedDataHome_;
    int files_ = 0;
};

}  // namespace tabellan::test
