#include "app/setup_file_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/file_dialogs.h"
#include "cardfile/password_text.h"

namespace tabellan {

SetupFilePage::SetupFilePage(Prompter& prompter, FileDialogs& dialogs, FontChooser chooseFont)
    : SetupPage("TabFileSetup", prompter), dialogs_(dialogs), chooseFont_(std::move(chooseFont)) {
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

    auto* grid = new QGridLayout(this);
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
                     [this] { ButtonClearPasswordClick(); }));
    addRow(QStringLiteral("Comp&ression level:"), compression_);
    addRow(QStringLiteral("Word &wrap:"), wordWrap_);
    addRow(QStringLiteral("Card &separator:"), cardSeparator_,
           AddButton("ButtonFormFeed", QStringLiteral("S&et To Form Feed"),
                     [this] { ButtonFormFeedClick(); }));
    addRow(QStringLiteral("Inde&x list at:"), indexListSide_);
    addRow(QStringLiteral("A&uto. save every:"), autoSavePeriod_,
           new QLabel(QStringLiteral("minutes")));
    addRow(QStringLiteral("Enable command e&xecution:"), commandExec_);
    addRow(QStringLiteral("&Indent printouts by:"), indent_, new QLabel(QStringLiteral("spaces")));
    grid->addWidget(Label(QStringLiteral("Alt. sa&ve file name:"), altFileName_), row, 0);
    grid->addWidget(altFileName_, row, 1, 1, 2);
    auto* altButtons = new QHBoxLayout;
    altButtons->addWidget(
        AddButton("ButtonSetAltFN", QStringLiteral("Se&t..."), [this] { ButtonSetAltFNClick(); }));
    altButtons->addWidget(AddButton("ButtonClearAltFN", QStringLiteral("Clea&r"),
                                    [this] { ButtonClearAltFNClick(); }));
    grid->addLayout(altButtons, row++, 3);
    auto* fontButtons = new QHBoxLayout;
    fontButtons->addWidget(
        AddButton("ButtonFont", QStringLiteral("Change Fo&nt..."), [this] { ButtonFontClick(); }));
    fontButtons->addWidget(AddButton("ButtonDefFont", QStringLiteral("&Default Font..."),
                                     [this] { ButtonDefFontClick(); }));
    fontButtons->addStretch();
    grid->addLayout(fontButtons, row++, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
}

void SetupFilePage::Load(const SetupData& data) {
    cp_ = data.cp;
    cardFile_ = data.cardFile;
    const SetupValues& v = data.values;
    pendingFont_ = v.pendingFont;
    defaultFont_ = data.defaultFont;
    password1_->setText(ToQt(v.password1));
    password2_->setText(ToQt(v.password2));
    compression_->setCurrentIndex(v.compressionLevel);
    wordWrap_->setChecked(v.wordWrap);
    cardSeparator_->setText(ToQt(v.cardSeparator));
    indexListSide_->setCurrentIndex(v.indexListAtRight ? 1 : 0);
    autoSavePeriod_->setText(QString::fromStdString(v.autoSavePeriod));
    commandExec_->setChecked(v.commandExec);
    indent_->setText(QString::fromStdString(v.indentPrintoutSpaces));
    altFileName_->setText(QFile::decodeName(QByteArray::fromStdString(v.altCardFileName)));
}

SetupValues SetupFilePage::FieldValues(SetupValues v) const {
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
    v.pendingFont = pendingFont_;
    return v;
}

std::optional<SetupPage::Failure> SetupFilePage::Check() const {
    const SetupValues values = FieldValues({});
    if (const std::optional<SetupCheckFailure> failure = CheckSetupValues(values)) {
        return Failure{failure->message, FieldWidget(failure->focus)};
    }
    // Stored with "?" for what the code page lacks, the password would open the file with
    // other passwords too.
    try {
        PasswordToCodePage(password1_->text().toStdU16String(), cp_, CharacterNaming::CodePoints);
    } catch (const EPasswordCharacters& e) {
        return Failure{e.what(), FieldWidget(SetupField::Password1)};
    }
    const std::string currentDirectory = QFile::encodeName(QDir::currentPath()).toStdString();
    if (const std::optional<SetupCheckFailure> failure =
            CheckSetupAlternateFile(values, cardFile_, currentDirectory)) {
        return Failure{failure->message, FieldWidget(failure->focus)};
    }
    return std::nullopt;
}

void SetupFilePage::Store(SetupData& data) const {
    data.values = FieldValues(data.values);
}

QWidget* SetupFilePage::FieldWidget(SetupField field) const {
    switch (field) {
        case SetupField::Password1:
            return password1_;
        case SetupField::AltCardFileName:
            return altFileName_;
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

// --- buttons ---

void SetupFilePage::ButtonClearPasswordClick() {
    password1_->clear();
    password2_->clear();
}

void SetupFilePage::ButtonFormFeedClick() {
    cardSeparator_->setText(QString(QChar(kFormFeed)));
}

void SetupFilePage::ButtonFontClick() {
    if (const std::optional<FontSpec> font = chooseFont_(pendingFont_, this)) {
        pendingFont_ = *font;
    }
}

void SetupFilePage::ButtonDefFontClick() {
    if (const std::optional<FontSpec> font = chooseFont_(defaultFont_, this)) {
        pendingFont_ = *font;
    }
}

void SetupFilePage::ButtonSetAltFNClick() {
    const QString remembered = QDir::currentPath();
    int filterIndex = 1;
    QString name = altFileName_->text();
    const bool chosen = dialogs_.SaveAs(this, filterIndex, name);
    QDir::setCurrent(remembered);
    if (chosen) {
        altFileName_->setText(name);
    }
}

void SetupFilePage::ButtonClearAltFNClick() {
    altFileName_->clear();
}

}  // namespace tabellan
