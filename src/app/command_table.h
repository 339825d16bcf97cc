#pragma once
// The main window's commands as data: one row per command with its menu entry, shortcut,
// help context, enablement rule, tool bar button and context menu entry. The window makes one
// QAction of each row and shares it between the menu, the tool bar and the context menu.
#include <QKeyCombination>
#include <optional>
#include <span>
#include <string_view>

#include "app/enablement.h"

namespace tabellan {

// A tool button's glyph: the desktop icon theme's, else the program's own drawing.
struct ToolGlyph {
    std::string_view theme;    // freedesktop icon name; empty: no theme icon means the command
    std::string_view bundled;  // drawing in the program's resources, without ".svg"
};

struct CommandEntry {
    std::string_view name;             // object name of the command's action (its menu entry's)
    std::string_view caption;          // menu caption; empty for a command that only has a button
    int shortcut = 0;                  // QKeyCombination::toCombined(); 0: none
    int help = 0;                      // help context; 0: none
    std::optional<EnableRule> rule{};  // none: the refresh leaves the command's state alone
    std::string_view button{};         // tool bar button; empty: none
    std::string_view hint{};           // the button's hint
    ToolGlyph glyph{};                 // the button's glyph
    std::string_view popup{};          // entry of the index list's context menu; empty: none
    std::string_view popupCaption{};   // its caption when it differs from the menu's
    bool submenu = false;              // the action opens a submenu
};

// Every command of the window, in the order the refresh sets their states.
std::span<const CommandEntry> CommandTable();

// The command a control belongs to: its action's, button's or context menu entry's name.
const CommandEntry* FindCommand(std::string_view controlName);

struct EnablementEntry {
    std::string_view control;  // object name of a menu entry, tool button or context menu entry
    EnableRule rule;
};

// Every control the periodic refresh sets: a command's menu entry, tool button and context
// menu entry share its action and its rule.
std::span<const EnablementEntry> EnablementTable();

// The tool bar, left to right: button names, "|" for a divider.
std::span<const std::string_view> ToolBarLayout();
// The index list's context menu, top to bottom: entry names, "|" for a divider.
std::span<const std::string_view> PopupLayout();

}  // namespace tabellan
