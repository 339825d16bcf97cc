#pragma once
// The Setup dialog of a window with a card file open, its controls found by name, and the
// help pages it asks for.
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <string>
#include <vector>

#include "app/help.h"
#include "app/setup_form.h"
#include "support/window_fixture.h"

namespace tabellan::test {

class SetupDialogTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetHelpOpener([](const QUrl& url) { lastHelp = url; });
    }
    void TearDown() override {
        SetHelpOpener([](const QUrl&) {});
        WindowTest::TearDown();
    }
    void Open(const std::vector<std::vector<std::string>>& cards = {{"Adams", "x"}},
              const FileSettings& settings = {}) {
        Make({QString::fromStdString(WriteCards("s.csv", cards, settings))});
        QCoreApplication::processEvents();
        form = window->findChild<TSetupForm*>("TSetupForm");
        ASSERT_NE(form, nullptr);
    }
    void Show(SetupTab tab) {
        form->FormActivate(tab);
        form->show();
    }
    template <class W>
    W* Get(const char* name) const {
        W* w = form->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* Edit(const char* name) const { return Get<QLineEdit>(name); }
    void Click(const char* name) { Get<QPushButton>(name)->click(); }
    // What typing does: the text changes and the edit reports the user's change.
    void Type(QLineEdit* edit, const QString& text) {
        edit->setText(text);
        emit edit->textEdited(text);
    }
    void Type(const char* name, const QString& text) { Type(Edit(name), text); }

    TSetupForm* form = nullptr;
    static inline QUrl lastHelp;  // the last help page opened
};

}  // namespace tabellan::test
