#include "cardfile/card_info.h"

namespace tabellan {
namespace {

bool IsWordByte(char c) {
    return static_cast<unsigned char>(c) >= 33;
}

}  // namespace

TextCount CountText(std::string_view text) {
    TextCount count;
    int pairs = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            ++pairs;
            ++i;
        }
    }
    const bool endsWithBreak = text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
    count.lines = pairs + (endsWithBreak ? 0 : 1);
    count.characters = static_cast<int>(text.size()) - 2 * pairs;
    return count;
}

std::string CardInfoReport(int cardCount, std::string_view cardText, std::string_view selection,
                           bool cardEdited) {
    std::string report = "Total cards: " + std::to_string(cardCount) + "\r\n\r\n";
    const TextCount selected = CountText(selection);
    if (selected.characters > 0) {
        report += "Selected lines in card: " + std::to_string(selected.lines) + "\r\n" +
                  "Selected characters in card: " + std::to_string(selected.characters) +
                  "\r\n\r\n";
    }
    const TextCount total = CountText(cardText);
    if (total.characters > 0) {
        report += "Total lines in card: " + std::to_string(total.lines) + "\r\n" +
                  "Total characters in card: " + std::to_string(total.characters) + "\r\n\r\n";
        report += "Size of card: " + std::to_string(cardText.size()) + "\r\n\r\n";
        report += "Current card is ";
        if (!cardEdited) {
            report += "not ";
        }
        report += "modified.";
    }
    return report;
}

std::string CommandAtCaret(std::string_view text, std::size_t caret, std::string_view selection) {
    if (!selection.empty()) {
        return std::string(selection);
    }
    if (caret > text.size()) {
        caret = text.size();
    }
    std::size_t begin = caret;
    while (begin > 0 && IsWordByte(text[begin - 1])) {
        --begin;
    }
    std::size_t end = caret;
    while (end < text.size() && IsWordByte(text[end])) {
        ++end;
    }
    return std::string(text.substr(begin, end - begin));
}

std::string ExecuteCaption(std::string_view command) {
    if (command.empty()) {
        return "<Nothing>";
    }
    std::string line;
    line.reserve(command.size());
    bool inControl = false;
    for (const char c : command) {
        const bool control = static_cast<unsigned char>(c) < 32 || c == '\x7f';
        if (control && !inControl) {
            line += ' ';
        } else if (!control) {
            line += c;
        }
        inControl = control;
    }
    return line;
}

SplitCommand SplitAtFirstBlank(std::string_view command) {
    const std::size_t blank = command.find(' ');
    if (blank == std::string_view::npos) {
        return {std::string(command), {}};
    }
    return {std::string(command.substr(0, blank)), std::string(command.substr(blank + 1))};
}

}  // namespace tabellan
