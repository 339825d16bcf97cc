#include "app/dlg_frm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/help.h"
#include "cardfile/password_text.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {
constexpr int kPasswordHelp = 120;
}

TDlgFrm::TDlgFrm(Prompter& errors, QWidget* parent)
    : CentredDialog(parent),
      errors_(errors),
      label1_(new QLabel(this)),
      edit1_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("DlgFrm"));
    SetHelpContext(this, kPasswordHelp);
    label1_->setObjectName(QStringLiteral("Label1"));
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setEchoMode(QLineEdit::Password);
    // The prompt as plain text; with no buddy, a "&" in it is no mnemonic either.
    label1_->setTextFormat(Qt::PlainText);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addWidget(edit1_);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

void TDlgFrm::Setup(const QString& caption, const QString& prompt, const QString& initial,
                    CodePage cp) {
    cp_ = cp;
    password_.clear();
    setWindowTitle(caption);
    label1_->setText(prompt);
    edit1_->setText(initial);
    edit1_->setFocus();
}

QString TDlgFrm::Text() const {
    return edit1_->text();
}

void TDlgFrm::accept() {
    try {
        password_ =
            PasswordToCodePage(edit1_->text().toStdU16String(), cp_, CharacterNaming::CodePoints);
    } catch (const EPasswordCharacters& e) {
        errors_.Show(MsgKind::Error, e.what(), Buttons::Ok);
        edit1_->setFocus();
        edit1_->selectAll();
        return;
    }
    CentredDialog::accept();
}

void TDlgFrm::showEvent(QShowEvent* e) {
    CentredDialog::showEvent(e);
    edit1_->setFocus();
}

}  // namespace tabellan
