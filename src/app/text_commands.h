#pragma once
// The Edit menu's text tools and the Card menu's information and Execute commands on the
// card editor. The rules are the library's (cardfile/text_transforms.h, card_info.h,
// command_runner.h); this class reads the editor in card terms and writes the results back.
#include <QObject>
#include <string>

#include "cardfile/command_runner.h"
#include "cardfile/text_transforms.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace tabellan {

class CardEditorAdapter;
class DesktopOpener;
class Document;
class Prompter;

class TextCommands : public QObject {
    Q_OBJECT
  public:
    TextCommands(QPlainTextEdit& editor, CardEditorAdapter& adapter, Document& document,
                 Prompter& prompter, QObject* parent);

    // The Execute submenu takes the command when it opens; F9 takes it and runs it.
    void AttachExecuteMenu(QWidget& window, QMenu& executeMenu, QAction& executeCmd);
    // The program that opens documents and web addresses (xdg-open).
    void SetOpener(const std::string& program);

    void mnuEditChangeCaseClick(CaseMode mode);
    void CopyToClipboardASCII();
    void mnuEditPasteRndStrClick();
    void mnuCardInfoClick();
    void mnuCardExecuteClick();
    void mnuCardExecuteCmdClick();
    void sbCardExecuteClick();

    const std::string& PendingCommand() const { return pendingCommand_; }

  private:
    int FontScript() const;
    bool TakeCommand();  // true: the entry is enabled
    void F9Pressed();
    void ReportOpenerFailure(const std::string& file, const std::string& reason);

    QPlainTextEdit& editor_;
    CardEditorAdapter& adapter_;
    Document& document_;
    Prompter& prompter_;
    DesktopOpener* opener_ = nullptr;
    CommandRunner runner_;
    QMenu* executeMenu_ = nullptr;
    QAction* executeCmd_ = nullptr;
    std::string pendingCommand_;
};

}  // namespace tabellan
