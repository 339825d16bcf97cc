#include "app/search_commands.h"

#include "app/card_editor_adapter.h"
#include "app/replace_dialog.h"
#include "app/run_command.h"
#include "cardfile/document.h"
#include "cardfile/quick_search.h"

namespace tabellan {

SearchCommands::SearchCommands(QWidget& window, Document& document, DocumentView& view,
                               QWidget& editor, CardEditorAdapter& adapter, Prompter& prompter)
    : QObject(&window),
      window_(window),
      document_(document),
      editor_(editor),
      adapter_(adapter),
      prompter_(prompter),
      host_(document, view, editor, adapter),
      dialog_(new TReplaceDialog(&window)) {
    setObjectName(QStringLiteral("SearchCommands"));
    host_.SetDialog(dialog_);
    connect(dialog_, &TReplaceDialog::Find, this,
            [this] { RunCommand(prompter_, [this] { ReplaceDialogFind(); }); });
    connect(dialog_, &TReplaceDialog::Replace, this,
            [this] { RunCommand(prompter_, [this] { ReplaceDialogReplace(false); }); });
    connect(dialog_, &TReplaceDialog::ReplaceAll, this,
            [this] { RunCommand(prompter_, [this] { ReplaceDialogReplace(true); }); });
    connect(dialog_, &TReplaceDialog::Closed, this,
            [this](const QPoint& pos) { ReplaceDialogClose(pos); });
}

QString SearchCommands::ToQt(const std::string& text) const {
    return AnsiToQString(text, adapter_.GetCodePage());
}

SearchRequest SearchCommands::Request() const {
    const CodePage cp = adapter_.GetCodePage();
    return SearchRequest{QStringToAnsi(dialog_->FindText(), cp),
                         QStringToAnsi(dialog_->ReplaceText(), cp), dialog_->MatchCase()};
}

void SearchCommands::mnuSearchFindClick(SearchScope scope) {
    if (findDialogPosition_.isNull()) {
        const QRect frame = window_.frameGeometry();
        const ScreenPoint p = FirstFindDialogPosition(frame.left(), frame.top(), frame.height());
        findDialogPosition_ = QPoint(p.x, p.y);
    }
    dialog_->Open(findDialogPosition_, ToQt(state_.lastFindText), ToQt(state_.lastReplaceText));
    state_.scope = scope;
}

void SearchCommands::ReplaceDialogFind() {
    FindNext(host_, state_, Request(), prompter_, true);
}

void SearchCommands::ReplaceDialogReplace(bool all) {
    if (all) {
        ReplaceAll(host_, state_, Request(), prompter_);
    } else {
        ReplaceOne(host_, state_, Request(), prompter_);
    }
}

void SearchCommands::ReplaceDialogClose(const QPoint& pos) {
    findDialogPosition_ = pos;
}

void SearchCommands::SearchItemClick(int slot) {
    const std::string item = document_.Settings().quickSearch.at(static_cast<std::size_t>(slot));
    const QuickSearch search = DecodeQuickSearchItem(item);
    state_.lastFindText = search.text;
    mnuSearchFindClick(search.scope);
    RunQuickSearch(host_, state_, item, prompter_);
    dialog_->close();
    if (editor_.isEnabled()) {
        editor_.setFocus();
    }
}

}  // namespace tabellan
