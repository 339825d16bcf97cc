// The Setup dialog's "D&ial!" against the simulated modem, and its Comm Ports page on a fake
// device folder: what the modem receives, the messages, the dialog while dialing, and the
// port assignments as stored and as the phone's and the modem's port lookup sees them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "../phone/phonesim_process.h"
#include "app/setup_autodial_page.h"
#include "app/setup_form.h"
#include "app/setup_ports_page.h"
#include "phone/ini_settings_file.h"
#include "phone/port_device.h"
#include "setup_dialog_fixture.h"

namespace tabellan::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

const std::string kPickUp = "Dialing 0 216 555...\r\nPlease, pick up the phone and then click OK.";
const std::string kUnreadable =
    "Port numbers must be whole numbers from 1 to 999, separated by commas.";
const std::string kFtdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6-if00-port0";

class SetupModemPortsTest : public SetupDialogTest {
  protected:
    void Open() {
        SetupDialogTest::Open({{"Adams", "Tel 0 216 555"}});
        ASSERT_NE(form, nullptr);
        autodial = form->findChild<SetupAutodialPage*>("TabAutoDial");
        ports = form->findChild<SetupPortsPage*>("TabPorts");
        ASSERT_NE(autodial, nullptr);
        ASSERT_NE(ports, nullptr);
        ports->SetDeviceRoot(machine.Path().string());
    }
    void Show(SetupTab tab) {
        SetupDialogTest::Show(tab);
        QCoreApplication::processEvents();
    }
    // The user picks a tab: nothing is loaded again.
    void Tab(SetupTab tab) {
        Get<QTabWidget>("PageControl")->setCurrentIndex(static_cast<int>(tab));
        QCoreApplication::processEvents();
    }

    // --- the fake machine ---
    void MachineFile(const std::string& path, const std::string& text = "") {
        fs::create_directories((machine.Path() / path).parent_path());
        std::ofstream(machine.Path() / path) << text;
    }
    void MachineLink(const std::string& path, const std::string& target) {
        fs::create_directories((machine.Path() / path).parent_path());
        fs::create_symlink(target, machine.Path() / path);
    }
    // A USB serial adapter with its by-id link, a plain USB modem and a UART.
    void PlugDevices() {
        const std::string usb = "sys/devices/pci0000:00/usb1/1-2";
        MachineFile(usb + "/idVendor", "0403\n");
        MachineFile(usb + "/manufacturer", "FTDI\n");
        MachineFile(usb + "/product", "FT232R USB UART\n");
        fs::create_directories(machine.Path() / usb / "1-2:1.0/ttyUSB0");
        MachineLink("sys/class/tty/ttyUSB0/device", "../../../../" + usb + "/1-2:1.0/ttyUSB0");
        MachineFile("dev/ttyUSB0");
        MachineLink("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6-if00-port0", "../../ttyUSB0");
        MachineFile("dev/ttyACM0");
        MachineFile("dev/ttyS0");
        MachineFile("sys/class/tty/ttyS0/type", "4\n");
    }

    // --- the port page ---
    QTableWidget* Table() const { return Get<QTableWidget>("PortList"); }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = Table()->item(row, column);
        return item ? item->text() : QString();
    }
    QLineEdit* PortField(int row) const {
        return qobject_cast<QLineEdit*>(Table()->cellWidget(row, 0));
    }
    // The line of the device that numbers are assigned to by that path.
    int RowOf(const QString& device) const {
        for (int row = 0; row < Table()->rowCount(); ++row) {
            if (Table()->item(row, 1)->data(Qt::UserRole).toString() == device) {
                return row;
            }
        }
        ADD_FAILURE() << "no line for " << device.toStdString();
        return -1;
    }
    // A missing line has failed the test already; a stand-in field lets it go on.
    QLineEdit* FieldOf(const QString& device) {
        const int row = RowOf(device);
        return row >= 0 ? PortField(row) : &missingField;
    }

    // --- the simulated modem ---
    void StartModem(std::vector<std::string> quirks) {
        log = dir.File("modem.log");
        quirks.insert(quirks.begin(), {"--modem", "--log", log});
        sim.emplace(std::move(quirks));
        modem = sim->firstLine();
        ASSERT_FALSE(modem.empty());
    }
    // What the modem received, once it has all arrived.
    std::string Sent(std::size_t expectedSize) const {
        std::string text;
        for (int i = 0; i < 200 && text.size() < expectedSize; ++i) {
            std::this_thread::sleep_for(10ms);
            std::ifstream in(log, std::ios::binary);
            std::ostringstream all;
            all << in.rdbuf();
            text = all.str();
        }
        return text;
    }
    // Gives device the number on the port page, not yet stored.
    void Assign(const std::string& device, const QString& number) {
        if (form->isVisible()) {
            Tab(SetupTab::Ports);
        } else {
            Show(SetupTab::Ports);
        }
        Type(Edit("EditOtherDevice"), QString::fromStdString(device));
        Click("btnAddDevice");
        Type(FieldOf(QString::fromStdString(device)), number);
    }

    TempFolder machine{"tabellan-machine"};
    QLineEdit missingField;
    SetupAutodialPage* autodial = nullptr;
    SetupPortsPage* ports = nullptr;
    std::optional<testing::PhonesimProcess> sim;
    std::string modem;
    std::string log;
};

TEST_F(SetupModemPortsTest, DialingDisablesTheDialogKeepsTheWindowsGoingAndEndsOnOk) {
    StartModem({});
    Open();
    Assign(modem, "7");
    // Switching tabs: the Autodial page names the device of its port number, as assigned now.
    Tab(SetupTab::Autodial);
    Type(Edit("EditModemPort"), "7");
    EXPECT_EQ(Get<QLabel>("lblModemDevice")->toolTip().toStdString(), modem);
    Type(Edit("editNumberToBeDialed"), "0 216 555");

    struct Seen {
        bool dialogEnabled;
        bool busyCursor;
        bool timerRan;
    };
    std::vector<Seen> seen;
    bool timerRan = false;
    prompter.whileShown = [&](const ScriptedPrompter::Shown&) {
        seen.push_back({form->isEnabled(), prompter.busyDepth > 0, timerRan});
    };
    QTimer::singleShot(0, form, [&] { timerRan = true; });
    Get<QPushButton>("btnDial")->setFocus();
    Click("btnDial");

    const std::string expected = "ATZ\rATE1\rATDT0 216 555\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Information);
    EXPECT_EQ(prompter.shown[0].text, kPickUp);
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::Ok);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0].dialogEnabled);
    EXPECT_TRUE(seen[0].busyCursor);
    EXPECT_TRUE(seen[0].timerRan) << "events were processed while the modem was waited for";
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(prompter.busyDepth, 0);
    EXPECT_EQ(form->focusWidget(), Get<QPushButton>("OK"));
    EXPECT_FALSE(autodial->Dialer().SerComm2().IsOpen());

    // Stored: the modem's port lookup finds the device for 7 in the settings file.
    Click("OK");
    EXPECT_EQ(PortDevicePath(7), modem);
    Show(SetupTab::Autodial);
    EXPECT_EQ(Edit("EditModemPort")->text(), "7");
    Get<QComboBox>("cbDialType")->setCurrentIndex(1);
    Type(Edit("editNumberToBeDialed"), "555");
    prompter.shown.clear();
    Click("btnDial");
    const std::string both = expected + "ATZ\rATE1\rATDP555\r\r";
    EXPECT_EQ(Sent(both.size()), both);
    EXPECT_EQ(prompter.Texts(),
              Texts{"Dialing 555...\r\nPlease, pick up the phone and then click OK."});
    prompter.whileShown = nullptr;
    form->reject();
}

TEST_F(SetupModemPortsTest, FailuresAreShownWithTheirHelpAndTheDialogComesBack) {
    StartModem({"--silent"});
    Open();
    ModemTiming fast;
    fast.poll = 10ms;
    fast.settle = 20ms;
    autodial->Dialer().SetTiming(fast);
    Assign(modem, "7");
    Assign("/dev/tabellan-no-such-modem", "9");
    Tab(SetupTab::Autodial);
    Type(Edit("EditModemPort"), "7");
    Click("btnDial");
    EXPECT_EQ(Sent(5), "ATZ\r\r");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(prompter.shown[0].text, "No response from modem. Check connection and port number.");
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::OkHelp);
    EXPECT_EQ(prompter.shown[0].helpContext, 470);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->focusWidget(), Get<QPushButton>("OK")) << "a failed step ends normally";

    // A port text that is not a number: the error display, nothing sent, no focus change.
    Get<QPushButton>("btnDial")->setFocus();
    prompter.shown.clear();
    Type(Edit("EditModemPort"), "x");
    EXPECT_TRUE(Get<QLabel>("lblModemDevice")->text().isEmpty());
    Click("btnDial");
    EXPECT_EQ(prompter.Texts(), Texts{"'x' is not a valid integer value"});
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_NE(form->focusWidget(), Get<QPushButton>("OK"));
    EXPECT_EQ(prompter.busyDepth, 0);

    // A port whose device is missing: the serial link's message names it.
    prompter.shown.clear();
    Type(Edit("EditModemPort"), "9");
    Click("btnDial");
    EXPECT_EQ(prompter.Texts(), Texts{"Specified device not found (/dev/tabellan-no-such-modem)."});
    EXPECT_EQ(Sent(5), "ATZ\r\r");
    form->reject();
}

TEST_F(SetupModemPortsTest, ThePortsPageListsTheDevicesAndStoresTheNumbers) {
    PlugDevices();
    {
        auto reg = Registry();
        reg->setValue("CommDevice3", "/dev/serial/by-id/usb-Gone_Modem-if00");
    }
    Open();
    Show(SetupTab::Ports);
    ASSERT_EQ(Table()->rowCount(), 4);
    const int ftdi = RowOf(QString::fromStdString(kFtdi));
    EXPECT_EQ(ftdi, 0);
    EXPECT_EQ(Cell(ftdi, 2), "FTDI");
    EXPECT_EQ(Cell(ftdi, 3), "FT232R USB UART");
    EXPECT_EQ(Cell(ftdi, 1), "/dev/ttyUSB0");
    EXPECT_EQ(Cell(ftdi, 4), "usb-FTDI_FT232R_USB_UART_A6-if00-port0");
    const int gone = RowOf("/dev/serial/by-id/usb-Gone_Modem-if00");
    EXPECT_EQ(gone, 3);
    EXPECT_EQ(Cell(gone, 1), "(not present)");
    EXPECT_EQ(Cell(gone, 4), "usb-Gone_Modem-if00");
    EXPECT_EQ(Cell(RowOf("/dev/ttyS0"), 1), "/dev/ttyS0");
    EXPECT_EQ(PortField(gone)->text(), "3");
    EXPECT_EQ(FieldOf("/dev/ttyS0")->placeholderText(), "1");  // the default number

    Type(PortField(ftdi), "2");
    Type(FieldOf("/dev/ttyACM0"), "1, 4");
    EXPECT_EQ(FieldOf("/dev/ttyS0")->placeholderText(), "") << "1 is taken now";
    Type(PortField(gone), "");
    EXPECT_EQ(ports->DeviceForPort(2), kFtdi);
    EXPECT_EQ(ports->DeviceForPort(3), "/dev/ttyS2");

    form->findChild<QPushButton*>("Help")->click();
    EXPECT_TRUE(lastHelp.toString().contains("C_PORTS")) << lastHelp.toString().toStdString();

    Click("OK");
    EXPECT_FALSE(form->isVisible());
    {
        auto reg = Registry();
        EXPECT_EQ(reg->value("CommDevice2").toString().toStdString(), kFtdi);
        EXPECT_EQ(reg->value("CommDevice1").toString(), "/dev/ttyACM0");
        EXPECT_EQ(reg->value("CommDevice4").toString(), "/dev/ttyACM0");
        EXPECT_FALSE(reg->contains("CommDevice3"));
    }
    // The phone's port lookup and its prompt read the same file.
    EXPECT_EQ(PortDevicePath(2), kFtdi);
    EXPECT_EQ(PortDevicePath(3), "/dev/ttyS2");
    EXPECT_NE(PortChoicesText(1).find("1 = /dev/ttyACM0"), std::string::npos);

    Show(SetupTab::Ports);
    EXPECT_EQ(Table()->rowCount(), 3) << "the unplugged device without numbers is gone";
    EXPECT_EQ(FieldOf(QString::fromStdString(kFtdi))->text(), "2");
    EXPECT_EQ(FieldOf("/dev/ttyACM0")->text(), "1, 4");
    form->reject();
}

TEST_F(SetupModemPortsTest, OkRefusesUnreadableAndDoubledNumbersOnTheirField) {
    PlugDevices();
    Open();
    Show(SetupTab::Autodial);
    QLineEdit* first = PortField(0);
    QLineEdit* second = PortField(1);
    const auto expectRefused = [&](const std::string& message, QLineEdit* field) {
        prompter.shown.clear();
        Click("OK");
        ASSERT_EQ(prompter.Texts(), Texts{message});
        EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->CurrentTab(), SetupTab::Ports);
        EXPECT_EQ(form->focusWidget(), field);
        EXPECT_FALSE(Registry()->contains("CommDevice2"));
    };
    Type(first, "2, x");
    expectRefused(kUnreadable, first);
    Type(first, "1000");
    expectRefused(kUnreadable, first);
    Type(first, "2");
    Type(second, "5 2");
    expectRefused("Port 2 is assigned to more than one device.", second);
    Type(second, "5");
    prompter.shown.clear();
    Click("OK");
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(PortDevicePath(2), kFtdi);
    EXPECT_EQ(PortDevicePath(5), "/dev/ttyACM0");
}

TEST_F(SetupModemPortsTest, AssignmentsMadeElsewhereMeanwhileAreShownAndKept) {
    PlugDevices();
    Open();
    // tabellan-cli ports writes the file while the program runs.
    WriteUserPortMap({{5, "/dev/ttyUSB9"}});
    Show(SetupTab::Ports);
    EXPECT_EQ(FieldOf("/dev/ttyUSB9")->text(), "5");
    EXPECT_EQ(Cell(RowOf("/dev/ttyUSB9"), 1), "/dev/ttyUSB9 (not present)");
    WriteUserPortMap({{5, "/dev/ttyUSB9"}, {6, "/dev/rfcomm0"}});
    Type(FieldOf(QString::fromStdString(kFtdi)), "2");
    Click("OK");
    const PortMap expected = {{2, kFtdi}, {5, "/dev/ttyUSB9"}, {6, "/dev/rfcomm0"}};
    EXPECT_EQ(UserPortMap(), expected);
    EXPECT_EQ(ReadIniGeneralValues(UserSettingsPath()).count("AutoDialModem"), 1u);
}

TEST_F(SetupModemPortsTest, OtherDevicesAndRescanKeepWhatWasTyped) {
    PlugDevices();
    Open();
    Show(SetupTab::Ports);
    Type(Edit("EditOtherDevice"), "dev/rfcomm0");
    Click("btnAddDevice");
    EXPECT_EQ(prompter.Texts(), Texts{"A device path begins with \"/\", such as /dev/rfcomm0."});
    EXPECT_EQ(Table()->rowCount(), 3);
    Type(Edit("EditOtherDevice"), " /dev/rfcomm0 ");
    Click("btnAddDevice");
    ASSERT_EQ(Table()->rowCount(), 4);
    EXPECT_EQ(RowOf("/dev/rfcomm0"), 3);
    EXPECT_EQ(Cell(3, 1), "/dev/rfcomm0 (not present)");
    EXPECT_EQ(form->focusWidget(), PortField(3));
    EXPECT_TRUE(Edit("EditOtherDevice")->text().isEmpty());
    Type(PortField(3), "4");
    Type(FieldOf(QString::fromStdString(kFtdi)), "2,");

    // A phone plugged in meanwhile.
    MachineFile("dev/ttyACM1");
    Click("btnRescan");
    ASSERT_EQ(Table()->rowCount(), 5);
    EXPECT_EQ(FieldOf("/dev/ttyACM1")->text(), "");
    EXPECT_EQ(FieldOf("/dev/rfcomm0")->text(), "4");
    EXPECT_EQ(FieldOf(QString::fromStdString(kFtdi))->text(), "2,");
    Click("OK");
    EXPECT_EQ(UserPortMap(), (PortMap{{2, kFtdi}, {4, "/dev/rfcomm0"}}));
}

TEST_F(SetupModemPortsTest, TabGoesThroughTheNumberFieldsInLineOrder) {
    PlugDevices();
    Open();
    Show(SetupTab::Ports);
    form->activateWindow();
    Type(Edit("EditOtherDevice"), "/dev/rfcomm0");
    Click("btnAddDevice");  // a line added later comes last in the order as well
    ASSERT_EQ(Table()->rowCount(), 4);
    PortField(0)->setFocus();
    QCoreApplication::processEvents();
    std::vector<QWidget*> visited;
    for (int i = 0; i < 5; ++i) {
        visited.push_back(QApplication::focusWidget());
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(visited.back() ? visited.back() : form, &tab);
        QCoreApplication::processEvents();
    }
    const std::vector<QWidget*> expected = {PortField(0), PortField(1), PortField(2), PortField(3),
                                            Edit("EditOtherDevice")};
    EXPECT_EQ(visited, expected);
    form->reject();
}

}  // namespace
}  // namespace tabellan::test
