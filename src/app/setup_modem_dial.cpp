#include "app/setup_modem_dial.h"

#include <QCoreApplication>

namespace tabellan {

SetupModemDial::SetupModemDial(QWidget& page, Prompter& prompter)
    : page_(&page), dialer_(*this, prompter, &dispatcher_) {}

void SetupModemDial::ProcessMessages() {
    dispatcher_.Pump();
    // Input for the disabled dialog is dropped by Qt; the other windows are blocked by it.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void SetupModemDial::SetDialogEnabled(bool enabled) {
    if (page_) {
        page_->window()->setEnabled(enabled);
    }
}

}  // namespace tabellan
