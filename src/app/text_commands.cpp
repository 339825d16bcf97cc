#include "app/text_commands.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
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

std::string ToCardText(QString editorText, CodePage cp) {
    editorText.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return QStringToAnsi(editorText, cp);
}

QString ToEditorText(std::string_view cardText, CodePage cp) {
    QString text = AnsiToQString(cardText, cp);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

bool HasSelection(const QPlainTextEdit& editor) {
    return editor.textCursor().hasSelection();
}

std::string WholeText(const CardEditorAdapter& adapter) {
    return ToCardText(adapter.Text(), adapter.GetCodePage());
}

std::string SelectionText(const QPlainTextEdit& editor, const CardEditorAdapter& adapter) {
    const QTextCursor c = editor.textCursor();
    const QString text = adapter.Text();
    return ToCardText(text.mid(c.selectionStart(), c.selectionEnd() - c.selectionStart()),
                      adapter.GetCodePage());
}

std::size_t CaretOffset(const QPlainTextEdit& editor, const CardEditorAdapter& adapter) {
    return static_cast<std::size_t>(
        CardOffsetFromEditorPos(adapter.Text(), editor.textCursor().position()));
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

void TextCommands::ReplaceSelection(const std::string& cardText, bool keepSelected) {
    QTextCursor c = editor_.textCursor();
    const int start = c.selectionStart();
    const QString text = ToEditorText(cardText, adapter_.GetCodePage());
    c.insertText(text);
    if (keepSelected) {
        c.setPosition(start);
        c.setPosition(start + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
    }
    editor_.setTextCursor(c);
}

void TextCommands::mnuEditChangeCaseClick(CaseMode mode) {
    // The shortcuts of the case items stay live while their submenu is disabled.
    if (!HasSelection(editor_) || !CheckFontScript(FontScript(), prompter_)) {
        return;
    }
    ReplaceSelection(ChangeCase(SelectionText(editor_, adapter_), mode, FontScript()), true);
}

void TextCommands::CopyToClipboardASCII() {
    if (!HasSelection(editor_) || !CheckFontScript(FontScript(), prompter_)) {
        return;
    }
    const std::string ascii = TransliterateToAscii(SelectionText(editor_, adapter_), FontScript());
    QGuiApplication::clipboard()->setText(ToEditorText(ascii, adapter_.GetCodePage()));
}

void TextCommands::mnuEditPasteRndStrClick() {
    if (!editor_.isEnabled()) {
        return;
    }
    ReplaceSelection(RandomString(SharedRandom::Instance()), false);
}

void TextCommands::mnuCardInfoClick() {
    const std::string report =
        CardInfoReport(document_.Cards().Count(), WholeText(adapter_),
                       SelectionText(editor_, adapter_), document_.CardEdited());
    prompter_.Show(MsgKind::Information, report, Buttons::OkHelp, 460);
}

void TextCommands::mnuCardExecuteClick() {
    TakeCommand();
}

bool TextCommands::TakeCommand() {
    const std::string command = CommandAtCaret(WholeText(adapter_), CaretOffset(editor_, adapter_),
                                               SelectionText(editor_, adapter_));
    if (!command.empty()) {
        pendingCommand_ = command;
    }
    if (executeCmd_) {
        executeCmd_->setText(ToEditorText(ExecuteCaption(command), adapter_.GetCodePage()));
        executeCmd_->setEnabled(!command.empty());
    }
    return !command.empty();
}

void TextCommands::mnuCardExecuteCmdClick() {
    const CodePage cp = adapter_.GetCodePage();
    // Card text is in the card code page; names and arguments go out in the system's.
    auto local = [cp](const std::string& text) {
        return QFile::encodeName(AnsiToQString(text, cp)).toStdString();
    };
    const SplitCommand cmd = SplitAtFirstBlank(pendingCommand_);
    const BusyScope busy(prompter_);
    if (const auto error = runner_.Run(local(cmd.file), local(cmd.parameters))) {
        prompter_.Show(MsgKind::Error, QStringToAnsi(QFile::decodeName(error->c_str()), cp),
                       Buttons::OkHelp, 480);
    }
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
