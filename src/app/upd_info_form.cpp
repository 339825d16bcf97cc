#include "app/upd_info_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/help.h"

namespace tabellan {

namespace {

constexpr int kUpdateHelp = 550;
constexpr QSize kFormSize(460, 400);

QListWidget* MakeList(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

void Fill(QListWidget* list, const QStringList& lines) {
    list->clear();
    // Items are plain text: an entry line is shown exactly as it will be sent.
    list->addItems(lines);
}

}  // namespace

TUpdInfoForm::TUpdInfoForm(QWidget* parent)
    : CentredDialog(parent),
      labelAdd_(new QLabel(QStringLiteral("Items to be added or replaced:"), this)),
      listBoxAdd_(MakeList(this, "ListBoxAdd")),
      labelDelete_(new QLabel(QStringLiteral("Items to be deleted:"), this)),
      listBoxDelete_(MakeList(this, "ListBoxDelete")),
      buttonOK_(new QPushButton(QStringLiteral("&OK"), this)),
      buttonCancel_(new QPushButton(QStringLiteral("&Cancel"), this)) {
    setObjectName(QStringLiteral("UpdInfoForm"));
    // A dialog of fixed size: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Phonebook Update Confirmation"));
    SetHelpContext(this, kUpdateHelp);
    labelAdd_->setObjectName(QStringLiteral("LabelAdd"));
    labelDelete_->setObjectName(QStringLiteral("LabelDelete"));
    labelAdd_->setTextFormat(Qt::PlainText);
    labelDelete_->setTextFormat(Qt::PlainText);
    labelAdd_->setBuddy(listBoxAdd_);
    labelDelete_->setBuddy(listBoxDelete_);
    buttonOK_->setObjectName(QStringLiteral("ButtonOK"));
    buttonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
    buttonOK_->setDefault(true);
    buttonCancel_->setAutoDefault(false);
    connect(buttonOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonCancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(buttonOK_);
    buttons->addWidget(buttonCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelAdd_);
    layout->addWidget(listBoxAdd_, 1);
    layout->addWidget(labelDelete_);
    layout->addWidget(listBoxDelete_, 1);
    layout->addLayout(buttons);
    setFixedSize(kFormSize);
}

bool TUpdInfoForm::Confirm(const QStringList& addList, const QStringList& deleteList) {
    Fill(listBoxAdd_, addList);
    Fill(listBoxDelete_, deleteList);
    // The main window may be disabled around the command that asks; this dialog is not.
    setEnabled(true);
    const bool confirmed = exec() == QDialog::Accepted;
    listBoxAdd_->clear();
    listBoxDelete_->clear();
    return confirmed;
}

void TUpdInfoForm::showEvent(QShowEvent* e) {
    CentredDialog::showEvent(e);
    FormActivate();
}

void TUpdInfoForm::FormActivate() {
    setResult(QDialog::Rejected);
    buttonOK_->setFocus();
}

}  // namespace tabellan
