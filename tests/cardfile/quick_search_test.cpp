#include "cardfile/quick_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "cardfile/card_set.h"
#include "cardfile/file_settings.h"
#include "support/fake_search_host.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

TEST(QuickSearchItemTest, PrefixGivesTheScope) {
    EXPECT_EQ(EncodeQuickSearchItem(true, "Smith"), "i - Smith");
    EXPECT_EQ(EncodeQuickSearchItem(false, "Smith"), "f - Smith");
    const QuickSearch index = DecodeQuickSearchItem("i - Smith");
    EXPECT_EQ(index.scope, SearchScope::Indexes);
    EXPECT_EQ(index.text, "Smith");
    // A capital I is not the index prefix; the text still starts at the fifth character.
    const QuickSearch capital = DecodeQuickSearchItem("I - Smith");
    EXPECT_EQ(capital.scope, SearchScope::WholeFile);
    EXPECT_EQ(capital.text, "Smith");
    EXPECT_EQ(DecodeQuickSearchItem("i -").text, "");
}

TEST(QuickSearchItemTest, CaptionsDoubleAmpersandsAndReadBack) {
    EXPECT_EQ(QuickSearchCaption(3, "f - Smith & Co"), "&3 f - Smith && Co");
    EXPECT_EQ(ItemFromCaption("&3 f - Smith && Co"), "f - Smith & Co");
    EXPECT_EQ(ItemFromCaption(QuickSearchCaption(1, "i&&- a&b")), "i&&- a&b");
}

TEST(QuickSearchMenuTest, ShowsUsedSlotsKeepingTheirNumbers) {
    QuickSearchItems items;
    items[1] = "f - two";
    items[4] = "i - five";
    const QuickSearchMenu menu = BuildQuickSearchMenu(items);
    EXPECT_TRUE(menu.separatorVisible);
    EXPECT_FALSE(menu.entries[0].visible);
    EXPECT_TRUE(menu.entries[1].visible);
    EXPECT_EQ(menu.entries[1].caption, "&2 f - two");
    EXPECT_EQ(menu.entries[4].caption, "&5 i - five");
    EXPECT_EQ(menu.entries[8].caption, "&9 ");
    EXPECT_FALSE(BuildQuickSearchMenu(QuickSearchItems{}).separatorVisible);
}

TEST(QuickSearchRegistryTest, MissingValuesGiveEmptySlotsAndOnlyUsedSlotsAreWritten) {
    const std::map<std::string, std::string> registry{{"SS2", "f - two"}, {"SS9", "i - x"}};
    const QuickSearchItems items =
        ReadQuickSearchItems([&](const std::string& name) -> std::optional<std::string> {
            const auto it = registry.find(name);
            if (it == registry.end()) {
                return std::nullopt;
            }
            return it->second;
        });
    EXPECT_EQ(items[1], "f - two");
    EXPECT_EQ(items[8], "i - x");
    EXPECT_TRUE(items[0].empty());
    const auto written = QuickSearchValuesToWrite(items);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], (std::pair<std::string, std::string>{"SS2", "f - two"}));
    EXPECT_EQ(written[1].first, "SS9");
}

TEST(QuickSearchHeaderTest, SlotsKeepTheirNumbersThroughACardFileHeader) {
    FileSettings written;
    written.quickSearch[1] = "f - two";
    written.quickSearch[4] = "i - five & more";
    const std::vector<std::string> header = BuildFileSettings(written);
    EXPECT_NE(std::find(header.begin(), header.end(), "SS5=i - five & more"), header.end());
    test::ScriptedPrompter prompter;
    const FileSettings read = ApplyFileSettings(header, "", SettingsContext{}, prompter);
    EXPECT_EQ(read.quickSearch, written.quickSearch);
    // A header without SS keys empties every slot.
    EXPECT_EQ(ApplyFileSettings({"Version=01.24"}, "", SettingsContext{}, prompter).quickSearch,
              QuickSearchItems{});
}

TEST(RunQuickSearchTest, SearchesTheItemsScopeWithoutMatchingCase) {
    test::FakeSearchHost host;
    host.cards.Insert(Card{{"Alpha", "smith & co"}});
    host.cards.Insert(Card{{"Smith & Co"}});
    test::ScriptedPrompter prompter;
    SearchState state;

    ASSERT_TRUE(RunQuickSearch(host, state, "i - SMITH & CO", prompter));
    EXPECT_EQ(state.scope, SearchScope::Indexes);
    EXPECT_EQ(state.lastFindText, "SMITH & CO");
    EXPECT_EQ(host.selected, 1);

    host.selected = 0;
    host.selStart = host.selLen = 0;
    ASSERT_TRUE(RunQuickSearch(host, state, "I - smith & co", prompter));
    EXPECT_EQ(state.scope, SearchScope::WholeFile);
    EXPECT_EQ(host.selected, 0);
    EXPECT_EQ(host.selStart, 7u);

    EXPECT_FALSE(RunQuickSearch(host, state, "f - ", prompter));
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{" not found!"}));
}

QuickSearchItems Slots(std::initializer_list<std::pair<int, std::string>> used) {
    QuickSearchItems items;
    for (const auto& [slot, item] : used) {
        items[slot - 1] = item;
    }
    return items;
}

TEST(QuickSearchItemsModelTest, LoadCompactsSlotsAndSaveFillsFromTheFirst) {
    QuickSearchItemsModel model;
    model.Load(Slots({{2, "f - two"}, {5, "i - five"}}));
    EXPECT_EQ(model.Lines(), (std::vector<std::string>{"f - two", "i - five"}));
    EXPECT_EQ(model.Selected(), -1);
    EXPECT_EQ(model.Save(), Slots({{1, "f - two"}, {2, "i - five"}}));
}

TEST(QuickSearchItemsModelTest, ButtonEnablement) {
    QuickSearchItemsModel model;
    model.Load(Slots({{1, "f - a"}, {2, "f - b"}, {3, "f - c"}}));
    EXPECT_FALSE(model.CanAdd());  // empty edit field
    EXPECT_FALSE(model.CanDelete());
    EXPECT_FALSE(model.CanMoveUp());
    EXPECT_FALSE(model.CanMoveDown());
    model.SelectLine(0);
    EXPECT_TRUE(model.CanAdd());  // the selection filled the edit field
    EXPECT_TRUE(model.CanDelete());
    EXPECT_FALSE(model.CanMoveUp());
    EXPECT_TRUE(model.CanMoveDown());
    model.SelectLine(2);
    EXPECT_TRUE(model.CanMoveUp());
    EXPECT_FALSE(model.CanMoveDown());
}

TEST(QuickSearchItemsModelTest, NineLinesDisableAdd) {
    QuickSearchItemsModel model;
    model.SetEditText("x");
    for (int i = 0; i < 12; ++i) {
        model.Add();
    }
    EXPECT_EQ(model.Lines().size(), 9u);
    EXPECT_FALSE(model.CanAdd());
}

TEST(QuickSearchItemsModelTest, SelectingAndEditingRewriteTheLine) {
    QuickSearchItemsModel model;
    model.Load(Slots({{1, "i - Smith"}, {2, "xyz Miller"}}));
    model.SelectLine(0);
    EXPECT_TRUE(model.IndexOnly());
    EXPECT_EQ(model.EditText(), "Smith");
    model.SetIndexOnly(false);
    EXPECT_EQ(model.Lines()[0], "f - Smith");
    model.SetEditText("");
    EXPECT_EQ(model.Lines()[0], "f - ");  // an empty item stays in the list
    model.SelectLine(1);
    EXPECT_FALSE(model.IndexOnly());
    EXPECT_EQ(model.EditText(), "Miller");
    model.SetEditText(std::string(40, 'a'));  // the edit field limits typing, not the model
    EXPECT_EQ(model.EditText(), std::string(40, 'a'));
    EXPECT_EQ(model.Lines()[1], "f - " + std::string(40, 'a'));
}

TEST(QuickSearchItemsModelTest, LongItemsFromAFileStayWholeWhenTouched) {
    // Items read from a file or the settings are taken without a length check.
    const std::string text = "Smith, Jones, Miller and Partners Ltd";  // 37 characters
    QuickSearchItemsModel model;
    model.Load(Slots({{1, "f - " + text}}));
    model.SelectLine(0);
    EXPECT_EQ(model.EditText(), text);
    model.SetIndexOnly(true);
    model.SetEditText(model.EditText());  // what the edit field reports after a touch
    EXPECT_EQ(model.Lines()[0], "i - " + text);
    model.SetEditText(text.substr(0, 36));  // the user deletes the last character
    EXPECT_EQ(model.Save()[0], "i - " + text.substr(0, 36));
}

TEST(QuickSearchItemsModelTest, EditingWithoutSelectionChangesNoLine) {
    QuickSearchItemsModel model;
    model.Load(Slots({{1, "f - a"}}));
    model.SetEditText("new");
    model.SetIndexOnly(true);
    EXPECT_EQ(model.Lines(), (std::vector<std::string>{"f - a"}));
    model.Add();
    EXPECT_EQ(model.Lines(), (std::vector<std::string>{"f - a", "i - new"}));
    EXPECT_EQ(model.Selected(), -1);
    EXPECT_EQ(model.EditText(), "new");
    // Loading again keeps the edit field and the check box.
    model.Load(Slots({{3, "f - c"}}));
    EXPECT_EQ(model.EditText(), "new");
    EXPECT_TRUE(model.IndexOnly());
}

TEST(QuickSearchItemsModelTest, MovingAndDeleting) {
    QuickSearchItemsModel model;
    model.Load(Slots({{1, "f - a"}, {2, "i - b"}, {3, "f - c"}}));
    model.SelectLine(1);
    model.MoveUp();
    EXPECT_EQ(model.Lines(), (std::vector<std::string>{"i - b", "f - a", "f - c"}));
    EXPECT_EQ(model.Selected(), 0);
    EXPECT_TRUE(model.IndexOnly());
    model.MoveUp();  // not allowed at the top
    EXPECT_EQ(model.Lines()[0], "i - b");
    model.MoveDown();
    model.MoveDown();
    EXPECT_EQ(model.Lines(), (std::vector<std::string>{"f - a", "f - c", "i - b"}));
    EXPECT_EQ(model.Selected(), 2);
    model.Delete();
    EXPECT_EQ(model.Lines(), (std::vector<std::string>{"f - a", "f - c"}));
    EXPECT_EQ(model.Selected(), -1);
    model.Delete();
    EXPECT_EQ(model.Lines().size(), 2u);
}

}  // namespace
}  // namespace tabellan
