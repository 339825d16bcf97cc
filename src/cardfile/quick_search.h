#pragma once
// Quick search items: nine stored searches, each "i - " (indexes only) or "f - " (whole
// file) followed by the search text. The slots of the run are FileSettings::quickSearch:
// a card file in the program's own format brings its own SS1..SS9, other files and a new
// file keep them, and the registry values SS1..SS9 carry them from one run to the next.
// QuickSearchItemsModel is the Setup dialog's tab without widgets.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cardfile/card_search.h"

namespace tabellan {

inline constexpr int kQuickSearchSlots = 9;
using QuickSearchItems = std::array<std::string, kQuickSearchSlots>;

inline constexpr std::string_view kIndexOnlyPrefix = "i - ";
inline constexpr std::string_view kWholeFilePrefix = "f - ";

struct QuickSearch {
    SearchScope scope = SearchScope::WholeFile;
    std::string text;
};

std::string EncodeQuickSearchItem(bool indexOnly, std::string_view text);
// Anything but an exact "i - " in front means the whole file; the text starts at the
// fifth character.
QuickSearch DecodeQuickSearchItem(std::string_view item);

// The Search menu's entries for the slots.
struct QuickSearchMenuEntry {
    bool visible = false;
    std::string caption;  // "&" + slot number + " " + item with each "&" doubled
};
struct QuickSearchMenu {
    std::array<QuickSearchMenuEntry, kQuickSearchSlots> entries;
    bool separatorVisible = false;  // at least one slot is in use
};
QuickSearchMenu BuildQuickSearchMenu(const QuickSearchItems& items);
std::string QuickSearchCaption(int slot, std::string_view item);
// The item a caption was made from.
std::string ItemFromCaption(std::string_view caption);

// Choosing a menu entry: the search of that entry's item (its slot, or ItemFromCaption of
// the caption), run as one find step with the not-found message and never matching case.
// The window opens the find dialog for the item's scope before and closes it after, as the
// menu commands do.
bool RunQuickSearch(SearchHost& host, SearchState& state, std::string_view item,
                    Prompter& prompter);

// Registry values: "SS1".."SS9". Reading: a missing value gives an empty slot. Writing at
// exit: delete all nine names, then write the pairs returned, one for every used slot.
std::string QuickSearchValueName(int slot);
QuickSearchItems ReadQuickSearchItems(
    const std::function<std::optional<std::string>(const std::string& name)>& readValue);
std::vector<std::pair<std::string, std::string>> QuickSearchValuesToWrite(
    const QuickSearchItems& items);

// The "&Quick Search Items" tab: the list, the edit field, the index-only check box and
// the four buttons. The dialog calls these from its handlers and shows the state; setting
// its widgets from the model must not call back into the setters.
class QuickSearchItemsModel {
  public:
    // The edit field refuses typing beyond this; an item loaded longer is kept whole.
    static constexpr std::size_t kMaxEditLength = 30;

    // Fills the list from the used slots in slot order, nothing selected. The edit field
    // and the check box keep what they held.
    void Load(const QuickSearchItems& items);
    // List line i into slot i; the remaining slots empty.
    QuickSearchItems Save() const;

    const std::vector<std::string>& Lines() const { return lines_; }
    int Selected() const { return selected_; }  // -1: none
    const std::string& EditText() const { return editText_; }
    bool IndexOnly() const { return indexOnly_; }

    // Selecting a line loads it into the edit field and the check box.
    void SelectLine(int line);
    // Typing and clicking the check box rewrite the selected line at once, with the
    // whole text.
    void SetEditText(std::string_view text);
    void SetIndexOnly(bool indexOnly);
    void Add();
    void Delete();
    void MoveUp();
    void MoveDown();

    bool CanAdd() const;
    bool CanDelete() const { return selected_ >= 0; }
    bool CanMoveUp() const { return selected_ > 0; }
    bool CanMoveDown() const {
        return selected_ >= 0 && selected_ + 1 < static_cast<int>(lines_.size());
    }

  private:
    std::string EditedItem() const { return EncodeQuickSearchItem(indexOnly_, editText_); }
    void EditChanged();
    void Swap(int other);

    std::vector<std::string> lines_;
    int selected_ = -1;
    std::string editText_;
    bool indexOnly_ = false;
};

}  // namespace tabellan
