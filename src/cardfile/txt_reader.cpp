#include "cardfile/txt_reader.h"

#include <string>
#include <utility>
#include <vector>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/line_reader.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

constexpr int kFormFeed = 12;

void AddCard(CardSet& cards, std::vector<std::string>& lines) {
    cards.AppendUnsorted(Card{std::move(lines)});
    lines.clear();
}

void ReadCards(std::string_view data, CardSet& cards, int& cardSeparator) {
    LineReader reader(data);
    if (reader.AtEnd()) {
        return;
    }
    const std::string first = reader.Next().value_or(std::string());
    const char separator = first.empty() ? static_cast<char>(kFormFeed) : first[0];
    cardSeparator = static_cast<unsigned char>(separator);

    std::vector<std::string> lines{first.empty() ? std::string() : first.substr(1)};
    // At least one more line is read: a file of a single separator line gives a card of its
    // index and one empty line.
    do {
        std::string line = reader.Next().value_or(std::string());
        if (!line.empty() && line[0] == separator) {
            AddCard(cards, lines);
            line.erase(0, 1);
        }
        lines.push_back(std::move(line));
    } while (!reader.AtEnd());
    AddCard(cards, lines);
}

}  // namespace

void ReadTXTFile(const std::string& path, CardSet& cards, int& cardSeparator, Prompter& prompter) {
    const BusyScope busy(prompter);
    const std::string data = ReadWholeFile(path);
    ReadTXTData(data, cards, cardSeparator, prompter);
}

void ReadTXTData(std::string_view data, CardSet& cards, int& cardSeparator, Prompter& prompter) {
    const BusyScope busy(prompter);
    ReadCards(data, cards, cardSeparator);
    cards.SortPending();
    ReportIndexCorrections(cards.CorrectIndexes(), prompter);
}

}  // namespace tabellan
