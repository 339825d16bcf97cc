#pragma once
// Writing the phonebook card back to the phone: the comparison of the phone's entries with
// the card's entry lines, the check of the resulting plan, and the commands that carry it
// out. Pure functions over entry lines (bytes in the card code page).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

// What the confirmation dialog shows: the lines to be written (new entries and
// replacements) and the phone entries to be deleted.
struct UpdatePlan {
    std::vector<std::string> addList;
    std::vector<std::string> deleteList;

    bool Empty() const { return addList.empty() && deleteList.empty(); }
};

// The text before the first comma; empty when the line has no comma or begins with one.
std::string LocationKey(std::string_view line);

// The card's entry lines: its lines from the third on (lines 1 and 2 are never compared).
std::vector<std::string> CardEntryLines(const std::vector<std::string>& cardLines);

// Compares the phone's entries (as read, in the phone's order) with the card's entry lines.
// Phone entries are taken from the last to the first; for each, the card lines are scanned
// from the last to the first: an empty line met on the way is dropped; an equal line (letter
// case counts) takes the entry off both lists; a line with the entry's location key takes the
// entry off the delete list and stays as its replacement. An entry no line matched is deleted.
UpdatePlan CompareForUpdate(const std::vector<std::string>& phoneEntries,
                            const std::vector<std::string>& cardEntryLines);

// Checks, before anything is sent, that every non-empty line to be written begins with a
// location inside the phone's range ("first,last" as read from the phone) followed by a
// comma, or with a comma alone (the phone then chooses the location). Returns the message
// that refuses the plan, naming the lines that fail, or nullopt when the plan can be sent.
std::optional<std::string> CheckUpdatePlan(const UpdatePlan& plan, std::string_view range);

struct PhoneCommand {
    std::string command;
    std::string action;

    bool operator==(const PhoneCommand&) const = default;
};

// The commands of a confirmed plan in the order they go out: every delete (the location
// alone) before any write, deletes in the phone's order, writes in the card's order; empty
// lines send nothing.
std::vector<PhoneCommand> UpdateCommands(const UpdatePlan& plan);

inline constexpr const char* kNoUpdateNecessary = "No update is necessary.";
inline constexpr const char* kUpdateCancelled =
    "Mobile phonebook not updated! You can make your updates later...";

}  // namespace tabellan
