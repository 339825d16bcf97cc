#include "app/command_table.h"

#include <vector>

namespace tabellan {

namespace {

using R = EnableRule;

constexpr int K(QKeyCombination key) {
    return key.toCombined();
}

constexpr CommandEntry kCommands[] = {
    // File
    {"mnuFileNew",
     "&New",
     K(Qt::CTRL | Qt::Key_N),
     110,
     {},
     "sbNew",
     "New File",
     {"document-new", "new"}},
    {"mnuFileOpen",
     "&Open...",
     K(Qt::CTRL | Qt::Key_O),
     120,
     {},
     "sbOpen",
     "Open File",
     {"document-open", "open"}},
    {"mnuFileSave",
     "&Save",
     K(Qt::CTRL | Qt::Key_S),
     130,
     R::Save,
     "sbSave",
     "Save File",
     {"document-save", "save"}},
    {"mnuFileSaveAs", "Save &As...", 0, 140},
    {"mnuFileSetup",
     "S&etup...",
     0,
     150,
     {},
     "sbSetup",
     "File Setup",
     {"document-properties", "setup"}},
    {"mnuFilePrint", "&Print...", 0, 160},
    {"mnuFilePrintSetup", "P&rint Setup...", 0, 170},
    {"mnuFileClearRecent", "&Clear Recent", 0, 180},
    {"mnuFileItem1", "&1 "},
    {"mnuFileItem2", "&2 "},
    {"mnuFileItem3", "&3 "},
    {"mnuFileItem4", "&4 "},
    {"mnuFileExit", "E&xit", 0, 190},
    // Edit
    {"mnuEditUndo",
     "&Undo",
     K(Qt::CTRL | Qt::Key_Z),
     210,
     R::Undo,
     "sbUndo",
     "Undo",
     {"edit-undo", "undo"}},
    {"mnuEditCut", "Cu&t", 0, 220, R::Selection, "sbCut", "Cut Selection", {"edit-cut", "cut"}},
    {"mnuEditCopy",
     "&Copy",
     0,
     230,
     R::Selection,
     "sbCopy",
     "Copy Selection",
     {"edit-copy", "copy"}},
    {"mnuEditCopyASCII", "Copy &ASCII", 0, 235, R::Selection},
    {"mnuEditPaste",
     "&Paste",
     0,
     240,
     R::Paste,
     "sbPaste",
     "Paste Selection",
     {"edit-paste", "paste"}},
    {"mnuEditPasteRndStr", "Paste &Random String", K(Qt::CTRL | Qt::Key_R), 245, R::EditorEnabled},
    {"mnuEditDelete", "&Delete", 0, 250, R::Selection},
    {"mnuEditChangeCase", "Change Ca&se", 0, 255, R::Selection, {}, {}, {}, {}, {}, true},
    {"mnuEditLC", "&lowercase", K(Qt::Key_F10), 255},
    {"mnuEditUC", "&UPPERCASE", K(Qt::SHIFT | Qt::Key_F10), 255},
    {"mnuEditTC", "&tOGGLE cASE", K(Qt::CTRL | Qt::Key_F10), 255},
    {"mnuEditCap", "&Capitalize", K(Qt::SHIFT | Qt::CTRL | Qt::Key_F10), 255},
    {"mnuEditSelectAll", "Select &All", K(Qt::CTRL | Qt::Key_A), 260, R::SelectAll},
    // Search
    {"mnuSearchIndex",
     "&Indexes...",
     K(Qt::Key_F4),
     310,
     R::HaveCards,
     "sbSearchIndex",
     "Search Indexes",
     {"edit-find", "search-indexes"},
     "Find2",
     "Search &Indexes..."},
    {"mnuSearchWholeFile",
     "Whole &File...",
     K(Qt::Key_F3),
     320,
     R::HaveCards,
     "sbSearchWholeFile",
     "Search Whole File",
     {"system-search", "search-whole-file"},
     "FindCard2",
     "Search Whole &File..."},
    {"mnuSearchCurrentCard",
     "Current &Card...",
     K(Qt::SHIFT | Qt::Key_F3),
     330,
     R::CardSelected,
     "sbSearchCurrentCard",
     "Search Current Card",
     {"edit-find-replace", "search-current-card"}},
    {"mnuQuickSearchItems", "&Quick Search Items...", K(Qt::Key_F6), 340},
    {"mnuSearchItem1", "&1", 0, 340, R::HaveCards},
    {"mnuSearchItem2", "&2", 0, 340, R::HaveCards},
    {"mnuSearchItem3", "&3", 0, 340, R::HaveCards},
    {"mnuSearchItem4", "&4", 0, 340, R::HaveCards},
    {"mnuSearchItem5", "&5", 0, 340, R::HaveCards},
    {"mnuSearchItem6", "&6", 0, 340, R::HaveCards},
    {"mnuSearchItem7", "&7", 0, 340, R::HaveCards},
    {"mnuSearchItem8", "&8", 0, 340, R::HaveCards},
    {"mnuSearchItem9", "&9", 0, 340, R::HaveCards},
    // Card
    {"mnuCardAdd",
     "&Add...",
     K(Qt::Key_F7),
     410,
     {},
     "sbAdd",
     "Add Card",
     {"list-add", "add-card"},
     "pumnuAdd"},
    {"mnuCardDelete",
     "&Delete",
     K(Qt::CTRL | Qt::Key_Delete),
     420,
     R::CardSelected,
     "sbDeleteCard",
     "Delete Card",
     {"list-remove", "delete-card"},
     "pumnuDeleteCard",
     "&Delete Card"},
    {"mnuCardDuplicate",
     "Du&plicate",
     0,
     430,
     R::CardSelected,
     "sbDuplicate",
     "Duplicate Card",
     {{}, "duplicate-card"},
     "pumnuDuplicate"},
    {"mnuCardRestore",
     "&Restore",
     0,
     440,
     R::Restore,
     "sbRestore",
     "Restore Card",
     {"document-revert", "restore-card"},
     "pumnuRestore"},
    {"mnuCardPrint",
     "Pr&int",
     K(Qt::CTRL | Qt::Key_P),
     450,
     R::CardSelected,
     "sbPrint",
     "Print Card",
     {"document-print", "print-card"},
     "Print2"},
    {"mnuCardInfo",
     "I&nformation...",
     K(Qt::CTRL | Qt::Key_I),
     460,
     {},
     "sbCardInfo",
     "Get Card Info",
     {"dialog-information", "card-info"}},
    {"mnuCardAutodial",
     "Au&todial...",
     K(Qt::Key_F8),
     470,
     {},
     "sbCardAutodial",
     "Autodial Card",
     {"call-start", "autodial"}},
    {"mnuCardExecute", "&Execute", 0, 480, R::Execute, {}, {}, {}, {}, {}, true},
    {"mnuCardExecuteCmd", "<Nothing>", K(Qt::Key_F9), 480},
    // The button takes the command at the caret and runs it; the submenu only shows it.
    {"sbCardExecute",
     {},
     0,
     0,
     R::Execute,
     "sbCardExecute",
     "Execute Command",
     {"system-run", "execute"}},
    // Phonebook
    {"mnuPBReopenPort", "(Re)Open &Port...", 0, 510},
    {"mnuPBClosePort", "&Close Port", 0, 515},
    {"mnuPBMemoryStorage", "&Memory Storage", 0, 520, {}, {}, {}, {}, {}, {}, true},
    {"mnuPBSIMCard", "SIM Card (&SM)", 0, 520},
    {"mnuPBMobile", "Phone (&ME)", 0, 520},
    {"mnuPBOther", "&Other...", 0, 520},
    {"mnuPBMobileInfo",
     "Mobile &Information...",
     0,
     525,
     {},
     "sbMobileInfo",
     "Get Mobile Info",
     {"phone", "mobile-info"}},
    {"mnuPBSelectEntries", "Select &Entries", 0, 530, R::CardSelected},
    {"mnuPBRead",
     "&Read",
     0,
     540,
     R::CardSelected,
     "sbPBRead",
     "Read Phonebook",
     {"go-down", "read-phonebook"}},
    {"mnuPBUpdate",
     "&Update...",
     K(Qt::Key_F5),
     550,
     R::CardSelected,
     "sbPBUpdate",
     "Update Phonebook",
     {"go-up", "update-phonebook"}},
    {"mnuPBReseq", "Re&sequence...", 0, 560, R::CardSelected},
    {"mnuPBSort", "S&ort Names", 0, 570, R::CardSelected, {}, {}, {}, {}, {}, true},
    {"mnuPBSortAll", "&All", 0, 570},
    {"mnuPBSortSelected", "&Selected", 0, 570, R::Selection},
    // Help
    {"mnuHelpTopics",
     "&Help Topics",
     K(Qt::Key_F1),
     910,
     {},
     "sbHelpTopics",
     "Help",
     {"help-contents", "help"}},
    {"mnuHelpAbout", "&About...", 0, 990},
};

constexpr std::string_view kToolBar[] = {
    "sbNew",
    "sbOpen",
    "sbSave",
    "sbSetup",
    "|",
    "sbCut",
    "sbCopy",
    "sbPaste",
    "sbUndo",
    "|",
    "sbSearchIndex",
    "sbSearchWholeFile",
    "sbSearchCurrentCard",
    "|",
    "sbAdd",
    "sbDeleteCard",
    "sbDuplicate",
    "sbRestore",
    "sbPrint",
    "sbCardInfo",
    "sbCardAutodial",
    "sbCardExecute",
    "|",
    "sbMobileInfo",
    "sbPBRead",
    "sbPBUpdate",
    "|",
    "sbHelpTopics",
};

constexpr std::string_view kPopup[] = {
    "pumnuAdd", "pumnuDeleteCard", "pumnuDuplicate", "pumnuRestore", "|", "Print2",
    "|",        "Find2",           "FindCard2",
};

}  // namespace

std::span<const CommandEntry> CommandTable() {
    return kCommands;
}

const CommandEntry* FindCommand(std::string_view controlName) {
    if (controlName.empty()) {
        return nullptr;
    }
    for (const CommandEntry& c : kCommands) {
        if (c.name == controlName || c.button == controlName || c.popup == controlName) {
            return &c;
        }
    }
    return nullptr;
}

std::span<const EnablementEntry> EnablementTable() {
    static const std::vector<EnablementEntry> table = [] {
        std::vector<EnablementEntry> controls;
        for (const CommandEntry& c : CommandTable()) {
            if (!c.rule) {
                continue;
            }
            controls.push_back({c.name, *c.rule});
            if (!c.button.empty() && c.button != c.name) {
                controls.push_back({c.button, *c.rule});
            }
            if (!c.popup.empty()) {
                controls.push_back({c.popup, *c.rule});
            }
        }
        return controls;
    }();
    return table;
}

std::span<const std::string_view> ToolBarLayout() {
    return kToolBar;
}

std::span<const std::string_view> PopupLayout() {
    return kPopup;
}

}  // namespace tabellan
