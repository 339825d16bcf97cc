#pragma once
// Which commands the main window offers, decided from plain state so the rules are testable
// without widgets. The window gathers the inputs on every timer tick and applies the result
// to each command's action (command_table.h gives every command its rule).
#include <array>

namespace tabellan {

struct EnablementInputs {
    bool fileModified = false;
    bool cardEdited = false;
    bool editorCanUndo = false;
    bool clipboardHasText = false;
    bool editorEnabled = false;
    int selectionLength = 0;  // in the editor, any consistent unit
    int textLength = 0;       // the editor's whole text, same unit
    int cardCount = 0;
    bool cardSelected = false;  // an item of the index list is selected
    bool commandExec = true;    // the file setting
};

// One rule per row of the enablement table.
enum class EnableRule {
    Save,
    Undo,
    Paste,
    Selection,
    EditorEnabled,
    HaveCards,
    CardSelected,
    Restore,
    Execute,
    SelectAll,
};
inline constexpr int kEnableRuleCount = 10;

using Enablement = std::array<bool, kEnableRuleCount>;

Enablement ComputeEnablement(const EnablementInputs& in);

inline bool Enabled(const Enablement& e, EnableRule r) {
    return e[static_cast<int>(r)];
}

}  // namespace tabellan
