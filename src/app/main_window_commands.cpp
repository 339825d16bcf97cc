// The main window's own commands: enablement, editing, recent files, quick search entries,
// help and the index list's context menu.
#include <QAction>
#include <QFile>
#include <QMenu>

#include "app/about_form.h"
#include "app/app_settings.h"
#include "app/card_memo.h"
#include "app/file_dialogs.h"
#include "app/help.h"
#include "app/index_list_view.h"
#include "app/main_window.h"

namespace tabellan {

void TMainForm::UpdateEnablements() {
    EnablementInputs in;
    in.fileModified = document_->FileModified();
    in.cardEdited = document_->CardEdited();
    in.editorCanUndo = cardMemo_->document()->isUndoAvailable();
    in.clipboardHasText = clipboardHasText_;
    in.editorEnabled = cardMemo_->isEnabled();
    in.selectionLength = editor_->SelectionLength();
    in.textLength = editor_->EditorLength();
    in.cardCount = document_->Cards().Count();
    in.cardSelected = indexList_->SelectedRow() >= 0;
    in.commandExec = document_->Settings().commandExec;
    const Enablement enabled = ComputeEnablement(in);
    for (const auto& [action, rule] : enablementTargets_) {
        action->setEnabled(Enabled(enabled, rule));
    }
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        rememberedClientHeight_ = ClientHeight();
        rememberedClientWidth_ = ClientWidth();
        rememberedTop_ = y();
        rememberedLeft_ = x();
    }
    document_->AutoSaveIfDue();
}

void TMainForm::OpenCardFile() {
    if (const std::optional<QString> path = dialogs_->Open(this)) {
        OpenFile(*path);
    }
}

void TMainForm::OpenFile(const QString& path) {
    document_->ReadCardFile(QFile::encodeName(path).toStdString());
}

void TMainForm::mnuEditUndoClick() {
    cardMemo_->undo();
}

void TMainForm::CutToClipboard() {
    cardMemo_->cut();
}

void TMainForm::CopyToClipboard() {
    cardMemo_->copy();
}

void TMainForm::PasteFromClipboard() {
    cardMemo_->paste();
}

void TMainForm::mnuEditDeleteClick() {
    QTextCursor cursor = cardMemo_->textCursor();
    cursor.removeSelectedText();
    cardMemo_->setTextCursor(cursor);
}

void TMainForm::mnuEditSelectAllClick() {
    cardMemo_->selectAll();
}

void TMainForm::mnuHelpTopicsClick() {
    ShowHelpTopic(QString::fromLatin1(kHelpTopics));
}

void TMainForm::mnuHelpAboutClick() {
    aboutForm_->exec();
}

void TMainForm::ShowContextHelp(QObject* focus) {
    ShowHelpContext(HelpContextOf(focus));
}

// --- recent files ---

void TMainForm::ReadRecentFilesFromRegistry() {
    recent_.Load(appSettings_->RecentFiles());
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        SetRecentFileItem(i);
    }
}

void TMainForm::WriteRecentFilesToRegistry() {
    appSettings_->WriteRecentFiles(recent_.Paths());
    Action(QStringLiteral("mnuFileClearRecent"))->setEnabled(recent_.Any());
}

void TMainForm::SetRecentFileItem(int entry) {
    QAction* item = fileItems_[entry];
    const bool used = !recent_.Path(entry).isEmpty();
    item->setText(recent_.Caption(entry));
    item->setVisible(used);
    if (used) {
        fileSep3_->setVisible(true);
    }
}

void TMainForm::mnuFileClearRecentClick() {
    fileSep3_->setVisible(false);
    recent_.Clear();
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        SetRecentFileItem(i);
    }
    WriteRecentFilesToRegistry();
}

void TMainForm::FileItemClick(int entry) {
    // Not tested for existence: a missing file fails in the reader and stays listed.
    OpenFile(recent_.Path(entry));
}

// --- quick search entries ---

void TMainForm::ReadSearchItemStringsFromRegistry() {
    const std::array<QString, 9> stored = appSettings_->SearchItems();
    for (std::size_t i = 0; i < stored.size(); ++i) {
        document_->Settings().quickSearch[i] = QStringToAnsi(stored[i], CurrentCodePage());
    }
    SetMenuSearchItemsFromVariables();
}

void TMainForm::SetMenuSearchItemsFromVariables() {
    searchSep1_->setVisible(false);
    const auto& items = document_->Settings().quickSearch;
    for (int i = 0; i < 9; ++i) {
        QString item = AnsiToQString(items[static_cast<std::size_t>(i)], CurrentCodePage());
        const bool used = !item.isEmpty();
        item.replace(QLatin1Char('&'), QLatin1String("&&"));
        searchItems_[i]->setText(QStringLiteral("&%1 ").arg(i + 1) + item);
        searchItems_[i]->setVisible(used);
        if (used) {
            searchSep1_->setVisible(true);
        }
    }
}

// --- context menu ---

void TMainForm::IndexListContextMenu(const QPoint& pos) {
    RunCommand([this] { UpdateEnablements(); });
    popupMenu1_->exec(indexList_->viewport()->mapToGlobal(pos));
}

}  // namespace tabellan
