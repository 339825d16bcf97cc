#pragma once
// The Setup dialog: the open file's settings, the quick search items and the autodial
// settings, one page each. Showing it loads every page from the current settings; OK runs
// the pages' checks, then stores all pages at once; Cancel discards everything.
#include <QDialog>
#include <vector>

#include "app/setup_file_page.h"
#include "app/setup_page.h"

class QTabWidget;

namespace tabellan {

class AppSettings;
class FileDialogs;
class Prompter;
class SetupHost;

class TSetupForm : public QDialog {
    Q_OBJECT
  public:
    using FontChooser = SetupFilePage::FontChooser;

    TSetupForm(SetupHost& host, AppSettings& appSettings, Prompter& prompter, FileDialogs& dialogs,
               QWidget* parent);

    // Places the dialog over its parent window, shows it modally on tab, then refreshes the
    // window's status.
    void SetupClick(SetupTab tab);
    // Loads every page; runs each time the dialog is shown.
    void FormActivate(SetupTab tab);

    SetupTab CurrentTab() const;
    const FontSpec& PendingFont() const { return filePage_->PendingFont(); }
    void SetFontChooser(FontChooser chooser) { filePage_->SetFontChooser(std::move(chooser)); }

  private:
    void AddPage(SetupPage* page, const QString& caption, SetupTab tab);
    SetupData LoadData() const;
    void OKClick();
    void HelpClick();

    SetupHost& host_;
    AppSettings& appSettings_;
    Prompter& prompter_;
    QTabWidget* tabs_ = nullptr;
    std::vector<SetupPage*> pages_;  // in tab order
    SetupFilePage* filePage_ = nullptr;
    PortMap loadedPorts_;  // the port assignments as the dialog was shown
};

}  // namespace tabellan
