#include "app/text_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>

#include "app/card_editor_adapter.h"
#include "app/desktop_opener.h"
#include "app/plain_tool_tip.h"
#include "cardfile/card_info.h"
#include "cardfile/cipher.h"
#include "cardfile/document.h"
#include "cardfile/prompter.h"

namespace tabellan {
namespace {

constexpr int kExecuteHelp = 480;
// About how many characters of a command the Execute entry shows.
constexpr int kCaptionCharacters = 48;

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
    opener_ =
        new DesktopOpener([this](const std::string& file,
                                 const std::string& reason) { ReportOpenerFailure(file, reason); },
                          this);
    SetOpener("xdg-open");
}

void TextCommands::SetOpener(const std::string& program) {
    runner_ =
        CommandRunner(program, [this](const std::vector<std::string>& args,
                                      const std::string& file) { opener_->Start(args, file); });
}

void TextCommands::ReportOpenerFailure(const std::string& file, const std::string& reason) {
    // The message names the file as the system spells it; shown in the card code page.
    prompter_.Show(MsgKind::Error,
                   Utf8ToAnsi(ErrorRunningMessage(file, reason), adapter_.GetCodePage()),
                   Buttons::OkHelp, kExecuteHelp);
}

void TextCommands::AttachExecuteMenu(QWidget& window, QMenu& executeMenu, QAction& executeCmd) {
    executeMenu_ = &executeMenu;
    executeMenu.setToolTipsVisible(true);
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
        // One line, shortened in the middle so both the program and the end stay in sight;
        // the whole command is the entry's tool tip.
        const QString line =
            EditorTextFromCardText(ExecuteCaption(command), adapter_.GetCodePage());
        const QFontMetrics metrics(executeMenu_ ? executeMenu_->font() : QApplication::font());
        const QString shown = metrics.elidedText(line, Qt::ElideMiddle,
                                                 metrics.averageCharWidth() * kCaptionCharacters);
        executeCmd_->setText(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&")));
        executeCmd_->setToolTip(command.empty() ? QString() : PlainToolTip(line));
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
