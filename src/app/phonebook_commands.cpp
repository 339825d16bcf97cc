#include "app/phonebook_commands.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

#include "app/card_editor_adapter.h"
#include "app/upd_info_form.h"
#include "cardfile/document.h"
#include "cardfile/prompter.h"
#include "phone/event_dispatcher.h"
#include "phone/phone_exchange.h"
#include "phone/phonebook_ordering.h"
#include "phone/phonebook_transfer.h"
#include "phone/phonebook_update.h"

namespace tabellan {

// The serial component's worker threads hand their events to the window's thread through
// its event loop, which a waiting phone command keeps running.
class QtEventDispatcher : public EventDispatcher {
  public:
    QtEventDispatcher(QObject& context, Prompter& prompter)
        : context_(context), prompter_(prompter) {}

    void Post(std::shared_ptr<HandOver> handOver) override {
        QMetaObject::invokeMethod(
            &context_, [handOver = std::move(handOver)] { handOver->Run(); }, Qt::QueuedConnection);
    }
    void ReportError(std::string_view message) override {
        prompter_.Show(MsgKind::Error, message, Buttons::Ok);
    }

  private:
    QObject& context_;
    Prompter& prompter_;
};

namespace {

// The card editor as the phonebook commands see it: its lines, and its text replaced as one
// edit that Edit, Undo takes back (setting the text anew would clear the undo history).
class EditorCard : public PhonebookCard {
  public:
    EditorCard(QPlainTextEdit& editor, CardEditorAdapter& adapter)
        : editor_(editor), adapter_(adapter) {}

    std::vector<std::string> CardLines() const override { return adapter_.Lines(); }

    void ReplaceCardText(const std::string& text) override {
        QTextCursor cursor(editor_.document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(EditorTextFromCardText(text, adapter_.GetCodePage()));
        cursor.endEditBlock();
        cursor.movePosition(QTextCursor::Start);
        editor_.setTextCursor(cursor);
    }

  private:
    QPlainTextEdit& editor_;
    CardEditorAdapter& adapter_;
};

// Replaces the editor's lines from `first` on, each only where it changed, as one edit; the
// line ends stay as they are.
void ReplaceLines(QPlainTextEdit& editor, const CardEditorAdapter& adapter, std::size_t first,
                  const std::vector<std::string>& before, const std::vector<std::string>& after) {
    QTextDocument& doc = *editor.document();
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (std::size_t i = first; i < after.size() && i < before.size(); ++i) {
        if (after[i] == before[i]) {
            continue;
        }
        const QTextBlock block = doc.findBlockByNumber(static_cast<int>(i));
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(AnsiToQString(after[i], adapter.GetCodePage()));
    }
    cursor.endEditBlock();
}

// The confirmation dialog shows the plan's lines in the editor's code page.
class DialogConfirmation : public UpdateConfirmation {
  public:
    DialogConfirmation(TUpdInfoForm& form, CodePage cp) : form_(form), cp_(cp) {}

    bool ConfirmUpdate(const UpdatePlan& plan) override {
        return form_.Confirm(Lines(plan.addList), Lines(plan.deleteList));
    }

  private:
    QStringList Lines(const std::vector<std::string>& lines) const {
        QStringList shown;
        shown.reserve(static_cast<qsizetype>(lines.size()));
        for (const std::string& line : lines) {
            shown.append(AnsiToQString(line, cp_));
        }
        return shown;
    }

    TUpdInfoForm& form_;
    CodePage cp_;
};

}  // namespace

PhonebookCommands::PhonebookCommands(PhoneWindow& window, QPlainTextEdit& editor,
                                     CardEditorAdapter& adapter, Document& document,
                                     Prompter& prompter, StorageEntries storage, QObject* parent)
    : QObject(parent),
      editor_(editor),
      adapter_(adapter),
      document_(document),
      prompter_(prompter),
      storageEntries_(storage),
      dispatcher_(std::make_unique<QtEventDispatcher>(*this, prompter)),
      exchange_(std::make_unique<PhoneExchange>(window, prompter, dispatcher_.get())) {
    setObjectName(QStringLiteral("PhonebookCommands"));
    ShowStorage();
}

PhonebookCommands::~PhonebookCommands() = default;

bool PhonebookCommands::CardShown() const {
    return document_.CurrentItemIndex() >= 0 && editor_.isEnabled();
}

std::string PhonebookCommands::BackupFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
}

void PhonebookCommands::ShowStorage() {
    storageEntries_.simCard->setChecked(storage_.Checked() == StorageItem::SimCard);
    storageEntries_.mobile->setChecked(storage_.Checked() == StorageItem::Phone);
    storageEntries_.other->setChecked(storage_.Checked() == StorageItem::Other);
    storageEntries_.other->setText(AnsiToQString(storage_.OtherCaption(), adapter_.GetCodePage()));
}

void PhonebookCommands::mnuPBOpenClick() {
    exchange_->mnuPBOpenClick();
}

void PhonebookCommands::mnuPBClosePortClick() {
    exchange_->mnuPBClosePortClick();
}

void PhonebookCommands::mnuPBMemoryStorageClick(StorageItem item) {
    // The entry checked itself when clicked; the storage says which one stays checked
    // (a cancelled "Other" keeps the previous choice).
    storage_.Click(item, prompter_);
    ShowStorage();
}

void PhonebookCommands::mnuPBMobileInfoClick() {
    ShowMobileInformation(*exchange_);
}

void PhonebookCommands::mnuPBSelectEntriesClick() {
    if (!CardShown()) {
        return;
    }
    const TextSelection entries = EntriesSelection(adapter_.CardText());
    adapter_.SelectCardRange(entries.start, entries.length);
    editor_.setFocus();
}

void PhonebookCommands::mnuPBReadClick() {
    if (!CardShown()) {
        return;
    }
    EditorCard card(editor_, adapter_);
    ReadPhonebookIntoCard(*exchange_, storage_.Code(), card);
}

void PhonebookCommands::mnuPBUpdateClick() {
    if (!CardShown() || updateForm_ == nullptr) {
        return;
    }
    DialogConfirmation confirmation(*updateForm_, adapter_.GetCodePage());
    UpdatePhonebook(*exchange_, storage_.Code(), CardEntryLines(adapter_.Lines()), confirmation,
                    BackupFolder());
}

void PhonebookCommands::mnuPBReseqClick() {
    if (!CardShown()) {
        return;
    }
    const std::optional<long long> start = AskSequenceStart(prompter_);
    if (!start) {
        return;
    }
    const std::vector<std::string> lines = adapter_.Lines();
    ReplaceLines(editor_, adapter_, 2, lines, ResequenceEntries(lines, *start));
}

void PhonebookCommands::mnuPBSortClick(bool selectedOnly) {
    if (!CardShown()) {
        return;
    }
    if (!selectedOnly) {
        mnuPBSelectEntriesClick();
    }
    const std::string text = adapter_.CardText();
    const std::size_t start = adapter_.SelectionStartOffset();
    const TextSelection selection{start, adapter_.SelectionEndOffset() - start};
    const TextEdit edit =
        SortNamesEdit(text, selection, !selectedOnly, document_.Cards().Collator());
    adapter_.SelectCardRange(edit.range.start, edit.range.length);
    adapter_.ReplaceSelection(edit.text, false);
}

}  // namespace tabellan
