#include "cardfile/quick_search.h"

#include <algorithm>

#include "cardfile/text_util.h"

namespace tabellan {

std::string EncodeQuickSearchItem(bool indexOnly, std::string_view text) {
    std::string item(indexOnly ? kIndexOnlyPrefix : kWholeFilePrefix);
    item += text;
    return item;
}

QuickSearch DecodeQuickSearchItem(std::string_view item) {
    QuickSearch search;
    search.scope =
        item.substr(0, 4) == kIndexOnlyPrefix ? SearchScope::Indexes : SearchScope::WholeFile;
    search.text = std::string(item.substr(std::min<std::size_t>(4, item.size())));
    return search;
}

std::string QuickSearchCaption(int slot, std::string_view item) {
    return "&" + std::to_string(slot) + " " + DoubleAmpersands(item);
}

std::string ItemFromCaption(std::string_view caption) {
    // "&" + digit + " " in front, then the item with every "&" doubled.
    return UndoubleAmpersands(caption.substr(std::min<std::size_t>(3, caption.size())));
}

QuickSearchMenu BuildQuickSearchMenu(const QuickSearchItems& items) {
    QuickSearchMenu menu;
    for (int n = 1; n <= kQuickSearchSlots; ++n) {
        QuickSearchMenuEntry& entry = menu.entries[n - 1];
        const std::string& item = items[n - 1];
        entry.visible = !item.empty();
        entry.caption = QuickSearchCaption(n, item);
        menu.separatorVisible = menu.separatorVisible || entry.visible;
    }
    return menu;
}

bool RunQuickSearch(SearchHost& host, SearchState& state, std::string_view item,
                    Prompter& prompter) {
    QuickSearch search = DecodeQuickSearchItem(item);
    state.scope = search.scope;
    state.lastFindText = search.text;
    const SearchRequest request{std::move(search.text), state.lastReplaceText, false};
    return FindNext(host, state, request, prompter, true);
}

std::string QuickSearchValueName(int slot) {
    return "SS" + std::to_string(slot);
}

QuickSearchItems ReadQuickSearchItems(
    const std::function<std::optional<std::string>(const std::string& name)>& readValue) {
    QuickSearchItems items;
    for (int n = 1; n <= kQuickSearchSlots; ++n) {
        items[n - 1] = readValue(QuickSearchValueName(n)).value_or("");
    }
    return items;
}

std::vector<std::pair<std::string, std::string>> QuickSearchValuesToWrite(
    const QuickSearchItems& items) {
    std::vector<std::pair<std::string, std::string>> values;
    for (int n = 1; n <= kQuickSearchSlots; ++n) {
        if (!items[n - 1].empty()) {
            values.emplace_back(QuickSearchValueName(n), items[n - 1]);
        }
    }
    return values;
}

void QuickSearchItemsModel::Load(const QuickSearchItems& items) {
    lines_.clear();
    for (const std::string& item : items) {
        if (!item.empty()) {
            lines_.push_back(item);
        }
    }
    selected_ = -1;
}

QuickSearchItems QuickSearchItemsModel::Save() const {
    QuickSearchItems items;
    std::copy_n(lines_.begin(), std::min<std::size_t>(lines_.size(), items.size()), items.begin());
    return items;
}

void QuickSearchItemsModel::SelectLine(int line) {
    if (line < 0 || line >= static_cast<int>(lines_.size())) {
        selected_ = -1;
        return;
    }
    selected_ = line;
    const std::string& text = lines_[line];
    indexOnly_ = std::string_view(text).substr(0, 4) == kIndexOnlyPrefix;
    editText_ = text.substr(std::min<std::size_t>(4, text.size()));
}

void QuickSearchItemsModel::SetEditText(std::string_view text) {
    editText_ = std::string(text);
    EditChanged();
}

void QuickSearchItemsModel::SetIndexOnly(bool indexOnly) {
    indexOnly_ = indexOnly;
    EditChanged();
}

void QuickSearchItemsModel::EditChanged() {
    if (selected_ >= 0) {
        lines_[selected_] = EditedItem();
    }
}

bool QuickSearchItemsModel::CanAdd() const {
    return lines_.size() < static_cast<std::size_t>(kQuickSearchSlots) && !editText_.empty();
}

void QuickSearchItemsModel::Add() {
    if (!CanAdd()) {
        return;
    }
    lines_.push_back(EditedItem());
    selected_ = -1;
}

void QuickSearchItemsModel::Delete() {
    if (!CanDelete()) {
        return;
    }
    lines_.erase(lines_.begin() + selected_);
    selected_ = -1;
}

void QuickSearchItemsModel::MoveUp() {
    if (CanMoveUp()) {
        Swap(selected_ - 1);
    }
}

void QuickSearchItemsModel::MoveDown() {
    if (CanMoveDown()) {
        Swap(selected_ + 1);
    }
}

void QuickSearchItemsModel::Swap(int other) {
    std::swap(lines_[selected_], lines_[other]);
    SelectLine(other);
}

}  // namespace tabellan
