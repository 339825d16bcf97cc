#include "app/setup_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_settings.h"
#include "app/card_editor_adapter.h"
#include "app/card_memo.h"
#include "app/file_dialogs.h"
#include "app/font_mapping.h"
#include "app/help.h"
#include "app/main_window.h"
#include "app/search_host.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

constexpr int kFileSetupPage = 0;

// The start font as the font dialog shows it: in points, which its size list offers.
QFont DialogFont(const FontSpec& spec) {
    QFont font = FontFromSpec(spec);
    if (spec.size > 0) {
        font.setPointSize(spec.size);
    }
    return font;
}

FontSpec SpecFromFont(const QFont& chosen, const FontSpec& start, int pixelsPerInch) {
    const QFont shown = DialogFont(start);
    if (chosen.family() == shown.family() && chosen.pointSize() == shown.pointSize() &&
        chosen.bold() == shown.bold() && chosen.italic() == shown.italic() &&
        chosen.underline() == shown.underline() && chosen.strikeOut() == shown.strikeOut()) {
        return start;  // a Windows face shown under its local stand-in keeps its name
    }
    FontSpec spec = start;  // colour and script are not offered by the font dialog
    if (chosen.family() != shown.family()) {
        spec.name = chosen.family().toStdString();
        spec.pitch = 0;
    }
    if (chosen.pointSize() > 0) {
        spec.SetSize(chosen.pointSize(), pixelsPerInch);
    }
    spec.bold = chosen.bold();
    spec.italic = chosen.italic();
    spec.underline = chosen.underline();
    spec.strikeOut = chosen.strikeOut();
    return spec;
}

QLabel* Label(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TSetupForm::TSetupForm(TMainForm& window, const CardEditorAdapter& editor, AppSettings& appSettings,
                       Prompter& prompter, FileDialogs& dialogs)
    : QDialog(&window),
      window_(window),
      editor_(editor),
      appSettings_(appSettings),
      prompter_(prompter),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("TSetupForm"));
    setWindowTitle(QStringLiteral("Setup"));
    const int ppi = window.Doc().Context().pixelsPerInch;
    chooseFont_ = [ppi](const FontSpec& start, QWidget* parent) -> std::optional<FontSpec> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, DialogFont(start), parent);
        return ok ? std::optional<FontSpec>(SpecFromFont(font, start, ppi)) : std::nullopt;
    };

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl"));
    tabs_->addTab(CreateFileSetupTab(), QStringLiteral("&File Setup"));
    tabs_->addTab(CreateQuickSearchTab(), QStringLiteral("&Quick Search Items"));
    tabs_->addTab(CreateAutodialTab(), QStringLiteral("Auto&dial"));
    for (const SetupTab tab :
         {SetupTab::FileSetup, SetupTab::QuickSearchItems, SetupTab::Autodial}) {
        SetHelpContext(tabs_->widget(static_cast<int>(tab)), SetupHelpContext(tab));
    }

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("Help"));
    connect(ok, &QPushButton::clicked, this, [this] { window_.RunCommand([this] { OKClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
}

QLineEdit* TSetupForm::AddEdit(const char* name, int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
    }
    return edit;
}

QCheckBox* TSetupForm::AddCheck(const char* name, const QString& caption) {
    auto* check = new QCheckBox(caption, this);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QPushButton* TSetupForm::AddButton(const char* name, const QString& caption,
                                   void (TSetupForm::*handler)()) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this,
            [this, handler] { window_.RunCommand([this, handler] { (this->*handler)(); }); });
    return button;
}

QWidget* TSetupForm::CreateFileSetupTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabFileSetup"));
    password1_ = AddEdit("Password1", 0);
    password1_->setEchoMode(QLineEdit::Password);
    password2_ = AddEdit("Password2", 0);
    password2_->setEchoMode(QLineEdit::Password);
    compression_ = new QComboBox(this);
    compression_->setObjectName(QStringLiteral("ComprComboBox"));
    compression_->addItems({QStringLiteral("None"), QStringLiteral("Low (Quick - Recommended)"),
                            QStringLiteral("Medium"), QStringLiteral("High (Very Slow)")});
    wordWrap_ = AddCheck("cbWordWrap", QString());
    cardSeparator_ = AddEdit("EditCardSeparator", 1);
    cardSeparator_->setMaximumWidth(40);
    indexListSide_ = new QComboBox(this);
    indexListSide_->setObjectName(QStringLiteral("IndListComboBox"));
    indexListSide_->addItems({QStringLiteral("Left"), QStringLiteral("Right")});
    autoSavePeriod_ = AddEdit("AutoSavePeriod", 2);
    autoSavePeriod_->setMaximumWidth(40);
    commandExec_ = AddCheck("cbEnableCmdExec", QString());
    indent_ = AddEdit("IndentPrintoutSpaces", 2);
    indent_->setMaximumWidth(40);
    altFileName_ = AddEdit("EditAltFN", 0);

    auto* grid = new QGridLayout(page);
    int row = 0;
    const auto addRow = [&](const QString& caption, QWidget* field, QWidget* extra = nullptr) {
        grid->addWidget(Label(caption, field), row, 0);
        grid->addWidget(field, row, 1, Qt::AlignLeft);
        if (extra) {
            grid->addWidget(extra, row, 2, Qt::AlignLeft);
        }
        ++row;
    };
    addRow(QStringLiteral("&Password:"), password1_);
    addRow(QStringLiteral("P&assword (verify):"), password2_,
           AddButton("ButtonClearPassword", QStringLiteral("C&lear Password"),
                     &TSetupForm::ButtonClearPasswordClick));
    addRow(QStringLiteral("Comp&ression level:"), compression_);
    addRow(QStringLiteral("Word &wrap:"), wordWrap_);
    addRow(QStringLiteral("Card &separator:"), cardSeparator_,
           AddButton("ButtonFormFeed", QStringLiteral("S&et To Form Feed"),
                     &TSetupForm::ButtonFormFeedClick));
    addRow(QStringLiteral("Inde&x list at:"), indexListSide_);
    addRow(QStringLiteral("A&uto. save every:"), autoSavePeriod_,
           new QLabel(QStringLiteral("minutes")));
    addRow(QStringLiteral("Enable command e&xecution:"), commandExec_);
    addRow(QStringLiteral("&Indent printouts by:"), indent_, new QLabel(QStringLiteral("spaces")));
    grid->addWidget(Label(QStringLiteral("Alt. sa&ve file name:"), altFileName_), row, 0);
    grid->addWidget(altFileName_, row, 1, 1, 2);
    auto* altButtons = new QHBoxLayout;
    altButtons->addWidget(
        AddButton("ButtonSetAltFN", QStringLiteral("Se&t..."), &TSetupForm::ButtonSetAltFNClick));
    altButtons->addWidget(AddButton("ButtonClearAltFN", QStringLiteral("Clea&r"),
                                    &TSetupForm::ButtonClearAltFNClick));
    grid->addLayout(altButtons, row++, 3);
    auto* fontButtons = new QHBoxLayout;
    fontButtons->addWidget(
        AddButton("ButtonFont", QStringLiteral("Change Fo&nt..."), &TSetupForm::ButtonFontClick));
    fontButtons->addWidget(AddButton("ButtonDefFont", QStringLiteral("&Default Font..."),
                                     &TSetupForm::ButtonDefFontClick));
    fontButtons->addStretch();
    grid->addLayout(fontButtons, row++, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* TSetupForm::CreateQuickSearchTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabQuickSearchItems"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    itemList_ = new QListWidget(this);
    itemList_->setObjectName(QStringLiteral("SrchItemList"));
    itemList_->setFont(fixed);
    editItem_ = AddEdit("EditItem", static_cast<int>(QuickSearchItemsModel::kMaxEditLength));
    editItem_->setFont(fixed);
    indexOnly_ = AddCheck("IndexOnly", QStringLiteral("Search above string in &index only"));
    add_ = AddButton("btnAdd", QStringLiteral("&Add"), &TSetupForm::btnAddClick);
    delete_ = AddButton("btnDelete", QStringLiteral("D&elete"), &TSetupForm::btnDeleteClick);
    moveUp_ = AddButton("MoveUp", QStringLiteral("Move &Up"), &TSetupForm::MoveUpClick);
    moveDown_ = AddButton("MoveDown", QStringLiteral("Move D&own"), &TSetupForm::MoveDownClick);
    // Only the user's own changes: showing the model's state must not call back into it.
    connect(itemList_, &QListWidget::itemClicked, this, [this] { SrchItemListClick(); });
    connect(itemList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != items_.Selected()) {
            SrchItemListClick();
        }
    });
    connect(editItem_, &QLineEdit::textEdited, this, [this] { EditItemChange(); });
    connect(indexOnly_, &QCheckBox::clicked, this, [this] { EditItemChange(); });

    auto* grid = new QGridLayout(page);
    grid->addWidget(itemList_, 0, 0, 4, 1);
    grid->addWidget(add_, 0, 1);
    grid->addWidget(delete_, 1, 1);
    grid->addWidget(moveUp_, 2, 1);
    grid->addWidget(moveDown_, 3, 1, Qt::AlignTop);
    grid->addWidget(editItem_, 4, 0);
    grid->addWidget(indexOnly_, 5, 0);
    return page;
}

QWidget* TSetupForm::CreateAutodialTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabAutoDial"));
    countryCode_ = AddEdit("CountryCode", 8);
    icPrefix_ = AddEdit("ICPrefix", 8);
    useIcPrefix_ = AddCheck("UseICPrefix", QStringLiteral("&Use"));
    areaCode_ = AddEdit("AreaCode", 8);
    ldcPrefix_ = AddEdit("LDCPrefix", 8);
    useLdcPrefix_ = AddCheck("UseLDCPrefix", QStringLiteral("U&se"));
    additionalPrefix_ = AddEdit("AdditionalPrefix", 8);
    useAddPrefix_ = AddCheck("UseAddPrefix", QStringLiteral("Us&e"));
    ignoredChars_ = AddEdit("editIgnoredChars", 8);
    separatorChars_ = AddEdit("editSeparatorChars", 8);
    modemPort_ = AddEdit("EditModemPort", 3);
    dialType_ = new QComboBox(this);
    dialType_->setObjectName(QStringLiteral("cbDialType"));
    dialType_->addItems({QStringLiteral("Tone"), QStringLiteral("Pulse")});
    originalNumber_ = new QLabel(this);
    originalNumber_->setObjectName(QStringLiteral("lblOriginalNumber"));
    originalNumber_->setTextFormat(Qt::PlainText);
    numberToBeDialed_ = AddEdit("editNumberToBeDialed", 0);
    dial_ = AddButton("btnDial", QStringLiteral("D&ial!"), &TSetupForm::btnDialClick);

    for (QLineEdit* rule : {countryCode_, icPrefix_, areaCode_, ldcPrefix_, additionalPrefix_}) {
        connect(rule, &QLineEdit::textEdited, this, [this] { ApplyDialRules(); });
    }
    for (QCheckBox* use : {useIcPrefix_, useLdcPrefix_, useAddPrefix_}) {
        connect(use, &QCheckBox::clicked, this, [this] { ApplyDialRules(); });
    }
    for (QLineEdit* chars : {ignoredChars_, separatorChars_}) {
        connect(chars, &QLineEdit::textEdited, this, [this] { AutodialCharsChange(); });
    }
    connect(numberToBeDialed_, &QLineEdit::textEdited, this,
            [this](const QString& text) { autodial_.SetNumberToBeDialed(ToAnsi(text)); });

    const auto group = [](const QString& title, const QList<QList<QWidget*>>& rows) {
        auto* box = new QGroupBox(title);
        auto* grid = new QGridLayout(box);
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c) {
                if (rows[r][c]) {
                    grid->addWidget(rows[r][c], r, c);
                }
            }
        }
        grid->setColumnStretch(3, 1);
        return box;
    };
    auto* layout = new QGridLayout(page);
    layout->addWidget(
        group(QStringLiteral("International calls:"),
              {{Label(QStringLiteral("My &country code:"), countryCode_), countryCode_},
               {Label(QStringLiteral("dial &prefix:"), icPrefix_), icPrefix_, useIcPrefix_}}),
        0, 0);
    layout->addWidget(
        group(QStringLiteral("Long-distance calls:"),
              {{Label(QStringLiteral("My &area code:"), areaCode_), areaCode_},
               {Label(QStringLiteral("dial p&refix:"), ldcPrefix_), ldcPrefix_, useLdcPrefix_}}),
        0, 1);
    layout->addWidget(group(QStringLiteral("To access an outside line:"),
                            {{Label(QStringLiteral("dial prefi&x:"), additionalPrefix_),
                              additionalPrefix_, useAddPrefix_}}),
                      1, 0);
    layout->addWidget(
        group(QStringLiteral("Characters in phone numbers:"),
              {{Label(QStringLiteral("To be i&gnored:"), ignoredChars_), ignoredChars_},
               {Label(QStringLiteral("Used as separa&tors:"), separatorChars_), separatorChars_}}),
        1, 1);
    layout->addWidget(group(QStringLiteral("Modem:"),
                            {{Label(QStringLiteral("Port&:"), modemPort_), modemPort_},
                             {Label(QStringLiteral("Dial t&ype:"), dialType_), dialType_}}),
                      2, 0);
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QStringLiteral("Original phone number:")), 0, 0);
    numbers->addWidget(originalNumber_, 0, 1);
    numbers->addWidget(Label(QStringLiteral("&Number to be dialed:"), numberToBeDialed_), 1, 0);
    numbers->addWidget(numberToBeDialed_, 1, 1);
    numbers->addWidget(dial_, 2, 1, Qt::AlignLeft);
    layout->addLayout(numbers, 2, 1);
    layout->setRowStretch(3, 1);
    return page;
}

QString TSetupForm::ToQt(const std::string& text) const {
    return AnsiToQString(text, editor_.GetCodePage());
}

std::string TSetupForm::ToAnsi(const QString& text) const {
    return QStringToAnsi(text, editor_.GetCodePage());
}

// --- showing, loading, storing ---

void TSetupForm::SetupClick(SetupTab tab) {
    adjustSize();
    const QRect main = window_.frameGeometry();
    move(main.left() + (main.width() - width()) / 2, main.top() + (main.height() - height()) / 2);
    FormActivate(tab);
    exec();
    window_.Doc().ShowFileStatus();
}

void TSetupForm::FormActivate(SetupTab tab) {
    tabs_->setCurrentIndex(static_cast<int>(tab));
    const FileSettings& s = window_.Doc().Settings();
    values_ = LoadSetupValues(s, s.font, window_.Memo()->lineWrapMode() != QPlainTextEdit::NoWrap);
    ShowValues();
    items_.Load(s.quickSearch);
    ShowQuickSearchItems();
    ShowAutodial(DecodeAutoDial(appSettings_.AutoDial().toStdString()),
                 DecodeAutoDialModem(appSettings_.AutoDialModem().toStdString()));
    // The number is found on every showing, so the tab never offers one of an earlier card.
    autodial_ = AutodialModel(RulesFromControls(), values_.ignoredChars, values_.separatorChars);
    const CardMemo& memo = *window_.Memo();
    autodial_.SetCard(EditorCardText(editor_),
                      EditorCardOffset(editor_, memo.textCursor().selectionStart()));
    ShowNumbers();
    if (tab == SetupTab::Autodial) {
        dial_->setFocus();
    }
}

SetupTab TSetupForm::CurrentTab() const {
    return static_cast<SetupTab>(tabs_->currentIndex());
}

void TSetupForm::ShowValues() {
    password1_->setText(ToQt(values_.password1));
    password2_->setText(ToQt(values_.password2));
    compression_->setCurrentIndex(values_.compressionLevel);
    wordWrap_->setChecked(values_.wordWrap);
    cardSeparator_->setText(ToQt(values_.cardSeparator));
    indexListSide_->setCurrentIndex(values_.indexListAtRight ? 1 : 0);
    autoSavePeriod_->setText(QString::fromStdString(values_.autoSavePeriod));
    commandExec_->setChecked(values_.commandExec);
    indent_->setText(QString::fromStdString(values_.indentPrintoutSpaces));
    altFileName_->setText(QFile::decodeName(QByteArray::fromStdString(values_.altCardFileName)));
    ignoredChars_->setText(ToQt(values_.ignoredChars));
    separatorChars_->setText(ToQt(values_.separatorChars));
}

SetupValues TSetupForm::ReadValues() const {
    SetupValues v = values_;  // the pending font stays as the font buttons left it
    v.password1 = ToAnsi(password1_->text());
    v.password2 = ToAnsi(password2_->text());
    v.compressionLevel = compression_->currentIndex();
    v.wordWrap = wordWrap_->isChecked();
    v.cardSeparator = ToAnsi(cardSeparator_->text());
    v.indexListAtRight = indexListSide_->currentIndex() == 1;
    v.autoSavePeriod = autoSavePeriod_->text().toStdString();
    v.commandExec = commandExec_->isChecked();
    v.indentPrintoutSpaces = indent_->text().toStdString();
    v.altCardFileName = QFile::encodeName(altFileName_->text()).toStdString();
    v.ignoredChars = ToAnsi(ignoredChars_->text());
    v.separatorChars = ToAnsi(separatorChars_->text());
    return v;
}

QWidget* TSetupForm::FieldWidget(SetupField field) const {
    switch (field) {
        case SetupField::Password2:
            return password2_;
        case SetupField::CardSeparator:
            return cardSeparator_;
        case SetupField::AutoSavePeriod:
            return autoSavePeriod_;
        case SetupField::IndentPrintoutSpaces:
            break;
    }
    return indent_;
}

void TSetupForm::OKClick() {
    const SetupValues values = ReadValues();
    if (const std::optional<SetupCheckFailure> failure = CheckSetupValues(values)) {
        prompter_.Show(MsgKind::Error, failure->message, Buttons::Ok);
        tabs_->setCurrentIndex(kFileSetupPage);
        FieldWidget(failure->focus)->setFocus();
        return;
    }
    Document& doc = window_.Doc();
    FileSettings& settings = doc.Settings();
    bool modified = doc.FileModified();
    // Taken first, so the panes keep their widths when the index list changes sides.
    window_.CaptureWindowSettings(settings);
    StoreSetupValues(values, items_.Save(), QFile::encodeName(QDir::currentPath()).toStdString(),
                     settings, modified);
    doc.SetFileModified(modified);
    ModemSettings modem;
    modem.port = modemPort_->text().toStdString();
    modem.dialType = dialType_->currentIndex() == 1 ? DialType::Pulse : DialType::Tone;
    appSettings_.WriteAutoDial(QString::fromStdString(EncodeAutoDial(RulesFromControls())));
    appSettings_.WriteAutoDialModem(QString::fromStdString(EncodeAutoDialModem(modem)));
    appSettings_.Sync();
    accept();
    window_.ApplySettingsToWindow(settings);
    window_.FormResize();
}

void TSetupForm::HelpClick() {
    ShowHelpTopic(QString::fromLatin1(SetupHelpTopic(CurrentTab())));
}

// --- File Setup buttons ---

void TSetupForm::ButtonClearPasswordClick() {
    password1_->clear();
    password2_->clear();
}

void TSetupForm::ButtonFormFeedClick() {
    cardSeparator_->setText(QString(QChar(kFormFeed)));
}

void TSetupForm::ButtonFontClick() {
    if (const std::optional<FontSpec> font = chooseFont_(values_.pendingFont, this)) {
        values_.pendingFont = *font;
    }
}

void TSetupForm::ButtonDefFontClick() {
    if (const std::optional<FontSpec> font =
            chooseFont_(window_.Doc().Context().defaultFont, this)) {
        values_.pendingFont = *font;
    }
}

void TSetupForm::ButtonSetAltFNClick() {
    const QString remembered = QDir::currentPath();
    int filterIndex = 1;
    QString name = altFileName_->text();
    const bool chosen = dialogs_.SaveAs(this, filterIndex, name);
    QDir::setCurrent(remembered);
    if (chosen) {
        altFileName_->setText(name);
    }
}

void TSetupForm::ButtonClearAltFNClick() {
    altFileName_->clear();
}

// --- Quick Search Items ---

void TSetupForm::ShowQuickSearchItems() {
    const QSignalBlocker blockList(itemList_);
    itemList_->clear();
    for (const std::string& line : items_.Lines()) {
        itemList_->addItem(ToQt(line));
    }
    itemList_->setCurrentRow(items_.Selected());
    if (items_.Selected() < 0) {
        itemList_->clearSelection();
    }
    const QSignalBlocker blockEdit(editItem_);
    editItem_->setText(ToQt(items_.EditText()));
    indexOnly_->setChecked(items_.IndexOnly());
    add_->setEnabled(items_.CanAdd());
    delete_->setEnabled(items_.CanDelete());
    moveUp_->setEnabled(items_.CanMoveUp());
    moveDown_->setEnabled(items_.CanMoveDown());
}

void TSetupForm::SrchItemListClick() {
    items_.SelectLine(itemList_->currentRow());
    ShowQuickSearchItems();
}

void TSetupForm::EditItemChange() {
    const int cursor = editItem_->cursorPosition();
    items_.SetIndexOnly(indexOnly_->isChecked());
    items_.SetEditText(ToAnsi(editItem_->text()));
    ShowQuickSearchItems();
    editItem_->setCursorPosition(cursor);
}

void TSetupForm::btnAddClick() {
    items_.Add();
    ShowQuickSearchItems();
}

void TSetupForm::btnDeleteClick() {
    items_.Delete();
    ShowQuickSearchItems();
}

void TSetupForm::MoveUpClick() {
    items_.MoveUp();
    ShowQuickSearchItems();
}

void TSetupForm::MoveDownClick() {
    items_.MoveDown();
    ShowQuickSearchItems();
}

// --- Autodial ---

void TSetupForm::ShowAutodial(const DialRules& rules, const ModemSettings& modem) {
    countryCode_->setText(QString::fromStdString(rules.countryCode));
    icPrefix_->setText(QString::fromStdString(rules.icPrefix));
    useIcPrefix_->setChecked(rules.useIcPrefix);
    areaCode_->setText(QString::fromStdString(rules.areaCode));
    ldcPrefix_->setText(QString::fromStdString(rules.ldcPrefix));
    useLdcPrefix_->setChecked(rules.useLdcPrefix);
    additionalPrefix_->setText(QString::fromStdString(rules.additionalPrefix));
    useAddPrefix_->setChecked(rules.useAddPrefix);
    modemPort_->setText(QString::fromStdString(modem.port));
    dialType_->setCurrentIndex(static_cast<int>(modem.dialType));
}

DialRules TSetupForm::RulesFromControls() const {
    DialRules r;
    r.countryCode = countryCode_->text().toStdString();
    r.icPrefix = icPrefix_->text().toStdString();
    r.useIcPrefix = useIcPrefix_->isChecked();
    r.areaCode = areaCode_->text().toStdString();
    r.ldcPrefix = ldcPrefix_->text().toStdString();
    r.useLdcPrefix = useLdcPrefix_->isChecked();
    r.additionalPrefix = additionalPrefix_->text().toStdString();
    r.useAddPrefix = useAddPrefix_->isChecked();
    return r;
}

void TSetupForm::ApplyDialRules() {
    autodial_.SetRules(RulesFromControls());
    ShowNumbers();
}

void TSetupForm::AutodialCharsChange() {
    autodial_.SetIgnoredChars(ToAnsi(ignoredChars_->text()));
    autodial_.SetSeparatorChars(ToAnsi(separatorChars_->text()));
    ShowNumbers();
}

void TSetupForm::ShowNumbers() {
    originalNumber_->setText(ToQt(autodial_.OriginalNumber()));
    numberToBeDialed_->setText(ToQt(autodial_.NumberToBeDialed()));
}

void TSetupForm::btnDialClick() {
    prompter_.Show(MsgKind::Information, "Dialing through a modem is not available yet.",
                   Buttons::Ok);
}

}  // namespace tabellan
