#pragma once
// Assigning port numbers to serial devices the way the Setup dialog's port page offers it:
// one line per device, the devices present first, then the assigned paths that are not among
// them (an unplugged USB device keeps its numbers), each with the port numbers typed for it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/port_device.h"
#include "phone/serial_devices.h"

namespace tabellan {

// Port numbers as a user types them for one device: numbers from 1 to kMaxPortNumber divided
// by commas or blanks, in any order; empty text is none. nullopt when anything else is in it.
// The result is sorted, without repeats.
std::optional<std::vector<int>> ParsePortNumbers(std::string_view text);
// "1, 3"; empty for none.
std::string PortNumbersText(const std::vector<int>& ports);

struct PortListEntry {
    SerialDevice device;  // for an assigned path that is not listed: path and devicePath alike
    bool listed = true;   // among the devices found
    std::vector<int> ports;

    bool operator==(const PortListEntry&) const = default;
};

// The devices found, in their order, then every other assigned path in the order of its
// first number, each with the numbers assigned to it (an assignment names a device by the
// path it was given, so a by-id link and its device are entries of their own).
std::vector<PortListEntry> PortListEntries(const std::vector<SerialDevice>& found,
                                           const PortMap& map);

// A device and the port numbers typed for it.
struct PortAssignmentRow {
    std::string path;
    std::string portsText;
};

struct PortAssignmentProblem {
    std::size_t row;
    std::string message;
};

// The first row, in order, whose numbers cannot be read or that gives a number an earlier
// row already has.
std::optional<PortAssignmentProblem> CheckPortAssignments(
    const std::vector<PortAssignmentRow>& rows);

// The mapping the rows give; a row whose numbers cannot be read gives none, and a number
// given twice stays with the first row.
PortMap PortMapFromRows(const std::vector<PortAssignmentRow>& rows);

// The number that stands for the device while no assignment takes it: n for /dev/ttyS<n-1>.
std::optional<int> DefaultPortNumber(std::string_view devicePath);

}  // namespace tabellan
