#include "app/about_form.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStringList>
#include <QSysInfo>
#include <QVBoxLayout>

#include "app/help.h"
#include "tabellan_version.h"

namespace tabellan {

QStringList AboutLines() {
    const QStringList args = QCoreApplication::arguments().mid(1);
    return {
        QStringLiteral("Tabellan"),
        QStringLiteral("Version ") + QString::fromLatin1(kVersion),
        QStringLiteral("Operating system: ") + QSysInfo::prettyProductName(),
        QStringLiteral("Program: ") + QCoreApplication::applicationFilePath(),
        QStringLiteral("Parameters: ") + args.join(QLatin1Char(' ')),
    };
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent), details_(new QLabel(this)) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Tabellan"));
    SetHelpContext(this, 990);
    auto* title = new QLabel(QStringLiteral("Tabellan"), this);
    title->setObjectName(QStringLiteral("ProductName"));
    title->setTextFormat(Qt::PlainText);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    title->setFont(big);
    details_->setObjectName(QStringLiteral("Details"));
    details_->setTextFormat(Qt::PlainText);  // file names and parameters are never markup
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    details_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(details_);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void TAboutForm::showEvent(QShowEvent* e) {
    details_->setText(AboutLines().mid(1).join(QLatin1Char('\n')));
    QDialog::showEvent(e);
}

}  // namespace tabellan
