// The handler of every command, the refresh, and the window's own editing and help commands.
#include <QAction>
#include <QFile>

#include "app/about_form.h"
#include "app/app_settings.h"
#include "app/card_editor_adapter.h"
#include "app/card_memo.h"
#include "app/card_printer.h"
#include "app/enablement.h"
#include "app/file_dialogs.h"
#include "app/help.h"
#include "app/index_list_view.h"
#include "app/main_actions.h"
#include "app/main_window.h"
#include "app/phonebook_commands.h"
#include "app/recent_files_menu.h"
#include "app/search_commands.h"
#include "app/setup_form.h"
#include "app/text_commands.h"
#include "app/window_layout.h"
#include "cardfile/quick_search.h"

namespace tabellan {

void TMainForm::ConnectCommands() {
    MainActions& a = *actions_;
    Document& doc = *document_;

    // File
    a.OnTriggered("mnuFileNew", [&doc] { doc.ClearAllCards(); });
    a.OnTriggered("mnuFileOpen", [this] { OpenCardFile(); });
    a.OnTriggered("mnuFileSave", [&doc] { doc.SaveCardFile(); });
    a.OnTriggered("mnuFileSaveAs", [&doc] { doc.SaveAsCardFile(); });
    a.OnTriggered("mnuFileSetup", [this] { setupForm_->SetupClick(SetupTab::FileSetup); });
    a.OnTriggered("mnuFilePrint", [this] { cardPrinter_->mnuFilePrintClick(); });
    a.OnTriggered("mnuFilePrintSetup", [this] { cardPrinter_->mnuFilePrintSetupClick(); });
    a.OnTriggered("mnuFileClearRecent", [this] { recentFiles_->mnuFileClearRecentClick(); });
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        a.OnTriggered(QStringLiteral("mnuFileItem%1").arg(i + 1).toStdString(),
                      [this, i] { recentFiles_->FileItemClick(i); });
    }
    a.OnTriggered("mnuFileExit", [this] { close(); });

    // Edit
    a.OnTriggered("mnuEditUndo", [this] { mnuEditUndoClick(); });
    a.OnTriggered("mnuEditCut", [this] { CutToClipboard(); });
    a.OnTriggered("mnuEditCopy", [this] { CopyToClipboard(); });
    a.OnTriggered("mnuEditCopyASCII", [this] { textCommands_->CopyToClipboardASCII(); });
    a.OnTriggered("mnuEditPaste", [this] { PasteFromClipboard(); });
    a.OnTriggered("mnuEditPasteRndStr", [this] { textCommands_->mnuEditPasteRndStrClick(); });
    a.OnTriggered("mnuEditDelete", [this] { mnuEditDeleteClick(); });
    const std::pair<const char*, CaseMode> cases[] = {{"mnuEditLC", CaseMode::Lower},
                                                      {"mnuEditUC", CaseMode::Upper},
                                                      {"mnuEditTC", CaseMode::Toggle},
                                                      {"mnuEditCap", CaseMode::Capitalize}};
    for (const auto& [name, mode] : cases) {
        a.OnTriggered(name, [this, mode] { textCommands_->mnuEditChangeCaseClick(mode); });
    }
    a.OnTriggered("mnuEditSelectAll", [this] { mnuEditSelectAllClick(); });

    // Search
    const std::pair<const char*, SearchScope> scopes[] = {
        {"mnuSearchIndex", SearchScope::Indexes},
        {"mnuSearchWholeFile", SearchScope::WholeFile},
        {"mnuSearchCurrentCard", SearchScope::CurrentCard}};
    for (const auto& [name, scope] : scopes) {
        a.OnTriggered(name, [this, scope] { search_->mnuSearchFindClick(scope); });
    }
    a.OnTriggered("mnuQuickSearchItems",
                  [this] { setupForm_->SetupClick(SetupTab::QuickSearchItems); });
    for (int i = 0; i < kQuickSearchSlots; ++i) {
        a.OnTriggered(QStringLiteral("mnuSearchItem%1").arg(i + 1).toStdString(),
                      [this, i] { search_->SearchItemClick(i); });
    }

    // Card
    a.OnTriggered("mnuCardAdd", [&doc] { doc.AddCard(); });
    a.OnTriggered("mnuCardDelete", [&doc] { doc.DeleteCard(); });
    a.OnTriggered("mnuCardDuplicate", [&doc] { doc.DuplicateCard(); });
    a.OnTriggered("mnuCardRestore", [&doc] { doc.RestoreCard(); });
    a.OnTriggered("mnuCardPrint", [this] { cardPrinter_->mnuCardPrintClick(); });
    a.OnTriggered("mnuCardInfo", [this] { textCommands_->mnuCardInfoClick(); });
    a.OnTriggered("mnuCardAutodial", [this] { setupForm_->SetupClick(SetupTab::Autodial); });
    a.OnTriggered("mnuCardExecuteCmd", [this] { textCommands_->mnuCardExecuteCmdClick(); });
    a.OnTriggered("sbCardExecute", [this] { textCommands_->sbCardExecuteClick(); });

    // Phonebook: phonebook_commands.h.
    PhonebookCommands& pb = *phonebook_;
    a.OnTriggered("mnuPBReopenPort", [&pb] { pb.mnuPBOpenClick(); });
    a.OnTriggered("mnuPBClosePort", [&pb] { pb.mnuPBClosePortClick(); });
    const std::pair<const char*, StorageItem> storages[] = {{"mnuPBSIMCard", StorageItem::SimCard},
                                                            {"mnuPBMobile", StorageItem::Phone},
                                                            {"mnuPBOther", StorageItem::Other}};
    for (const auto& [name, storage] : storages) {
        a.OnTriggered(name, [&pb, storage] { pb.mnuPBMemoryStorageClick(storage); });
    }
    a.OnTriggered("mnuPBMobileInfo", [&pb] { pb.mnuPBMobileInfoClick(); });
    a.OnTriggered("mnuPBSelectEntries", [&pb] { pb.mnuPBSelectEntriesClick(); });
    a.OnTriggered("mnuPBRead", [&pb] { pb.mnuPBReadClick(); });
    a.OnTriggered("mnuPBUpdate", [&pb] { pb.mnuPBUpdateClick(); });
    a.OnTriggered("mnuPBReseq", [&pb] { pb.mnuPBReseqClick(); });
    a.OnTriggered("mnuPBSortAll", [&pb] { pb.mnuPBSortClick(false); });
    a.OnTriggered("mnuPBSortSelected", [&pb] { pb.mnuPBSortClick(true); });

    // Help
    a.OnTriggered("mnuHelpTopics", [this] { mnuHelpTopicsClick(); });
    a.OnTriggered("mnuHelpAbout", [this] { mnuHelpAboutClick(); });
}

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
    actions_->ApplyEnablement(ComputeEnablement(in));
    layout_->RememberPlacement();
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

// --- quick search entries ---

void TMainForm::ReadSearchItemStringsFromRegistry() {
    document_->Settings().quickSearch = appSettings_->SearchItems(CurrentCodePage());
    SetMenuSearchItemsFromVariables();
}

void TMainForm::SetMenuSearchItemsFromVariables() {
    actions_->ShowQuickSearchMenu(BuildQuickSearchMenu(document_->Settings().quickSearch),
                                  CurrentCodePage());
}

}  // namespace tabellan
