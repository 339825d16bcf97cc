// The quick search entries of the Search menu: built from the slots, run as one search.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPushButton>
#include <map>

#include "app/card_memo.h"
#include "app/index_list_view.h"
#include "app/replace_dialog.h"
#include "app/search_commands.h"
#include "app/setup_form.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

class QuickSearchMenuTest : public WindowTest {
  protected:
    void OpenWithSlots(std::map<int, std::string> bySlot) {
        FileSettings settings;
        for (const auto& [slot, item] : bySlot) {
            settings.quickSearch[static_cast<std::size_t>(slot - 1)] = item;
        }
        const std::string path = WriteCards(
            "q.csv", {{"Smith & Co", "Jones Street"}, {"Jones", "London"}, {"Adams", "x"}},
            settings);
        Make({QString::fromStdString(path)});
        QCoreApplication::processEvents();
    }
    QAction* Entry(int n) const { return window->Action(QStringLiteral("mnuSearchItem%1").arg(n)); }
    bool SeparatorVisible() const {
        for (QAction* a : window->findChildren<QAction*>("mnuSearchSep1")) {
            return a->isVisible();
        }
        return false;
    }
    QString Selected() const { return window->Memo()->textCursor().selectedText(); }
};

TEST_F(QuickSearchMenuTest, SlotsWithGapsShowTheirEntriesAndTheSeparator) {
    OpenWithSlots({{2, "f - Smith & Co"}, {5, "i - Jones"}});
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(Entry(n)->isVisible(), n == 2 || n == 5) << n;
    }
    EXPECT_TRUE(SeparatorVisible());
    EXPECT_EQ(Entry(2)->text(), "&2 f - Smith && Co");
    EXPECT_EQ(Entry(5)->text(), "&5 i - Jones");
    window->UpdateEnablements();
    EXPECT_TRUE(Entry(2)->isEnabled());

    // Setup OK without changes packs the items into slots 1 and 2.
    auto* setup = window->findChild<TSetupForm*>();
    setup->FormActivate(SetupTab::QuickSearchItems);
    setup->findChild<QPushButton*>("OK")->click();
    EXPECT_EQ(Entry(1)->text(), "&1 f - Smith && Co");
    EXPECT_EQ(Entry(2)->text(), "&2 i - Jones");
    EXPECT_FALSE(Entry(5)->isVisible());
}

TEST_F(QuickSearchMenuTest, AnEntryRunsOneSearchWithoutCaseAndClosesTheDialog) {
    OpenWithSlots({{1, "i - JONES"}, {2, "f - & co"}, {3, "I - jones"}});
    auto* dialog = window->findChild<TReplaceDialog*>();
    window->Action("mnuSearchWholeFile")->trigger();
    dialog->findChild<QCheckBox*>("cbMatchCase")->setChecked(true);

    window->Doc().SelectCard(0);  // Adams
    Entry(1)->trigger();          // indexes only: the card Jones, not "Jones Street"
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(window->List()->SelectedRow(), 1);
    EXPECT_EQ(Selected(), "Jones");

    Entry(2)->trigger();  // a literal "&"
    EXPECT_EQ(window->List()->SelectedRow(), 2);
    EXPECT_EQ(Selected(), "& Co");

    window->Doc().SelectCard(0);
    Entry(3)->trigger();  // not exactly "i - ": the whole file, text from character 5
    EXPECT_EQ(window->List()->SelectedRow(), 1);
    EXPECT_EQ(window->findChild<SearchCommands*>()->State().lastFindText, "jones");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(QuickSearchMenuTest, RegistrySlotsAtStartAndAFileWithoutItemsClearsThem) {
    {
        auto reg = Registry();
        reg->setValue("SS3", "f - London");
        reg->sync();
    }
    Make();
    EXPECT_TRUE(Entry(3)->isVisible());
    window->UpdateEnablements();
    EXPECT_FALSE(Entry(3)->isEnabled());  // no cards yet
    window->Doc().ReadCardFile(WriteCards("plain.csv", {{"A", "b"}}));
    EXPECT_FALSE(Entry(3)->isVisible());
    EXPECT_FALSE(SeparatorVisible());
}

}  // namespace
}  // namespace tabellan::test
