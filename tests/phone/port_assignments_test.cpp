// Port numbers as typed for devices: reading them, the lines of the port page, the checks on
// OK and the mapping they give.
#include "phone/port_assignments.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tabellan {
namespace {

using Ports = std::vector<int>;

TEST(PortNumbers, ReadAsTypedWithinOneToNineHundredNinetyNine) {
    EXPECT_EQ(ParsePortNumbers(""), Ports{});
    EXPECT_EQ(ParsePortNumbers("  "), Ports{});
    EXPECT_EQ(ParsePortNumbers("2"), Ports{2});
    EXPECT_EQ(ParsePortNumbers(" 10,2 , 2,,999"), (Ports{2, 10, 999}));
    EXPECT_EQ(ParsePortNumbers("1 3"), (Ports{1, 3}));
    EXPECT_EQ(ParsePortNumbers("007"), Ports{7});
    for (const char* refused : {"0", "1000", "0000", "-1", "+1", "1;2", "a", "1.5", "2x", "1,\n"}) {
        EXPECT_EQ(ParsePortNumbers(refused), std::nullopt) << refused;
    }
    EXPECT_EQ(PortNumbersText({}), "");
    EXPECT_EQ(PortNumbersText({1, 10}), "1, 10");
    EXPECT_EQ(ParsePortNumbers(PortNumbersText({4, 5, 6})), (Ports{4, 5, 6}));
}

TEST(PortList, DevicesFoundThenTheOtherAssignedPathsWithTheirNumbers) {
    const SerialDevice modem{"/dev/serial/by-id/usb-FTDI_X-if00-port0", "/dev/ttyUSB0", "FTDI",
                             "FT232R"};
    const SerialDevice uart{"/dev/ttyS0", "/dev/ttyS0", "", ""};
    // Port 4 names the device behind the by-id link by its own path: a line of its own.
    const PortMap map = {{2, modem.path},
                         {3, "/dev/rfcomm0"},
                         {4, "/dev/ttyUSB0"},
                         {5, modem.path},
                         {1, "/dev/serial/by-id/usb-Gone-if00"}};
    const std::vector<PortListEntry> expected = {
        {modem, true, {2, 5}},
        {uart, true, {}},
        {{"/dev/serial/by-id/usb-Gone-if00", "/dev/serial/by-id/usb-Gone-if00", "", ""},
         false,
         {1}},
        {{"/dev/rfcomm0", "/dev/rfcomm0", "", ""}, false, {3}},
        {{"/dev/ttyUSB0", "/dev/ttyUSB0", "", ""}, false, {4}},
    };
    EXPECT_EQ(PortListEntries({modem, uart}, map), expected);
    EXPECT_TRUE(PortListEntries({}, {}).empty());
}

TEST(PortAssignmentChecks, FirstUnreadableOrDoubledNumberInLineOrder) {
    const std::string unreadable =
        "Port numbers must be whole numbers from 1 to 999, separated "
        "by commas.";
    std::vector<PortAssignmentRow> rows = {
        {"/dev/a", "1, 1"}, {"/dev/b", ""}, {"/dev/c", "2"}, {"/dev/d", "3,2"}, {"/dev/e", "x"}};
    auto problem = CheckPortAssignments(rows);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->row, 3u);
    EXPECT_EQ(problem->message, "Port 2 is assigned to more than one device.");

    rows[3].portsText = "3";
    problem = CheckPortAssignments(rows);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->row, 4u);
    EXPECT_EQ(problem->message, unreadable);

    rows[4].portsText = "1000";
    EXPECT_EQ(CheckPortAssignments(rows)->message, unreadable);
    rows[4].portsText = "";
    EXPECT_EQ(CheckPortAssignments(rows), std::nullopt);
    EXPECT_EQ(PortMapFromRows(rows), (PortMap{{1, "/dev/a"}, {2, "/dev/c"}, {3, "/dev/d"}}));
}

TEST(PortAssignmentChecks, TheMappingOfRowsThatDidNotPass) {
    // What the device beside the modem's port shows while the numbers are still being typed.
    const std::vector<PortAssignmentRow> rows = {
        {"/dev/a", "4"}, {"/dev/b", "4, 5"}, {"/dev/c", "6, y"}, {"", "7"}};
    EXPECT_EQ(PortMapFromRows(rows), (PortMap{{4, "/dev/a"}, {5, "/dev/b"}}));
    EXPECT_EQ(DeviceForPort(PortMapFromRows(rows), 6), "/dev/ttyS5");
}

TEST(PortAssignmentChecks, ARoundTripThroughTheStoredChanges) {
    const PortMap before = {{1, "/dev/ttyACM0"}, {2, "/dev/ttyUSB0"}};
    const std::vector<PortAssignmentRow> rows = {{"/dev/ttyACM0", ""}, {"/dev/ttyUSB0", "2, 3"}};
    const IniChanges changes = PortMapChanges(before, PortMapFromRows(rows));
    const IniChanges expected = {{"CommDevice1", std::nullopt}, {"CommDevice3", "/dev/ttyUSB0"}};
    EXPECT_EQ(changes, expected);
}

TEST(DefaultPortNumbers, OnlyTheUartDevicesOfTheDefaultMapping) {
    EXPECT_EQ(DefaultPortNumber("/dev/ttyS0"), 1);
    EXPECT_EQ(DefaultPortNumber("/dev/ttyS10"), 11);
    EXPECT_EQ(DefaultPortNumber("/dev/ttyS998"), 999);
    for (const char* other : {"/dev/ttyS999", "/dev/ttyS01", "/dev/ttyS", "/dev/ttyS1a",
                              "/dev/ttyUSB0", "/dev/serial/by-id/usb-X", "ttyS0"}) {
        EXPECT_EQ(DefaultPortNumber(other), std::nullopt) << other;
    }
    for (int port : {1, 2, 999}) {
        EXPECT_EQ(DefaultPortNumber(DefaultPortDevice(port)), port);
    }
}

}  // namespace
}  // namespace tabellan
