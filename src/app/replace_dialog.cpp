#include "app/replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/help.h"

namespace tabellan {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);
    SetHelpContext(this, 300);

    findText_ = new QLineEdit(this);
    findText_->setObjectName(QStringLiteral("editFindText"));
    replaceText_ = new QLineEdit(this);
    replaceText_->setObjectName(QStringLiteral("editReplaceText"));
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    matchCase_->setObjectName(QStringLiteral("cbMatchCase"));
    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(findText_);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    replaceLabel->setBuddy(replaceText_);
    findLabel->setTextFormat(Qt::PlainText);
    replaceLabel->setTextFormat(Qt::PlainText);

    QPushButton* findNext = MakeButton(this, "btnFindNext", QStringLiteral("&Find Next"));
    findNext->setDefault(true);
    QPushButton* replace = MakeButton(this, "btnReplace", QStringLiteral("&Replace"));
    QPushButton* replaceAll = MakeButton(this, "btnReplaceAll", QStringLiteral("Replace &All"));
    QPushButton* cancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"));

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(findText_, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(replaceText_, 1, 1);
    fields->addWidget(matchCase_, 2, 0, 1, 2);
    fields->setRowStretch(3, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {findNext, replace, replaceAll, cancel}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    findText_->setMinimumWidth(220);

    connect(findNext, &QPushButton::clicked, this, &TReplaceDialog::Find);
    connect(replace, &QPushButton::clicked, this, &TReplaceDialog::Replace);
    connect(replaceAll, &QPushButton::clicked, this, &TReplaceDialog::ReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TReplaceDialog::Open(const QPoint& pos, const QString& findText, const QString& replaceText) {
    if (!isVisible()) {
        findText_->setText(findText);
        replaceText_->setText(replaceText);
        matchCase_->setChecked(false);
        findText_->selectAll();
        findText_->setFocus();
    }
    move(pos);
    show();
    raise();
    activateWindow();
}

QString TReplaceDialog::FindText() const {
    return findText_->text();
}

QString TReplaceDialog::ReplaceText() const {
    return replaceText_->text();
}

bool TReplaceDialog::MatchCase() const {
    return matchCase_->isChecked();
}

void TReplaceDialog::done(int result) {
    const QPoint where = pos();
    QDialog::done(result);
    emit Closed(where);
}

}  // namespace tabellan
