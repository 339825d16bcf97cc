#pragma once
// Printing as a line-oriented text device: which lines are printed, in which style, and how
// they fall onto pages. The painter only draws what this layout places.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

class CardSet;

// Tab stops every 8 columns from the start of the line; earlier expansions shift later tabs.
std::string ExpandTabs(std::string_view line);

struct PrintLine {
    std::string text;  // the indent included
    bool bold = false;
    std::size_t indent = 0;  // leading bytes of text that are the indent
};

// One card as shown in the editor: the index line bold, every line indented.
std::vector<PrintLine> CardPrintLines(const std::vector<std::string>& lines,
                                      const std::string& indent);
// Every card in index order, each followed by two empty lines without indent.
std::vector<PrintLine> AllCardsPrintLines(const CardSet& cards, const std::string& indent);

struct PageGeometry {
    double width = 0;       // printable width in device units
    double height = 0;      // printable height
    double lineHeight = 1;  // the font's line height
};

// Width of a text in the printer font, bold or regular.
using MeasureText = std::function<double(std::string_view text, bool bold)>;

struct PlacedLine {
    double y = 0;  // top of the line on its page
    std::string text;
    bool bold = false;
    std::size_t source = 0;  // position of the printed line it comes from
};
using PrintPage = std::vector<PlacedLine>;

// Wraps lines wider than the page (at the last blank that fits, else between characters),
// starts a new page when the next line does not fit and at every form feed. The pieces after
// a wrap or a form feed start with the line's indent too, unless the indent leaves no room.
std::vector<PrintPage> LayoutPages(const std::vector<PrintLine>& lines, const PageGeometry& page,
                                   const MeasureText& measure);

// The program's printing texts.
std::string PrintingStatusText(std::string_view index);
std::string PrintAllQuestion(int cardCount);
std::string CardsPrintedReport(int cardCount);
inline constexpr const char* kNothingToPrint = "Nothing to print!";
inline constexpr const char* kErrorPrintingCard = "Error printing address information.";
inline constexpr const char* kErrorPrintingAll = "Error printing all addresses.";
inline constexpr const char* kPrinterFace = "Courier New";
inline constexpr int kPrinterPointSize = 10;

}  // namespace tabellan
