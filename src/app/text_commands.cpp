#include "app/text_commands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>

#include "app/card_editor_adapter.h"
#include "cardfile/card_info.h"
#include "cardfile/cipher.h"
#include "cardfile/document.h"
#include "cardfile/prompter.h"

namespace tabellan {
namespace {

bool HasSelection(const QPlainTextEdit& editor) {
    return editor.textCursor().hasSelection();
}

}  // namespace

TextCommands::TextCommands(QPlainTextEdit& editor, CardEditorAdapter& adapter, Document& document,
                           Prompter& prompter, QObject* parent)
    : QObject(parent),
      editor_(editor),
      adapter_(adapter),
      document_(document),
      prompter_(prompter) {
    setObjectName(QStringLiteral("TextCommands"));
}

void TextCommands::AttachExecuteMenu(QWidget& window, QMenu& executeMenu, QAction& executeCmd) {
    executeMenu_ = &executeMenu;
    executeCmd_ = &executeCmd;
    connect(&executeMenu, &QMenu::aboutToShow, this, [this] { mnuCardExecuteClick(); });
    // The entry's own F9 would run a stale command and is off while the entry is disabled;
    // the window's F9 takes the command from the card first. The entry keeps F9 for display
    // and for the open menu.
    executeCmd.setShortcutContext(Qt::WidgetShortcut);
    window.removeAction(&executeCmd);
    auto* f9 = new QShortcut(executeCmd.shortcut(), &window);
    f9->setObjectName(QStringLiteral("F9Execute"));
    f9->setContext(Qt::WindowShortcut);
    connect(f9, &QShortcut::activated, this, [this] { F9Pressed(); });
}

int TextCommands::FontScript() const {
    return document_.Settings().font.charset;
}

void TextCommands::mnuEditChangeCaseClick(CaseMode mode) {
    // The shortcuts of the case items stay live while their submenu is disabled.
    if (!HasSelection(editor_) || !CheckFontScript(FontScript(), prompter_)) {
        return;
    }
    adapter_.ReplaceSelection(ChangeCase(adapter_.SelectedCardText(), mode, FontScript()), true);
}

void TextCommands::CopyToClipboardASCII() {
    if (!HasSelection(editor_) || !CheckFontScript(FontScript(), prompter_)) {
        return;
    }
    const std::string ascii = TransliterateToAscii(adapter_.SelectedCardText(), FontScript());
    QGuiApplication::clipboard()->setText(EditorTextFromCardText(ascii, adapter_.GetCodePage()));
}

void TextCommands::mnuEditPasteRndStrClick() {
    if (!editor_.isEnabled()) {
        return;
    }
    adapter_.ReplaceSelection(RandomString(SharedRandom::Instance()), false);
}

void TextCommands::mnuCardInfoClick() {
    const std::string report = CardInfoReport(document_.Cards().Count(), adapter_.CardText(),
                                              adapter_.SelectedCardText(), document_.CardEdited());
    prompter_.Show(MsgKind::Information, report, Buttons::OkHelp, 460);
}

void TextCommands::mnuCardExecuteClick() {
    TakeCommand();
}

bool TextCommands::TakeCommand() {
    const std::string command =
        CommandAtCaret(adapter_.CardText(), adapter_.CaretOffset(), adapter_.SelectedCardText());
    if (!command.empty()) {
        pendingCommand_ = command;
    }
    if (executeCmd_) {
        executeCmd_->setText(
            EditorTextFromCardText(ExecuteCaption(command), adapter_.GetCodePage()));
        executeCmd_->setEnabled(!command.empty());
    }
    return !command.empty();
}

void TextCommands::mnuCardExecuteCmdClick() {
    runner_.Execute(pendingCommand_, adapter_.GetCodePage(), prompter_);
}

void TextCommands::sbCardExecuteClick() {
    if (TakeCommand()) {
        mnuCardExecuteCmdClick();
    }
}

void TextCommands::F9Pressed() {
    if (executeMenu_ && executeMenu_->menuAction()->isEnabled()) {
        sbCardExecuteClick();
    }
}

}  // namespace tabellan
