#include "app/setup_autodial_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "cardfile/prompter.h"

namespace tabellan {

namespace {

QGroupBox* Group(const QString& title, const QList<QList<QWidget*>>& rows) {
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
}

}  // namespace

SetupAutodialPage::SetupAutodialPage(Prompter& prompter) : SetupPage("TabAutoDial", prompter) {
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
    dial_ = AddButton("btnDial", QStringLiteral("D&ial!"), [this] { btnDialClick(); });

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

    auto* layout = new QGridLayout(this);
    layout->addWidget(
        Group(QStringLiteral("International calls:"),
              {{Label(QStringLiteral("My &country code:"), countryCode_), countryCode_},
               {Label(QStringLiteral("dial &prefix:"), icPrefix_), icPrefix_, useIcPrefix_}}),
        0, 0);
    layout->addWidget(
        Group(QStringLiteral("Long-distance calls:"),
              {{Label(QStringLiteral("My &area code:"), areaCode_), areaCode_},
               {Label(QStringLiteral("dial p&refix:"), ldcPrefix_), ldcPrefix_, useLdcPrefix_}}),
        0, 1);
    layout->addWidget(Group(QStringLiteral("To access an outside line:"),
                            {{Label(QStringLiteral("dial prefi&x:"), additionalPrefix_),
                              additionalPrefix_, useAddPrefix_}}),
                      1, 0);
    layout->addWidget(
        Group(QStringLiteral("Characters in phone numbers:"),
              {{Label(QStringLiteral("To be i&gnored:"), ignoredChars_), ignoredChars_},
               {Label(QStringLiteral("Used as separa&tors:"), separatorChars_), separatorChars_}}),
        1, 1);
    layout->addWidget(Group(QStringLiteral("Modem:"),
                            {{Label(QStringLiteral("Port&:"), modemPort_), modemPort_},
                             {Label(QStringLiteral("Dial t&ype:"), dialType_), dialType_}}),
                      2, 0);
    // The number and the dialing: room below for what dialing reports.
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QStringLiteral("Original phone number:")), 0, 0);
    numbers->addWidget(originalNumber_, 0, 1);
    numbers->addWidget(Label(QStringLiteral("&Number to be dialed:"), numberToBeDialed_), 1, 0);
    numbers->addWidget(numberToBeDialed_, 1, 1);
    numbers->addWidget(dial_, 2, 1, Qt::AlignLeft);
    layout->addLayout(numbers, 2, 1);
    layout->setRowStretch(3, 1);
}

void SetupAutodialPage::Load(const SetupData& data) {
    cp_ = data.cp;
    const DialRules& rules = data.dialRules;
    countryCode_->setText(QString::fromStdString(rules.countryCode));
    icPrefix_->setText(QString::fromStdString(rules.icPrefix));
    useIcPrefix_->setChecked(rules.useIcPrefix);
    areaCode_->setText(QString::fromStdString(rules.areaCode));
    ldcPrefix_->setText(QString::fromStdString(rules.ldcPrefix));
    useLdcPrefix_->setChecked(rules.useLdcPrefix);
    additionalPrefix_->setText(QString::fromStdString(rules.additionalPrefix));
    useAddPrefix_->setChecked(rules.useAddPrefix);
    modemPort_->setText(QString::fromStdString(data.modem.port));
    dialType_->setCurrentIndex(static_cast<int>(data.modem.dialType));
    ignoredChars_->setText(ToQt(data.values.ignoredChars));
    separatorChars_->setText(ToQt(data.values.separatorChars));
    autodial_ =
        AutodialModel(RulesFromControls(), data.values.ignoredChars, data.values.separatorChars);
    autodial_.SetCard(data.cardText, data.selectionStart);
    ShowNumbers();
}

void SetupAutodialPage::Store(SetupData& data) const {
    data.dialRules = RulesFromControls();
    data.modem = ModemFromControls();
    data.values.ignoredChars = ToAnsi(ignoredChars_->text());
    data.values.separatorChars = ToAnsi(separatorChars_->text());
}

void SetupAutodialPage::Opened() {
    dial_->setFocus();
}

DialRules SetupAutodialPage::RulesFromControls() const {
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

ModemSettings SetupAutodialPage::ModemFromControls() const {
    ModemSettings modem;
    modem.port = modemPort_->text().toStdString();
    modem.dialType = dialType_->currentIndex() == 1 ? DialType::Pulse : DialType::Tone;
    return modem;
}

void SetupAutodialPage::ApplyDialRules() {
    autodial_.SetRules(RulesFromControls());
    ShowNumbers();
}

void SetupAutodialPage::AutodialCharsChange() {
    autodial_.SetIgnoredChars(ToAnsi(ignoredChars_->text()));
    autodial_.SetSeparatorChars(ToAnsi(separatorChars_->text()));
    ShowNumbers();
}

void SetupAutodialPage::ShowNumbers() {
    originalNumber_->setText(ToQt(autodial_.OriginalNumber()));
    numberToBeDialed_->setText(ToQt(autodial_.NumberToBeDialed()));
}

void SetupAutodialPage::btnDialClick() {
    prompter_.Show(MsgKind::Information, "Dialing through a modem is not available yet.",
                   Buttons::Ok);
}

}  // namespace tabellan
