#pragma once
// Dialing from the Setup dialog: the dialog's own modem port (SerComm2), opened for each
// dialing and closed after it, the dialog disabled while the modem is waited for, and the
// windows kept repainting meanwhile.
#include <QPointer>
#include <QWidget>

#include "autodial/modem_dialer.h"
#include "phone/event_dispatcher.h"

namespace tabellan {

class SetupModemDial : public DialWindow {
  public:
    // page is a widget of the dialog; the whole dialog is disabled while dialing.
    SetupModemDial(QWidget& page, Prompter& prompter);
    SetupModemDial(const SetupModemDial&) = delete;
    SetupModemDial& operator=(const SetupModemDial&) = delete;

    ModemDialer& Dialer() { return dialer_; }

    void ProcessMessages() override;
    void SetDialogEnabled(bool enabled) override;

  private:
    QPointer<QWidget> page_;
    // The port's line events are handed over here; the modem's port has no handlers, so
    // they only need to be run for the worker threads to go on.
    PollingDispatcher dispatcher_;
    ModemDialer dialer_;
};

}  // namespace tabellan
