#include "app/enablement.h"

namespace tabellan {

Enablement ComputeEnablement(const EnablementInputs& in) {
    Enablement e{};
    auto set = [&e](EnableRule r, bool on) { e[static_cast<int>(r)] = on; };
    set(EnableRule::Save, in.fileModified || in.cardEdited);
    set(EnableRule::Undo, in.editorCanUndo);
    set(EnableRule::Paste, in.clipboardHasText && in.editorEnabled);
    set(EnableRule::Selection, in.selectionLength > 0);
    set(EnableRule::EditorEnabled, in.editorEnabled);
    set(EnableRule::HaveCards, in.cardCount > 0);
    set(EnableRule::CardSelected, in.cardSelected);
    set(EnableRule::Restore, in.cardSelected && in.cardEdited);
    set(EnableRule::Execute, in.cardSelected && in.commandExec);
    set(EnableRule::SelectAll, in.selectionLength < in.textLength);
    return e;
}

namespace {

using R = EnableRule;
constexpr EnablementEntry kTable[] = {
    {"mnuFileSave", R::Save},
    {"sbSave", R::Save},
    {"mnuEditUndo", R::Undo},
    {"sbUndo", R::Undo},
    {"mnuEditPaste", R::Paste},
    {"sbPaste", R::Paste},
    {"mnuEditCut", R::Selection},
    {"sbCut", R::Selection},
    {"mnuEditCopy", R::Selection},
    {"sbCopy", R::Selection},
    {"mnuEditCopyASCII", R::Selection},
    {"mnuEditDelete", R::Selection},
    {"mnuEditChangeCase", R::Selection},
    {"mnuPBSortSelected", R::Selection},
    {"mnuEditPasteRndStr", R::EditorEnabled},
    {"mnuSearchIndex", R::HaveCards},
    {"Find2", R::HaveCards},
    {"sbSearchIndex", R::HaveCards},
    {"mnuSearchWholeFile", R::HaveCards},
    {"FindCard2", R::HaveCards},
    {"sbSearchWholeFile", R::HaveCards},
    {"mnuSearchItem1", R::HaveCards},
    {"mnuSearchItem2", R::HaveCards},
    {"mnuSearchItem3", R::HaveCards},
    {"mnuSearchItem4", R::HaveCards},
    {"mnuSearchItem5", R::HaveCards},
    {"mnuSearchItem6", R::HaveCards},
    {"mnuSearchItem7", R::HaveCards},
    {"mnuSearchItem8", R::HaveCards},
    {"mnuSearchItem9", R::HaveCards},
    {"mnuSearchCurrentCard", R::CardSelected},
    {"sbSearchCurrentCard", R::CardSelected},
    {"mnuCardDelete", R::CardSelected},
    {"pumnuDeleteCard", R::CardSelected},
    {"sbDeleteCard", R::CardSelected},
    {"mnuCardDuplicate", R::CardSelected},
    {"pumnuDuplicate", R::CardSelected},
    {"sbDuplicate", R::CardSelected},
    {"mnuCardPrint", R::CardSelected},
    {"Print2", R::CardSelected},
    {"sbPrint", R::CardSelected},
    {"mnuPBSelectEntries", R::CardSelected},
    {"mnuPBRead", R::CardSelected},
    {"sbPBRead", R::CardSelected},
    {"mnuPBUpdate", R::CardSelected},
    {"sbPBUpdate", R::CardSelected},
    {"mnuPBReseq", R::CardSelected},
    {"mnuPBSort", R::CardSelected},
    {"mnuCardRestore", R::Restore},
    {"pumnuRestore", R::Restore},
    {"sbRestore", R::Restore},
    {"mnuCardExecute", R::Execute},
    {"sbCardExecute", R::Execute},
    {"mnuEditSelectAll", R::SelectAll},
};

}  // namespace

std::span<const EnablementEntry> EnablementTable() {
    return kTable;
}

}  // namespace tabellan
