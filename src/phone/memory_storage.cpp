#include "phone/memory_storage.h"

#include "cardfile/prompter.h"
#include "cardfile/text_util.h"

namespace tabellan {

std::string StorageCodeFromEntry(std::string_view entry) {
    return std::string(entry.substr(0, 2));
}

std::string MemoryStorage::OtherCaption() const {
    return otherChosen_ ? "&Other (" + DoubleAmpersands(otherCode_) + ")..." : "&Other...";
}

std::string MemoryStorage::Code() const {
    switch (checked_) {
        case StorageItem::SimCard:
            return "SM";
        case StorageItem::Phone:
            return "ME";
        case StorageItem::Other:
            break;
    }
    return otherCode_;
}

bool MemoryStorage::Click(StorageItem item, Prompter& prompter) {
    if (item == StorageItem::Other) {
        const auto entry =
            prompter.InputBox("Specify Phonebook Memory Storage",
                              "Storage code:", otherChosen_ ? otherCode_ : std::string());
        if (!entry) {
            return false;
        }
        otherCode_ = StorageCodeFromEntry(*entry);
        otherChosen_ = true;
    }
    checked_ = item;
    return true;
}

}  // namespace tabellan
