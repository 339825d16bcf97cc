// The phonebook rules: a phone's reply read as a range and as entries, the entries compared
// with card lines (the same bytes cut at line ends) for an update, the update checked and
// turned into commands, and the card's entry lines renumbered and sorted.
#include <cstdint>

#include "cardfile/index_collator.h"
#include "fuzz_support.h"
#include "phone/phone_reply.h"
#include "phone/phonebook_ordering.h"
#include "phone/phonebook_reading.h"
#include "phone/phonebook_update.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    const std::string_view bytes = fuzz::AsText(data, size);
    const std::vector<std::string> reply = SplitReply(bytes);

    const std::string range = PhonebookRangeFromReply(reply);
    if (const std::optional<LocationRange> r = ParseLocationRange(range)) {
        fuzz::Require(r->first <= r->last, "a range runs upwards");
    }
    const std::vector<std::string> entries = ExtractPhoneEntries(reply);
    for (const std::string& entry : entries) {
        fuzz::Require(entry.find_first_of("\r\n") == std::string::npos, "entry is one line");
    }
    (void)PhoneInfoRow("Model", reply);

    const std::vector<std::string> cardLines = SplitSelectedLines(bytes);
    const UpdatePlan plan = CompareForUpdate(entries, CardEntryLines(cardLines));
    fuzz::Require(plan.deleteList.size() <= entries.size(), "deletes come from the phone");
    (void)CheckUpdatePlan(plan, range);
    fuzz::Require(UpdateCommands(plan).size() <= plan.addList.size() + plan.deleteList.size(),
                  "one command at most per planned line");

    const std::vector<std::string> renumbered = ResequenceEntries(cardLines, 1);
    fuzz::Require(renumbered.size() == cardLines.size(), "renumbering keeps the lines");
    static const IndexCollator collator(CodePage::Windows1252, "");
    const TextEdit edit = SortNamesEdit(bytes, TextSelection{0, size}, true, collator);
    fuzz::Require(edit.range.start + edit.range.length <= size, "the edit lies in the text");
    return 0;
}
