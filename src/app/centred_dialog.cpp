#include "app/centred_dialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "app/help.h"

namespace tabellan {

void CentredDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (const QScreen* screen =
            this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

void CentredDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpContext(HelpContextOf(this));
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace tabellan
