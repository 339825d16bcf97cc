#include "app/setup_form.h"

#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_settings.h"
#include "app/font_mapping.h"
#include "app/help.h"
#include "app/run_command.h"
#include "app/setup_autodial_page.h"
#include "app/setup_host.h"
#include "app/setup_ports_page.h"
#include "app/setup_quick_search_page.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

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

}  // namespace

TSetupForm::TSetupForm(SetupHost& host, AppSettings& appSettings, Prompter& prompter,
                       FileDialogs& dialogs, QWidget* parent)
    : QDialog(parent), host_(host), appSettings_(appSettings), prompter_(prompter) {
    setObjectName(QStringLiteral("TSetupForm"));
    setWindowTitle(QStringLiteral("Setup"));
    const int ppi = host.PixelsPerInch();
    auto chooseFont = [ppi](const FontSpec& start, QWidget* parent) -> std::optional<FontSpec> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, DialogFont(start), parent);
        return ok ? std::optional<FontSpec>(SpecFromFont(font, start, ppi)) : std::nullopt;
    };

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl"));
    filePage_ = new SetupFilePage(prompter, dialogs, std::move(chooseFont));
    AddPage(filePage_, QStringLiteral("&File Setup"), SetupTab::FileSetup);
    AddPage(new SetupQuickSearchPage(prompter), QStringLiteral("&Quick Search Items"),
            SetupTab::QuickSearchItems);
    auto* autodial = new SetupAutodialPage(prompter);
    AddPage(autodial, QStringLiteral("Auto&dial"), SetupTab::Autodial);
    auto* ports = new SetupPortsPage(prompter);
    AddPage(ports, QStringLiteral("Co&mm Ports"), SetupTab::Ports);
    autodial->SetPortDevices([ports](int port) { return ports->DeviceForPort(port); });

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("Help"));
    connect(ok, &QPushButton::clicked, this,
            [this] { RunCommand(prompter_, [this] { OKClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { HelpClick(); });
    connect(autodial, &SetupAutodialPage::DialingEnded, ok, [ok] { ok->setFocus(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
}

void TSetupForm::AddPage(SetupPage* page, const QString& caption, SetupTab tab) {
    // The pages' labels are fixed captions or show card text (the number found on the card):
    // plain text, never markup. A caption's mnemonic still works through its buddy.
    for (QLabel* label : page->findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
    }
    SetHelpContext(page, SetupHelpContext(tab));
    tabs_->addTab(page, caption);
    pages_.push_back(page);
}

// --- showing, loading, storing ---

void TSetupForm::SetupClick(SetupTab tab) {
    adjustSize();
    const QRect main = parentWidget() ? parentWidget()->frameGeometry() : QRect();
    move(main.left() + (main.width() - width()) / 2, main.top() + (main.height() - height()) / 2);
    FormActivate(tab);
    exec();
    host_.ShowFileStatus();
}

SetupData TSetupForm::LoadData() const {
    const FileSettings& s = host_.Settings();
    SetupData data;
    data.values = LoadSetupValues(s, s.font, host_.EditorWordWrap());
    data.quickSearch = s.quickSearch;
    data.dialRules = DecodeAutoDial(appSettings_.AutoDial().toStdString());
    data.modem = DecodeAutoDialModem(appSettings_.AutoDialModem().toStdString());
    data.ports = appSettings_.PortAssignments();
    data.defaultFont = host_.DefaultFont();
    data.cardText = host_.EditorCardText();
    data.selectionStart = host_.EditorSelectionOffset();
    data.cp = host_.EditorCodePage();
    data.cardFile = host_.CardFileOnDisk();
    return data;
}

void TSetupForm::FormActivate(SetupTab tab) {
    tabs_->setCurrentIndex(static_cast<int>(tab));
    appSettings_.Sync();  // what another program (tabellan-cli ports) changed meanwhile
    const SetupData data = LoadData();
    loadedPorts_ = data.ports;
    for (SetupPage* page : pages_) {
        page->Load(data);
    }
    pages_[static_cast<std::size_t>(tab)]->Opened();
}

SetupTab TSetupForm::CurrentTab() const {
    return static_cast<SetupTab>(tabs_->currentIndex());
}

void TSetupForm::OKClick() {
    for (SetupPage* page : pages_) {
        if (const std::optional<SetupPage::Failure> failure = page->Check()) {
            prompter_.Show(MsgKind::Error, failure->message, Buttons::Ok);
            tabs_->setCurrentWidget(page);
            failure->field->setFocus();
            return;
        }
    }
    SetupData data;
    for (const SetupPage* page : pages_) {
        page->Store(data);
    }
    const std::string currentDirectory = QFile::encodeName(QDir::currentPath()).toStdString();
    host_.StoreSettings([&](FileSettings& settings, bool& fileModified) {
        StoreSetupValues(data.values, data.quickSearch, currentDirectory, settings, fileModified);
    });
    appSettings_.WriteAutoDial(QString::fromStdString(EncodeAutoDial(data.dialRules)));
    appSettings_.WriteAutoDialModem(QString::fromStdString(EncodeAutoDialModem(data.modem)));
    // Only what was changed here, so that assignments made meanwhile elsewhere stay; the phone
    // and the modem read them from the file, which Sync writes.
    appSettings_.WritePortChanges(PortMapChanges(loadedPorts_, data.ports));
    appSettings_.Sync();
    accept();
    host_.ApplySettings();
}

void TSetupForm::HelpClick() {
    ShowHelpTopic(QString::fromLatin1(SetupHelpTopic(CurrentTab())));
}

}  // namespace tabellan
