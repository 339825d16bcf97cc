#pragma once
// Card information and the command taken from a card for the Execute entry.
#include <cstddef>
#include <string>
#include <string_view>

namespace tabellan {

struct TextCount {
    int lines = 0;
    int characters = 0;  // line breaks (CR LF pairs) not counted
};

// Lines = CR LF pairs, plus one unless the text ends with CR LF.
TextCount CountText(std::string_view text);

// The information box's report for the editor's whole text and its selection.
std::string CardInfoReport(int cardCount, std::string_view cardText, std::string_view selection,
                           bool cardEdited);

// The command offered by the Execute entry: the selection when there is one, else the word
// around the caret (a run of bytes above the blank). Empty when there is nothing to run.
std::string CommandAtCaret(std::string_view text, std::size_t caret, std::string_view selection);

// The text of the Execute entry for a command ("<Nothing>" when empty): the command on one
// line, each run of line breaks, tabs and other control bytes shown as one blank. The menu
// shortens it and doubles its ampersands.
std::string ExecuteCaption(std::string_view command);

struct SplitCommand {
    std::string file;
    std::string parameters;
};
// Splits at the first blank: the file before it, the parameters after it.
SplitCommand SplitAtFirstBlank(std::string_view command);

}  // namespace tabellan
