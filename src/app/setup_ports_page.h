#pragma once
// The Setup dialog's page of serial ports: the serial devices present and the port numbers
// assigned to them, which the phone's and the modem's port numbers stand for. A number
// without an assignment stays /dev/ttyS<n-1>. The assignments are user settings, stored
// with the others when the dialog is confirmed.
#include <string>
#include <vector>

#include "app/setup_page.h"
#include "phone/port_assignments.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace tabellan {

class SetupPortsPage : public SetupPage {
    Q_OBJECT
  public:
    explicit SetupPortsPage(Prompter& prompter);

    void Load(const SetupData& data) override;
    // Every device's numbers must be readable, and no number given to two devices.
    std::optional<Failure> Check() const override;
    void Store(SetupData& data) const override;

    // The device port n stands for with the numbers as they are typed now.
    std::string DeviceForPort(int port) const;

    // The folder the machine's /dev and /sys are looked for under ("/"; another in tests).
    void SetDeviceRoot(std::string root) { root_ = std::move(root); }

  private:
    // Lists the devices again, keeping the numbers typed so far.
    void Rescan();
    // Adds a line for a device that is not listed, such as /dev/rfcomm0.
    void AddOtherDevice();
    void Fill(const std::vector<PortListEntry>& entries);
    void AddRow(const PortListEntry& entry);
    // Tab goes through the number fields in the order of the lines, then to the rest.
    void OrderFields();
    // The grey number of a ttyS device that no assignment takes.
    void ShowDefaultNumbers();
    std::vector<PortAssignmentRow> Rows() const;
    QLineEdit* PortEdit(int row) const;
    int RowOf(const std::string& path) const;
    bool Present(const std::string& path) const;

    std::string root_ = "/";
    std::vector<PortListEntry> entries_;  // one per line of the table
    QTableWidget* table_ = nullptr;
    QLineEdit* otherDevice_ = nullptr;
    QLabel* listLabel_ = nullptr;  // its key goes to the first number field
};

}  // namespace tabellan
