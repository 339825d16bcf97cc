// Printing cards into PDF files, read back with the poppler tools.
#include "app/card_printer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <cmath>
#include <map>

#include "app/card_memo.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

struct Word {
    QString text;
    double x = 0;
    int page = 0;
    double y = 0;
};

class CardPrinterTest : public WindowTest {
  protected:
    void Open(const std::vector<std::vector<std::string>>& cards, int indent = 0,
              bool wordWrap = false) {
        FileSettings settings;
        settings.font.charset = 0;
        settings.indentSpaces = indent;
        settings.wordWrap = wordWrap;
        // A new name each time: a window left behind may have written an autosave copy.
        path_ = WriteCards(QStringLiteral("cards%1.csv").arg(printouts_ + 1), cards, settings);
        prompter.shown.clear();
        Make({QString::fromStdString(path_)});
        pdf_ = FilePath(QStringLiteral("out%1.pdf").arg(++printouts_));
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdf_);
        Printer().SetPrinter(printer_.get());
        Printer().SetPreviewBeforePrintAll(false);
    }
    CardPrinter& Printer() { return *window->findChild<CardPrinter*>(); }
    void Trigger(const char* name) { window->Action(QString::fromLatin1(name))->trigger(); }

    static QString Run(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // Pages of the printout as text lines, trailing blanks removed.
    std::vector<QStringList> Pages() const {
        std::vector<QStringList> pages;
        for (const QString& page :
             Run("pdftotext", {"-layout", pdf_, "-"}).split('\f', Qt::SkipEmptyParts)) {
            QStringList lines;
            for (const QString& line : page.split('\n')) {
                lines << QString(line).remove(QRegularExpression("\\s+$"));
            }
            while (!lines.isEmpty() && lines.last().isEmpty()) {
                lines.removeLast();
            }
            pages.push_back(lines);
        }
        return pages;
    }
    // Every word with its left edge in points.
    std::vector<Word> Words() const {
        std::vector<Word> words;
        const QString html = Run("pdftotext", {"-bbox", pdf_, "-"});
        static const QRegularExpression re(
            R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
        int page = 0;
        for (auto it = re.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(0).startsWith("<page")) {
                ++page;
            } else {
                words.push_back(
                    {m.captured(3), m.captured(1).toDouble(), page, m.captured(2).toDouble()});
            }
        }
        return words;
    }
    Word Find(const QString& word) const {
        for (const Word& w : Words()) {
            if (w.text == word) {
                return w;
            }
        }
        ADD_FAILURE() << "no word " << word.toStdString();
        return {word, -1, -1, -1};
    }
    double X(const QString& word) const { return Find(word).x; }
    double Y(const QString& word) const { return Find(word).y; }
    // The left edge of every printed line, top to bottom.
    std::vector<double> LineStarts() const {
        std::map<std::pair<int, double>, double> starts;
        for (const Word& w : Words()) {
            const auto key = std::make_pair(w.page, std::round(w.y));
            const auto it = starts.find(key);
            starts[key] = it == starts.end() ? w.x : std::min(it->second, w.x);
        }
        std::vector<double> out;
        for (const auto& [line, x] : starts) {
            out.push_back(x);
        }
        return out;
    }
    QString Info(const QString& key) const {
        for (const QString& line : Run("pdfinfo", {pdf_}).split('\n')) {
            if (line.startsWith(key + ":")) {
                return line.mid(key.size() + 1).trimmed();
            }
        }
        return {};
    }

    std::string path_;
    QString pdf_;
    int printouts_ = 0;
    std::unique_ptr<QPrinter> printer_;
};

TEST_F(CardPrinterTest, OneCardWithBoldIndexIndentAndExpandedTabs) {
    Open({{"Jones\tLtd", "1 High Road", "\tLeeds"}}, 4);
    window->Doc().SelectCard(0);
    Trigger("mnuCardPrint");
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_TRUE(QFileInfo::exists(pdf_));
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_GE(pages[0].size(), 3);
    EXPECT_EQ(pages[0][0].simplified(), "Jones Ltd");
    EXPECT_EQ(pages[0][1].simplified(), "1 High Road");
    EXPECT_EQ(pages[0][2].simplified(), "Leeds");
    // A monospace 10 pt face is 6 points a character: the tab takes Ltd to column 9 and
    // Leeds to column 9, the indent moves everything by four columns.
    const double column = (X("Ltd") - X("Jones")) / 8;
    EXPECT_NEAR(column, 6.0, 0.2);
    EXPECT_NEAR(X("Leeds") - X("Jones"), 8 * column, 0.5);
    EXPECT_NEAR(X("High") - X("1"), 2 * column, 0.5);
    const QString fonts = Run("pdffonts", {pdf_});
    EXPECT_TRUE(fonts.contains("Bold")) << fonts.toStdString();
    EXPECT_EQ(fonts.count("TrueType"), 2) << fonts.toStdString();  // bold and regular
    EXPECT_EQ(Info("Title"), "Jones\tLtd");                        // the title keeps its tabs
}

TEST_F(CardPrinterTest, IndentMovesEveryLineByItsBlanks) {
    Open({{"Jones", "Leeds"}}, 0);
    window->Doc().SelectCard(0);
    Trigger("mnuCardPrint");
    const double jones0 = X("Jones");
    const double leeds0 = X("Leeds");
    Open({{"Jones", "Leeds"}}, 4);
    window->Doc().SelectCard(0);
    Trigger("mnuCardPrint");
    EXPECT_NEAR(X("Jones") - jones0, 4 * 6.0, 1.0);
    EXPECT_NEAR(X("Leeds") - leeds0, 4 * 6.0, 1.0);
}

TEST_F(CardPrinterTest, OneCardPrintsTheEditorAsItStands) {
    Open({{"Jones", "old"}});
    window->Doc().SelectCard(0);
    window->Memo()->setPlainText(QStringLiteral("Jones\nedited"));
    Trigger("sbPrint");
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].join('\n').contains("edited"));
    EXPECT_TRUE(window->Doc().CardEdited());  // not committed
}

TEST_F(CardPrinterTest, AllCardsAskCountAndReport) {
    Open({{"Smith", "x"}, {"Adams", "y"}, {"Jones", "z"}}, 2);
    window->Doc().SelectCard(0);
    window->Memo()->setPlainText(QStringLiteral("Adams\nchanged"));
    prompter.answers = {Answer::Yes};
    Trigger("mnuFilePrint");
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "Do you really want to print all the 3 cards?");
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompter.shown[1].text, "3 cards printed.");
    EXPECT_EQ(prompter.shown[1].kind, MsgKind::Information);
    EXPECT_EQ(prompter.statuses, (std::vector<std::string>{"Printing Adams...", "Printing Jones...",
                                                           "Printing Smith..."}));
    EXPECT_EQ(window->StatusText(0), "Total 3 cards.  File is unencrypted...");
    EXPECT_FALSE(window->Doc().CardEdited());  // committed first
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    QStringList lines;
    for (const QString& line : pages[0]) {
        if (!line.trimmed().isEmpty()) {
            lines << line.trimmed();
        }
    }
    EXPECT_EQ(lines, (QStringList{"Adams", "changed", "Jones", "z", "Smith", "x"}));
    // Each card, then two empty lines: measured on the page, as the number of empty lines
    // the text extraction shows depends on the font's metrics.
    const double pitch = Y("changed") - Y("Adams");
    ASSERT_GT(pitch, 0);
    EXPECT_NEAR(Y("Jones") - Y("changed"), 3 * pitch, pitch / 4);
    EXPECT_NEAR(Y("Smith") - Y("z"), 3 * pitch, pitch / 4);
    EXPECT_EQ(Info("Title"), QString::fromStdString(window->Doc().CardFileName()));
}

TEST_F(CardPrinterTest, DecliningPrintsNothingAndOneCardNeedsNoQuestion) {
    Open({{"Smith"}, {"Adams"}});
    prompter.answers = {Answer::No};
    Trigger("mnuFilePrint");
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(pdf_));

    Open({{"Smith"}});
    Trigger("mnuFilePrint");
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"One card printed."}));
    EXPECT_TRUE(QFileInfo::exists(pdf_));

    Open({});
    Trigger("mnuFilePrint");
    EXPECT_EQ(prompter.shown.back().text, "Nothing to print!");
    EXPECT_EQ(prompter.shown.back().kind, MsgKind::Error);
}

TEST_F(CardPrinterTest, PagesBreakWhenFullAndAtFormFeeds) {
    std::vector<std::vector<std::string>> cards;
    for (int i = 0; i < 40; ++i) {
        cards.push_back({"Card" + std::to_string(100 + i), "line a", "line b"});
    }
    cards.push_back({"Feed", "before\fafter"});
    Open(cards);
    prompter.answers = {Answer::Yes};
    Trigger("mnuFilePrint");
    const auto pages = Pages();
    ASSERT_GE(pages.size(), 3u);
    // Full pages hold the same number of lines; nothing is lost between them.
    int cardLines = 0;
    for (const auto& page : pages) {
        cardLines += static_cast<int>(page.filter(QRegularExpression("^Card1\\d\\d$")).size());
    }
    EXPECT_EQ(cardLines, 40);
    EXPECT_TRUE(pages[pages.size() - 2].join('\n').endsWith("before"));
    EXPECT_EQ(pages.back().first(), "after");
    EXPECT_EQ(Info("Pages").toInt(), static_cast<int>(pages.size()));
}

TEST_F(CardPrinterTest, LongLinesWrapWithinThePage) {
    std::string longLine;
    for (int i = 0; i < 40; ++i) {
        longLine += "word" + std::to_string(i) + " ";
    }
    Open({{"Wide", longLine}});
    window->Doc().SelectCard(0);
    Trigger("mnuCardPrint");
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_GE(pages[0].size(), 3);
    for (const Word& w : Words()) {
        EXPECT_LT(w.x, 600.0) << w.text.toStdString();
    }
    EXPECT_TRUE(pages[0].join(' ').simplified().contains("word38 word39"));
}

TEST_F(CardPrinterTest, PrinterFailuresShowTheirMessages) {
    Open({{"Smith"}, {"Adams"}});
    printer_->setOutputFileName(FilePath(QStringLiteral("missing/out.pdf")));
    window->Doc().SelectCard(0);
    Trigger("mnuCardPrint");
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"Error printing address information."}));
    EXPECT_EQ(prompter.busyDepth, 0);

    prompter.shown.clear();
    prompter.answers = {Answer::Yes};
    Trigger("mnuFilePrint");
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"Do you really want to print all the 2 cards?",
                                        "Error printing all addresses."}));
    EXPECT_EQ(window->StatusText(0), "Total 2 cards.  File is unencrypted...");
}

TEST_F(CardPrinterTest, PreviewComesFirstAndClosingItPrintsNothing) {
    Open({{"Smith"}, {"Adams"}});
    Printer().SetPreviewBeforePrintAll(true);
    bool previewed = false;
    QTimer::singleShot(0, [&] {
        auto* preview = window->findChild<QPrintPreviewDialog*>(QStringLiteral("PrintPreview"));
        previewed = preview != nullptr;
        if (preview) {
            preview->reject();
        }
    });
    prompter.answers = {Answer::Yes};
    Trigger("mnuFilePrint");
    EXPECT_TRUE(previewed);
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"Do you really want to print all the 2 cards?"}));
    EXPECT_FALSE(QFileInfo::exists(pdf_));
    EXPECT_TRUE(prompter.statuses.empty());
}

TEST_F(CardPrinterTest, WithWordWrapOnACardPrintsTheLinesTheEditorShows) {
    // Narrower than the page, wider than the editor.
    const std::string line =
        "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron";
    Open({{"Greek", line, "end"}}, 0, true);
    window->Doc().SelectCard(0);
    QCoreApplication::processEvents();
    const QStringList shown = window->Memo()->toPlainText().split('\n');
    ASSERT_EQ(shown.size(), 3);
    Trigger("mnuCardPrint");
    auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    QStringList printed;
    for (const QString& l : pages[0]) {
        printed << l.simplified();
    }
    // The editor wraps the long line; the print has a line for each piece it shows.
    const int wrapped = window->Memo()->document()->findBlockByNumber(1).layout()->lineCount();
    ASSERT_GT(wrapped, 1);
    EXPECT_EQ(printed.size(), 2 + wrapped) << printed.join('|').toStdString();
    EXPECT_EQ(printed.join(' ').simplified(), QString::fromStdString("Greek " + line + " end"));
    EXPECT_EQ(printed.first(), "Greek");
    EXPECT_EQ(printed.last(), "end");

    // Without word wrap the same card prints its hard lines.
    Open({{"Greek", line, "end"}}, 0, false);
    window->Doc().SelectCard(0);
    Trigger("mnuCardPrint");
    pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].size(), 3);
}

TEST_F(CardPrinterTest, LinesWrappedOnThePageKeepTheIndent) {
    std::string longLine;
    for (int i = 0; i < 40; ++i) {
        longLine += "word" + std::to_string(i) + " ";
    }
    Open({{"Wide", longLine}}, 4);
    window->Doc().SelectCard(0);
    Trigger("mnuCardPrint");
    const std::vector<double> starts = LineStarts();
    ASSERT_GE(starts.size(), 4u);  // the index, then the long line in three pieces or more
    for (double x : starts) {
        EXPECT_NEAR(x, starts.front(), 0.5);
    }
}

TEST_F(CardPrinterTest, PrintSetupKeepsTheSettingsAndPrintsNothing) {
    Open({{"Smith"}});
    QStringList buttons;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = window->findChild<QPrintDialog*>(QStringLiteral("PrinterSetupDialog"));
        shown = dialog != nullptr;
        if (!dialog) {
            return;
        }
        for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
            if (b->isVisible()) {
                buttons << b->text();
            }
        }
        dialog->accept();
    });
    Trigger("mnuFilePrintSetup");
    ASSERT_TRUE(shown);
    EXPECT_TRUE(buttons.contains("OK")) << buttons.join(',').toStdString();
    for (const QString& text : buttons) {
        EXPECT_FALSE(QString(text).remove('&').startsWith("Print")) << text.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(pdf_));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(PrinterFontTest, CourierNewTenPointsWithoutStyles) {
    QFont editor(QStringLiteral("Fixedsys"));
    editor.setPixelSize(12);
    editor.setItalic(true);
    editor.setUnderline(true);
    editor.setBold(true);
    const QFont font = PrinterFont(editor);
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut() || font.bold());
    EXPECT_TRUE(DrawsEqualWidths(font)) << QFontInfo(font).family().toStdString();
}

}  // namespace
}  // namespace tabellan::test
