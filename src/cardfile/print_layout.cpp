#include "cardfile/print_layout.h"

#include <algorithm>

#include "cardfile/card_set.h"

namespace tabellan {
namespace {

constexpr char kFormFeed = '\f';

// Longest prefix of text that fits the width; at least one character so layout always moves.
std::size_t FittingLength(std::string_view text, double width, bool bold,
                          const MeasureText& measure) {
    if (measure(text, bold) <= width) {
        return text.size();
    }
    std::size_t lo = 1;
    std::size_t hi = text.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (measure(text.substr(0, mid), bold) <= width) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return lo;
}

class Paginator {
  public:
    Paginator(const PageGeometry& g, const MeasureText& m) : geometry_(g), measure_(m) {
        pages_.emplace_back();
    }

    void AddLine(const PrintLine& line, std::size_t source) {
        source_ = source;
        const std::size_t indentLength = std::min(line.indent, line.text.size());
        indent_ = std::string_view(line.text).substr(0, indentLength);
        std::string_view rest = std::string_view(line.text).substr(indentLength);
        for (;;) {
            const std::size_t ff = rest.find(kFormFeed);
            AddWrapped(rest.substr(0, ff), line.bold);
            if (ff == std::string_view::npos) {
                return;
            }
            NewPage();
            rest.remove_prefix(ff + 1);
            if (rest.empty()) {
                return;
            }
        }
    }

    std::vector<PrintPage> Take() {
        if (pages_.size() > 1 && pages_.back().empty()) {
            pages_.pop_back();
        }
        return std::move(pages_);
    }

  private:
    // Places text after the indent, in as many pieces as the width needs, each indented.
    void AddWrapped(std::string_view text, bool bold) {
        if (text.empty()) {
            Place(std::string(indent_), bold);
            return;
        }
        while (!text.empty()) {
            std::size_t lead = indent_.size();
            std::string piece = std::string(indent_) + std::string(text);
            std::size_t n = FittingLength(piece, geometry_.width, bold, measure_);
            if (n <= lead) {
                // The indent leaves no room on the page: this piece goes without it.
                piece.erase(0, lead);
                lead = 0;
                n = FittingLength(piece, geometry_.width, bold, measure_);
            }
            if (n < piece.size()) {
                // At the last blank of the text (not of the indent) that fits.
                const std::size_t blank = piece.substr(0, n).rfind(' ');
                if (blank != std::string::npos && blank > lead) {
                    n = blank + 1;
                }
            }
            Place(piece.substr(0, n), bold);
            text.remove_prefix(n - lead);
        }
    }

    void Place(std::string text, bool bold) {
        if (y_ > 0 && y_ + geometry_.lineHeight > geometry_.height) {
            NewPage();
        }
        pages_.back().push_back({y_, std::move(text), bold, source_});
        y_ += geometry_.lineHeight;
    }

    void NewPage() {
        pages_.emplace_back();
        y_ = 0;
    }

    const PageGeometry& geometry_;
    const MeasureText& measure_;
    std::vector<PrintPage> pages_;
    std::string_view indent_;
    double y_ = 0;
    std::size_t source_ = 0;
};

}  // namespace

std::string ExpandTabs(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (const char c : line) {
        if (c == '\t') {
            out.append(8 - out.size() % 8, ' ');
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<PrintLine> CardPrintLines(const std::vector<std::string>& lines,
                                      const std::string& indent) {
    std::vector<PrintLine> out;
    out.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out.push_back({indent + ExpandTabs(lines[i]), i == 0, indent.size()});
    }
    return out;
}

std::vector<PrintLine> AllCardsPrintLines(const CardSet& cards, const std::string& indent) {
    std::vector<PrintLine> out;
    for (int i = 0; i < cards.Count(); ++i) {
        const auto& lines = cards.CardAt(i).lines;
        // A card always prints its index line, even an empty one.
        out.push_back(
            {indent + ExpandTabs(lines.empty() ? std::string() : lines[0]), true, indent.size()});
        for (std::size_t k = 1; k < lines.size(); ++k) {
            out.push_back({indent + ExpandTabs(lines[k]), false, indent.size()});
        }
        out.push_back({});
        out.push_back({});
    }
    return out;
}

std::vector<PrintPage> LayoutPages(const std::vector<PrintLine>& lines, const PageGeometry& page,
                                   const MeasureText& measure) {
    Paginator paginator(page, measure);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        paginator.AddLine(lines[i], i);
    }
    return paginator.Take();
}

std::string PrintingStatusText(std::string_view index) {
    return "Printing " + std::string(index) + "...";
}

std::string PrintAllQuestion(int cardCount) {
    return "Do you really want to print all the " + std::to_string(cardCount) + " cards?";
}

std::string CardsPrintedReport(int cardCount) {
    return cardCount == 1 ? std::string("One card printed.")
                          : std::to_string(cardCount) + " cards printed.";
}

}  // namespace tabellan
