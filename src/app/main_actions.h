#pragma once
// The main window's commands as actions: one QAction per command of the command table,
// shared by the menu bar, the tool bar and the index list's context menu, with its caption,
// shortcut, tool bar glyph and hint, and help context. Handlers are attached by name; the
// enablement refresh sets one row per command.
#include <QObject>
#include <QPoint>
#include <QString>
#include <array>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/enablement.h"
#include "cardfile/codepage.h"
#include "cardfile/quick_search.h"

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace tabellan {

struct CommandEntry;

class MainActions : public QObject {
    Q_OBJECT
  public:
    // Runs a handler so that a failure is shown to the user.
    using Guard = std::function<void(const std::function<void()>&)>;

    // refresh: the enablement refresh, run when the File, Edit and Search menus and the
    // context menu open.
    MainActions(QMainWindow& window, QToolBar& toolBar, Guard guard, std::function<void()> refresh);

    // The action of a control: a command's action by its own name, its button's or its
    // context menu entry's; nullptr for an unknown name.
    QAction* Action(const QString& name) const;
    QAction& Command(std::string_view name) const;
    // A menu of the menu bar or a submenu, by object name.
    QMenu& Menu(const QString& name) const;

    // Runs handler (through the guard) whenever the command is chosen.
    void OnTriggered(std::string_view name, std::function<void()> handler);

    // Sets every command that has a rule.
    void ApplyEnablement(const Enablement& enabled);

    // The Search menu's quick search entries and their separator.
    void ShowQuickSearchMenu(const QuickSearchMenu& menu, CodePage cp);
    // The separator above the recent files.
    QAction& RecentFilesSeparator() const { return *fileSep3_; }

    // Opens the index list's context menu at a global position, after a refresh.
    void ShowPopup(const QPoint& globalPos);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void CreateAction(const CommandEntry& command);
    QMenu* CreateMenu(QMenu* parent, const char* name, const QString& caption, int help);
    // Adds entries by command name; "|" adds a separator, "|name" a named one.
    void AddEntries(QMenu* menu, std::initializer_list<std::string_view> entries);
    QMenu* Submenu(QMenu* parent, std::string_view command,
                   std::initializer_list<std::string_view> entries);
    void CreateMenus();
    void CreateToolBar();
    void CreatePopup();

    QMainWindow& window_;
    QToolBar& toolBar_;
    Guard guard_;
    std::function<void()> refresh_;
    std::vector<std::pair<QString, QAction*>> byName_;         // every control name
    std::vector<std::pair<QAction*, EnableRule>> enablement_;  // one row per command
    std::vector<std::pair<QAction*, QString>> popupCaptions_;  // entries captioned otherwise
    QMenu* popup_ = nullptr;
    QAction* fileSep3_ = nullptr;
    QAction* searchSep1_ = nullptr;
    std::array<QAction*, kQuickSearchSlots> searchItems_{};
};

}  // namespace tabellan
