// The enablement rules and the table that maps them onto controls.
#include "app/enablement.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/command_table.h"

namespace tabellan {
namespace {

using R = EnableRule;

TEST(EnablementTest, EmptySetWithNoCardShownOffersOnlySaveAndUndo) {
    EnablementInputs in;  // nothing loaded, editor disabled and empty
    Enablement e = ComputeEnablement(in);
    for (int r = 0; r < kEnableRuleCount; ++r) {
        EXPECT_FALSE(e[r]) << "rule " << r;
    }
    in.fileModified = true;
    in.editorCanUndo = true;
    e = ComputeEnablement(in);
    EXPECT_TRUE(Enabled(e, R::Save));
    EXPECT_TRUE(Enabled(e, R::Undo));
    EXPECT_FALSE(Enabled(e, R::CardSelected));
    EXPECT_FALSE(Enabled(e, R::HaveCards));
}

TEST(EnablementTest, RestoreNeedsASelectedCardWithAnEdit) {
    EnablementInputs in;
    in.cardCount = 3;
    in.cardSelected = true;
    in.editorEnabled = true;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::Restore));
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::Save));
    in.cardEdited = true;  // one keystroke
    EXPECT_TRUE(Enabled(ComputeEnablement(in), R::Restore));
    EXPECT_TRUE(Enabled(ComputeEnablement(in), R::Save));
    in.cardSelected = false;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::Restore));
}

TEST(EnablementTest, ExecuteFollowsTheFileSettingAndTheSelection) {
    EnablementInputs in;
    in.cardCount = 1;
    in.cardSelected = true;
    in.commandExec = false;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::Execute));
    in.commandExec = true;
    EXPECT_TRUE(Enabled(ComputeEnablement(in), R::Execute));
    in.cardSelected = false;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::Execute));
}

TEST(EnablementTest, SelectAllOnlyWhileSomethingIsLeftToSelect) {
    EnablementInputs in;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::SelectAll));  // empty editor
    in.textLength = 10;
    EXPECT_TRUE(Enabled(ComputeEnablement(in), R::SelectAll));
    in.selectionLength = 10;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::SelectAll));
    EXPECT_TRUE(Enabled(ComputeEnablement(in), R::Selection));
}

TEST(EnablementTest, PasteNeedsTextOnTheClipboardAndAnEnabledEditor) {
    EnablementInputs in;
    in.clipboardHasText = true;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::Paste));
    in.editorEnabled = true;
    EXPECT_TRUE(Enabled(ComputeEnablement(in), R::Paste));
    EXPECT_TRUE(Enabled(ComputeEnablement(in), R::EditorEnabled));
    in.clipboardHasText = false;
    EXPECT_FALSE(Enabled(ComputeEnablement(in), R::Paste));
}

TEST(EnablementTest, TableNamesEveryControlOnceWithItsRule) {
    std::set<std::string> names;
    for (const EnablementEntry& entry : EnablementTable()) {
        EXPECT_TRUE(names.insert(std::string(entry.control)).second) << entry.control;
    }
    EXPECT_EQ(names.size(), 54u);
    auto ruleOf = [](std::string_view name) {
        for (const EnablementEntry& entry : EnablementTable()) {
            if (entry.control == name) {
                return entry.rule;
            }
        }
        ADD_FAILURE() << "missing " << name;
        return R::Save;
    };
    EXPECT_EQ(ruleOf("sbSave"), R::Save);
    EXPECT_EQ(ruleOf("mnuPBSortSelected"), R::Selection);
    EXPECT_EQ(ruleOf("mnuPBSort"), R::CardSelected);
    EXPECT_EQ(ruleOf("mnuSearchItem9"), R::HaveCards);
    EXPECT_EQ(ruleOf("FindCard2"), R::HaveCards);
    EXPECT_EQ(ruleOf("pumnuRestore"), R::Restore);
    EXPECT_EQ(ruleOf("sbCardExecute"), R::Execute);
    EXPECT_EQ(ruleOf("mnuEditPasteRndStr"), R::EditorEnabled);
}

}  // namespace
}  // namespace tabellan
