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

}  // namespace tabellan
