// The Setup dialog: loading, the four checks with their messages and focus, storing, the
// File Setup buttons, help, the autodial registry values and the quick search tab.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <map>

#include "app/card_memo.h"
#include "app/help.h"
#include "app/index_list_view.h"
#include "app/limited_line_edit.h"
#include "app/setup_form.h"
#include "setup_dialog_fixture.h"

namespace tabellan::test {
namespace {

class SetupFormTest : public SetupDialogTest {
  protected:
    // Presses OK and expects the check's message with the focus on the field.
    void ExpectRefused(const std::string& message, const char* field) {
        prompter.shown.clear();
        Click("OK");
        ASSERT_EQ(prompter.Texts(), std::vector<std::string>{message});
        EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->CurrentTab(), SetupTab::FileSetup);
        EXPECT_EQ(form->focusWidget(), Edit(field));
    }
};

TEST_F(SetupFormTest, ChecksRunInOrderWithTheirMessagesAndFocus) {
    Open();
    Show(SetupTab::Autodial);
    Edit("Password1")->setText("secret");
    Edit("Password2")->setText("Secret");
    Edit("EditCardSeparator")->setText(" ");
    Edit("AutoSavePeriod")->setText("-1");
    Edit("IndentPrintoutSpaces")->setText("81");
    ExpectRefused("Passwords do not match!", "Password2");
    Edit("Password2")->setText("secret");
    ExpectRefused("Card Separator must be a displayable character or the Form Feed character.",
                  "EditCardSeparator");
    Edit("EditCardSeparator")->setText("\t");
    ExpectRefused("Card Separator must be a displayable character or the Form Feed character.",
                  "EditCardSeparator");
    Click("ButtonFormFeed");
    ExpectRefused("Autosave period must be a value between 0 and 99 minutes.", "AutoSavePeriod");
    Edit("AutoSavePeriod")->setText("");
    ExpectRefused("Autosave period must be a value between 0 and 99 minutes.", "AutoSavePeriod");
    Edit("AutoSavePeriod")->setText("99");
    ExpectRefused("Indent for printouts must be between 0 and 80 spaces.", "IndentPrintoutSpaces");
    EXPECT_TRUE(window->Doc().Settings().password.empty());  // nothing stored yet

    Edit("IndentPrintoutSpaces")->setText("80");
    prompter.shown.clear();
    Click("OK");
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_FALSE(form->isVisible());
    const FileSettings& s = window->Doc().Settings();
    EXPECT_EQ(s.password, "secret");
    EXPECT_EQ(s.cardSeparator, 12);
    EXPECT_EQ(s.savePeriodMinutes, 99);
    EXPECT_EQ(s.indentSpaces, 80);
}

TEST_F(SetupFormTest, LoadedValuesAreShownWholeAndGoThroughTheChecks) {
    FileSettings settings;
    settings.savePeriodMinutes = 150;
    Open({{"Adams", "x"}}, settings);
    Show(SetupTab::Autodial);
    EXPECT_EQ(Edit("AutoSavePeriod")->text(), "150");
    ExpectRefused("Autosave period must be a value between 0 and 99 minutes.", "AutoSavePeriod");
    EXPECT_EQ(window->Doc().Settings().savePeriodMinutes, 150);
    EXPECT_FALSE(window->Doc().FileModified());

    // Two characters stay the typing limit.
    Edit("AutoSavePeriod")->clear();
    QTest::keyClicks(Edit("AutoSavePeriod"), "100");
    EXPECT_EQ(Edit("AutoSavePeriod")->text(), "10");
    Click("OK");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(window->Doc().Settings().savePeriodMinutes, 10);
}

TEST_F(SetupFormTest, LongAutodialValuesAreShownAndStoredWhole) {
    {
        auto reg = Registry();
        reg->setValue("AutoDial", "004930123\t0000000011\t1\t123456789\t9\t0\t0123456789\t1");
        reg->setValue("AutoDialModem", "1234\t1");
    }
    FileSettings settings;
    settings.autodialIgnChars = " .-/+[]{}";
    settings.autodialSepChars = "()<>|:;#*";
    Open({{"Adams", "x"}}, settings);
    Show(SetupTab::Autodial);
    const std::map<std::string, QString> whole = {
        {"CountryCode", "004930123"},       {"ICPrefix", "0000000011"},
        {"AreaCode", "123456789"},          {"LDCPrefix", "9"},
        {"AdditionalPrefix", "0123456789"}, {"EditModemPort", "1234"},
        {"editIgnoredChars", " .-/+[]{}"},  {"editSeparatorChars", "()<>|:;#*"}};
    for (const auto& [name, text] : whole) {
        EXPECT_EQ(Edit(name.c_str())->text(), text) << name;
    }
    // Typing cannot make them longer still.
    QTest::keyClicks(Edit("CountryCode"), "7");
    EXPECT_EQ(Edit("CountryCode")->text(), "004930123");
    Click("OK");
    ASSERT_FALSE(form->isVisible());
    {
        auto reg = Registry();
        EXPECT_EQ(reg->value("AutoDial").toString(),
                  "004930123\t0000000011\t1\t123456789\t9\t0\t0123456789\t1");
        EXPECT_EQ(reg->value("AutoDialModem").toString(), "1234\t1");
    }
    EXPECT_EQ(window->Doc().Settings().autodialIgnChars, " .-/+[]{}");
    EXPECT_EQ(window->Doc().Settings().autodialSepChars, "()<>|:;#*");
}

// Stored with "?" in their place, characters the code page lacks would let the file open
// with other passwords too.
TEST_F(SetupFormTest, APasswordTheCodePageCannotHoldIsRefused) {
    Open();
    Show(SetupTab::FileSetup);
    const QString polish = QString::fromUtf8("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87");
    Edit("Password1")->setText(polish);
    Edit("Password2")->setText(polish);
    ExpectRefused(
        "The password contains characters that this file's character set (windows-1252) "
        "cannot hold: U+017C U+0142 U+0107. Choose a password without them.",
        "Password1");
    EXPECT_TRUE(window->Doc().Settings().password.empty());
    EXPECT_FALSE(window->Doc().FileModified());

    const QString cheese = QString::fromUtf8("K\xC3\xA4se");
    Edit("Password1")->setText(cheese);
    Edit("Password2")->setText(cheese);
    prompter.shown.clear();
    Click("OK");
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(window->Doc().Settings().password, "K\xE4se");
}

// The same rule as the save's: the alternate copy never replaces another file.
TEST_F(SetupFormTest, TheAlternateNameIsCheckedAsTheSaveChecksIt) {
    Open();
    WriteBytes(dir / "notes.txt", "somebody's notes");
    WriteBytes(dir / "copy.csv", ReadBytes(dir / "s.csv"));
    Show(SetupTab::FileSetup);
    Edit("EditAltFN")->setText(FilePath("notes.txt"));
    ExpectRefused(dir / "notes.txt" +
                      " already exists and is not a card file: the alternate copy would not "
                      "replace it.",
                  "EditAltFN");
    Edit("EditAltFN")->setText(FilePath("s.csv"));
    ExpectRefused(dir / "s.csv" + " is the card file itself: it cannot be its own alternate copy.",
                  "EditAltFN");
    // A relative name is judged where it will be stored: against the current folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(FilePath(""));
    Edit("EditAltFN")->setText("notes.txt");
    ExpectRefused(dir / "notes.txt" +
                      " already exists and is not a card file: the alternate copy would not "
                      "replace it.",
                  "EditAltFN");
    QDir::setCurrent(before);
    EXPECT_TRUE(window->Doc().Settings().altCardFileName.empty());

    // An earlier copy, or a name where nothing is, is taken.
    for (const char* name : {"copy.csv", "new.csv"}) {
        Show(SetupTab::FileSetup);
        Edit("EditAltFN")->setText(FilePath(name));
        prompter.shown.clear();
        Click("OK");
        EXPECT_TRUE(prompter.shown.empty()) << name;
        EXPECT_EQ(window->Doc().Settings().altCardFileName, dir / name);
    }
}

TEST_F(SetupFormTest, OkStoresEverythingAndTheWindowFollows) {
    Open();
    ASSERT_FALSE(window->Doc().FileModified());
    Show(SetupTab::FileSetup);
    EXPECT_EQ(Edit("AutoSavePeriod")->text(), "10");
    EXPECT_EQ(Edit("EditCardSeparator")->text(), QString(QChar('\f')));
    EXPECT_EQ(Get<QComboBox>("IndListComboBox")->currentIndex(), 1);
    Click("OK");
    EXPECT_TRUE(window->Doc().FileModified());  // even without a change

    const int listLeft = window->List()->x();
    Show(SetupTab::FileSetup);
    Get<QComboBox>("IndListComboBox")->setCurrentIndex(0);
    Get<QCheckBox>("cbWordWrap")->setChecked(true);
    Get<QComboBox>("ComprComboBox")->setCurrentIndex(3);
    Edit("EditAltFN")->setText("copy.csv");
    Click("OK");
    const FileSettings& s = window->Doc().Settings();
    EXPECT_FALSE(s.indexListAtRight);
    EXPECT_LT(window->List()->x(), listLeft);
    EXPECT_NE(window->Memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(s.compressionLevel, 3);
    EXPECT_EQ(QString::fromStdString(s.altCardFileName), QDir::current().filePath("copy.csv"));
}

TEST_F(SetupFormTest, FontButtonsStartFromThePendingOrDefaultFontAndCancelKeepsTheFont) {
    Open();
    std::vector<std::string> started;
    form->SetFontChooser([&](const FontSpec& start, QWidget*) -> std::optional<FontSpec> {
        started.push_back(start.name);
        FontSpec chosen = start;
        chosen.name = "Courier New";
        chosen.bold = true;
        return chosen;
    });
    const FontSpec before = window->Doc().Settings().font;
    Show(SetupTab::FileSetup);
    Click("ButtonFont");
    Click("ButtonFont");
    Click("ButtonDefFont");
    EXPECT_EQ(started, (std::vector<std::string>{before.name, "Courier New", "Fixedsys"}));
    Click("Cancel");
    EXPECT_EQ(window->Doc().Settings().font, before);

    Show(SetupTab::FileSetup);
    Click("ButtonFont");
    Click("OK");
    EXPECT_EQ(window->Doc().Settings().font.name, "Courier New");
    EXPECT_TRUE(window->Memo()->font().bold());
}

// The save dialog may change the folder; the picker changes back.
class WanderingDialogs : public ScriptedDialogs {
  public:
    QString to;
    bool SaveAs(QWidget* w, int& filter, QString& name) override {
        QDir::setCurrent(to);
        return ScriptedDialogs::SaveAs(w, filter, name);
    }
};

TEST_F(SetupFormTest, AlternateFilePickerRestoresTheCurrentFolderAndPasswordCanBeCleared) {
    WanderingDialogs wandering;
    ASSERT_TRUE(QDir().mkpath(FilePath("elsewhere")));
    wandering.to = FilePath("elsewhere");
    wandering.saveAnswers.push_back(ScriptedDialogs::SaveAnswer{1, FilePath("alt.csv")});
    MainWindowOptions options;
    options.prompter = &prompter;
    options.dialogs = &wandering;
    window = std::make_unique<TMainForm>(std::move(options));
    form = window->findChild<TSetupForm*>("TSetupForm");
    Show(SetupTab::FileSetup);
    const QString before = QDir::currentPath();
    Click("ButtonSetAltFN");
    EXPECT_EQ(wandering.saveCalls, 1);
    EXPECT_EQ(Edit("EditAltFN")->text(), FilePath("alt.csv"));
    EXPECT_EQ(QDir::currentPath(), before);
    Click("ButtonClearAltFN");
    EXPECT_TRUE(Edit("EditAltFN")->text().isEmpty());

    Edit("Password1")->setText("a");
    Edit("Password2")->setText("b");
    Click("ButtonClearPassword");
    EXPECT_TRUE(Edit("Password1")->text().isEmpty());
    EXPECT_TRUE(Edit("Password2")->text().isEmpty());
    form->reject();
    window.reset();
}

TEST_F(SetupFormTest, AutodialValuesRoundTripThroughTheRegistry) {
    Open({{"Adams", "Tel 90 (212) 555"}});
    Show(SetupTab::Autodial);
    // A missing value: both first boxes checked, the outside line not, Tone.
    EXPECT_TRUE(Get<QCheckBox>("UseICPrefix")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("UseLDCPrefix")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("UseAddPrefix")->isChecked());
    EXPECT_EQ(Get<QComboBox>("cbDialType")->currentIndex(), 0);
    const struct {
        const char* name;
        const char* text;
    } fields[] = {{"CountryCode", "90"}, {"ICPrefix", "00"},        {"AreaCode", "212"},
                  {"LDCPrefix", "1"},    {"AdditionalPrefix", "9"}, {"EditModemPort", "3"}};
    for (const auto& f : fields) {
        Edit(f.name)->setText(f.text);
    }
    Get<QComboBox>("cbDialType")->setCurrentIndex(1);
    Click("OK");
    {
        auto reg = Registry();
        EXPECT_EQ(reg->value("AutoDial").toString(), "90\t00\t1\t212\t1\t1\t9\t0");
        EXPECT_EQ(reg->value("AutoDialModem").toString(), "3\t1");
    }
    Show(SetupTab::FileSetup);
    for (const auto& f : fields) {
        EXPECT_EQ(Edit(f.name)->text(), f.text) << f.name;
    }
    EXPECT_TRUE(Get<QCheckBox>("UseICPrefix")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("UseLDCPrefix")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("UseAddPrefix")->isChecked());
    EXPECT_EQ(Get<QComboBox>("cbDialType")->currentIndex(), 1);
}

TEST_F(SetupFormTest, NumberToBeDialedFollowsEveryRuleAndCharacterChange) {
    Open({{"Adams", "home 12", "Tel 90 (212) 555"}});
    window->Doc().SelectCard(0);
    Show(SetupTab::Autodial);
    EXPECT_EQ(Get<QLabel>("lblOriginalNumber")->text(), " 90 (212) 555");
    QLineEdit* number = Edit("editNumberToBeDialed");
    Type("CountryCode", "90");
    Type("ICPrefix", "00");
    Type("AreaCode", "212");
    EXPECT_EQ(number->text(), "555");
    Type("AreaCode", "216");
    EXPECT_EQ(number->text(), " 212 555");  // long-distance: an empty checked prefix, a blank
    Type("editSeparatorChars", "");  // "(" now ends a run: the first with three digits is 212
    EXPECT_EQ(Get<QLabel>("lblOriginalNumber")->text(), "212");
    EXPECT_EQ(number->text(), "212");
    // Without a modem port nothing is dialed: the port text is not a number.
    Click("btnDial");
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"'' is not a valid integer value"});
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
}

TEST_F(SetupFormTest, CommandsOpenTheirTabAndHelpFollowsTheTab) {
    Open();
    struct Seen {
        SetupTab tab;
        QString focus;
        QString helpPath;
    };
    std::vector<Seen> seen;
    const auto inspect = [&] {
        QTimer::singleShot(0, form, [&] {
            form->findChild<QPushButton*>("Help")->click();
            QWidget* focus = form->focusWidget();
            seen.push_back(
                {form->CurrentTab(), focus ? focus->objectName() : QString(), lastHelp.toString()});
            form->reject();
        });
    };
    for (const char* command : {"mnuCardAutodial", "mnuQuickSearchItems", "mnuFileSetup"}) {
        inspect();
        window->Action(command)->trigger();
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].tab, SetupTab::Autodial);
    EXPECT_EQ(seen[0].focus, "btnDial");
    EXPECT_TRUE(seen[0].helpPath.contains("C_AUTODIAL")) << seen[0].helpPath.toStdString();
    EXPECT_EQ(seen[1].tab, SetupTab::QuickSearchItems);
    EXPECT_TRUE(seen[1].helpPath.contains("S_ITEMS"));
    EXPECT_EQ(seen[2].tab, SetupTab::FileSetup);
    EXPECT_TRUE(seen[2].helpPath.contains("F_SETUP"));
    EXPECT_FALSE(window->Doc().FileModified());  // Cancel stores nothing
}

TEST_F(SetupFormTest, QuickSearchTabEditsTheListWithItsButtonRules) {
    Open();
    Show(SetupTab::QuickSearchItems);
    auto* list = Get<QListWidget>("SrchItemList");
    QLineEdit* item = Edit("EditItem");
    EXPECT_EQ(qobject_cast<LimitedLineEdit*>(item)->Limit(), 30);
    EXPECT_FALSE(Get<QPushButton>("btnAdd")->isEnabled());
    for (int i = 1; i <= 9; ++i) {
        Type("EditItem", QStringLiteral("item %1").arg(i));
        if (Get<QCheckBox>("IndexOnly")->isChecked() != (i == 2)) {
            Get<QCheckBox>("IndexOnly")->click();
        }
        Click("btnAdd");
    }
    ASSERT_EQ(list->count(), 9);
    EXPECT_EQ(list->item(1)->text(), "i - item 2");
    Type("EditItem", "more");
    EXPECT_FALSE(Get<QPushButton>("btnAdd")->isEnabled());  // nine lines

    list->setCurrentRow(1);  // the user selects a line: it loads into the controls
    EXPECT_EQ(item->text(), "item 2");
    EXPECT_TRUE(Get<QCheckBox>("IndexOnly")->isChecked());
    EXPECT_TRUE(Get<QPushButton>("MoveUp")->isEnabled());
    Get<QCheckBox>("IndexOnly")->click();  // rewrites the selected line at once
    EXPECT_EQ(list->item(1)->text(), "f - item 2");
    Click("MoveUp");
    EXPECT_EQ(list->item(0)->text(), "f - item 2");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_FALSE(Get<QPushButton>("MoveUp")->isEnabled());
    Click("btnDelete");
    EXPECT_EQ(list->count(), 8);
    Click("OK");
    EXPECT_EQ(window->Doc().Settings().quickSearch[0], "f - item 1");
    EXPECT_EQ(window->Doc().Settings().quickSearch[8], "");
}

TEST_F(SetupFormTest, LongQuickSearchItemsStayWholeWhenTouched) {
    const QString text = QStringLiteral("Smith, Jones, Miller and Partners Ltd");  // 37
    FileSettings settings;
    settings.quickSearch[0] = "f - " + text.toStdString();
    Open({{"Adams", "x"}}, settings);
    Show(SetupTab::QuickSearchItems);
    auto* list = Get<QListWidget>("SrchItemList");
    QLineEdit* item = Edit("EditItem");
    list->setCurrentRow(0);
    EXPECT_EQ(item->text(), text);
    Get<QCheckBox>("IndexOnly")->click();
    EXPECT_EQ(list->item(0)->text(), "i - " + text);
    QTest::keyClick(item, Qt::Key_End);
    QTest::keyClicks(item, "x");  // beyond the typing limit: refused
    EXPECT_EQ(item->text(), text);
    QTest::keyClick(item, Qt::Key_Backspace);
    EXPECT_EQ(list->item(0)->text(), "i - " + text.chopped(1));
    Click("OK");
    EXPECT_EQ(window->Doc().Settings().quickSearch[0], "i - " + text.chopped(1).toStdString());

    Show(SetupTab::QuickSearchItems);  // shown again and left untouched: stored whole
    list->setCurrentRow(0);
    EXPECT_EQ(item->text(), text.chopped(1));
    Click("OK");
    EXPECT_EQ(window->Doc().Settings().quickSearch[0], "i - " + text.chopped(1).toStdString());
}

}  // namespace
}  // namespace tabellan::test
