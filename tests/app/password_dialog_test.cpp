// The password dialog takes only a password the file's code page can hold.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "app/dlg_frm.h"
#include "support/scripted_prompter.h"

namespace tabellan::test {
namespace {

TEST(PasswordDialogTest, OnlyAPasswordTheCodePageCanHoldIsTaken) {
    ScriptedPrompter prompter;
    TDlgFrm dialog(prompter);
    auto* edit = dialog.findChild<QLineEdit*>("Edit1");
    auto* ok = dialog.findChild<QPushButton*>("OKBtn");
    ASSERT_TRUE(edit && ok);
    const QString polish = QString::fromUtf8("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87");

    dialog.Setup("Password", "Password:", "", CodePage::Windows1252);
    dialog.open();
    edit->setText(polish);
    ok->click();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompter.Texts(),
              std::vector<std::string>{
                  "The password contains characters that this file's character set "
                  "(windows-1252) cannot hold: U+017C U+0142 U+0107. Choose a password without "
                  "them."});
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(dialog.Password(), "");
    // Any other way of accepting (the Enter key) goes through the same check.
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompter.shown.size(), 2u);

    // Letters of the code page outside ASCII are stored as its bytes.
    edit->setText(QString::fromUtf8("K\xC3\xA4se \xE2\x82\xAC"));
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Password(), "K\xE4se \x80");
    EXPECT_EQ(prompter.shown.size(), 2u);

    // The same letters are a password of a file in a code page that has them.
    dialog.Setup("Password", "Password:", "", CodePage::Windows1250);
    dialog.open();
    edit->setText(polish);
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Password(), "za\xBF\xF3\xB3\xE6");
    EXPECT_EQ(prompter.shown.size(), 2u);
}

}  // namespace
}  // namespace tabellan::test
