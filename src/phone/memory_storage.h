#pragma once
// The Memory Storage submenu without its widgets: which of the three items is checked, the
// caption of "&Other...", and the storage code the phonebook commands use. The choice lasts
// for the run of the program.
#include <string>
#include <string_view>

namespace tabellan {

class Prompter;

enum class StorageItem { SimCard, Phone, Other };

class MemoryStorage {
  public:
    StorageItem Checked() const { return checked_; }
    // "&Other..." until a code was chosen, then "&Other (" + code + ")...", with an "&" of the
    // code doubled so that it shows as typed.
    std::string OtherCaption() const;
    // "SM", "ME" or the code chosen through "&Other...".
    std::string Code() const;

    // A click on an item. "&Other..." asks for the code (prefilled with the current one),
    // keeps its first two characters and returns false, changing nothing, when the input box
    // is cancelled.
    bool Click(StorageItem item, Prompter& prompter);

  private:
    StorageItem checked_ = StorageItem::SimCard;
    bool otherChosen_ = false;
    std::string otherCode_;
};

// A storage code as typed: its first two characters.
std::string StorageCodeFromEntry(std::string_view entry);

}  // namespace tabellan
