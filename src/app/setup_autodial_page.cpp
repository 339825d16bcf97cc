#include "app/setup_autodial_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/elided_label.h"
#include "cardfile/errors.h"
#include "cardfile/prompter.h"
#include "phone/phone_exchange.h"
#include "phone/port_device.h"

namespace tabellan {

namespace {

// The serial component's own device name: the device assigned to the port number.
constexpr const char* kPortNumberDevice = "COM%d";

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
    modemDevice_ = new ElidedLabel(this);
    modemDevice_->setObjectName(QStringLiteral("lblModemDevice"));
    modemDial_ = std::make_unique<SetupModemDial>(*this, prompter);

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
    connect(modemPort_, &QLineEdit::textChanged, this, [this] { ShowModemDevice(); });

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
    QGroupBox* modem = Group(QStringLiteral("Modem:"),
                             {{Label(QStringLiteral("Port&:"), modemPort_), modemPort_},
                              {Label(QStringLiteral("Dial t&ype:"), dialType_), dialType_}});
    // The device the port number stands for, across the group: by-id names are long.
    auto* modemGrid = static_cast<QGridLayout*>(modem->layout());
    modemGrid->addWidget(new QLabel(QStringLiteral("Device:")), 2, 0);
    modemGrid->addWidget(modemDevice_, 2, 1, 1, 3);
    layout->addWidget(modem, 2, 0);
    // The number and the dialing: room below for what dialing reports.
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QStringLiteral("Original phone number:")), 0, 0);
    numbers->addWidget(originalNumber_, 0, 1);
    numbers->addWidget(Label(QStringLiteral("&Number to be dialed:"), numberToBeDialed_), 1, 0);
    numbers->addWidget(numberToBeDialed_, 1, 1);
    numbers->addWidget(dial_, 2, 1, Qt::AlignLeft);
    numbers->setRowStretch(3, 1);  // the rows stay together beside the taller modem group
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
    const ModemSettings modem = ModemFromControls();
    Dialer().SerComm2().SetDeviceName(ModemDeviceName(modem.port));
    Dialer().btnDialClick(modem.port, modem.dialType, ToAnsi(numberToBeDialed_->text()));
    emit DialingEnded();
}

std::string SetupAutodialPage::ModemDeviceName(const std::string& portText) const {
    try {
        const int port = StrToInt(portText);
        // A number the port page assigns anew counts before it is stored, as shown beside the
        // port field.
        if (portDevices_ && port >= 1) {
            if (std::string device = portDevices_(port); device != PortDevicePath(port)) {
                return device;
            }
        }
    } catch (const TabellanError&) {
        // Dialing reports the number that cannot be read.
    }
    return kPortNumberDevice;
}

void SetupAutodialPage::showEvent(QShowEvent* event) {
    SetupPage::showEvent(event);
    ShowModemDevice();  // the port page may have changed it
}

void SetupAutodialPage::ShowModemDevice() {
    std::string device;
    try {
        const int port = StrToInt(modemPort_->text().toStdString());
        device = portDevices_ ? portDevices_(port) : PortDevicePath(port);
        if (device.empty()) {
            device = "no device";
        }
    } catch (const TabellanError&) {
        // Not a number (yet): nothing to name.
    }
    modemDevice_->SetFullText(QString::fromStdString(device));
}

}  // namespace tabellan
