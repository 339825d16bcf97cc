#include "app/card_printer.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontMetricsF>
#include <QMainWindow>
#include <QPaintEngine>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>

#include "app/card_editor_adapter.h"
#include "app/font_mapping.h"
#include "cardfile/document.h"
#include "cardfile/prompter.h"

namespace tabellan {
namespace {

// For every printed line, the card it belongs to, as AllCardsPrintLines arranges them: the
// index line, the further lines, two empty lines.
std::vector<int> CardOfEveryLine(const CardSet& cards) {
    std::vector<int> out;
    for (int i = 0; i < cards.Count(); ++i) {
        const std::size_t lines = std::max<std::size_t>(1, cards.CardAt(i).lines.size());
        out.insert(out.end(), lines + 2, i);
    }
    return out;
}

bool PrinterFailed(const QPrinter& printer) {
    const QPrinter::PrinterState state = printer.printerState();
    return state == QPrinter::Error || state == QPrinter::Aborted;
}

}  // namespace

QFont PrinterFont(const QFont& editorFont) {
    QFont font = editorFont;
    font.setStyleName(QString());
    font.setFamily(QString::fromLatin1(kPrinterFace));
    font.setPointSize(kPrinterPointSize);
    // The face itself or the desktop's stand-in for it (a metric-compatible font); any other
    // substitute must at least draw fixed pitch, as the print's columns are counted in
    // characters.
    if (!DrawsFixedPitch(font)) {
        font.setFamily(FixedPitchFamily());
    }
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

bool PaintPrintLines(QPrinter& printer, const QFont& font, const QColor& color, CodePage cp,
                     const std::vector<PrintLine>& lines,
                     const std::function<void(std::size_t)>& onLine) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF regular(font, &printer);
    const QFontMetricsF heavy(bold, &printer);
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    const PageGeometry geometry{area.width(), area.height(),
                                std::max(regular.lineSpacing(), heavy.lineSpacing())};
    const double ascent = std::max(regular.ascent(), heavy.ascent());
    const auto pages = LayoutPages(lines, geometry, [&](std::string_view text, bool isBold) {
        return (isBold ? heavy : regular).horizontalAdvance(AnsiToQString(text, cp));
    });
    painter.setPen(color);
    bool ok = true;
    for (std::size_t p = 0; p < pages.size() && ok; ++p) {
        if (p > 0 && !printer.newPage()) {
            ok = false;
            break;
        }
        for (const PlacedLine& line : pages[p]) {
            if (onLine) {
                onLine(line.source);
            }
            painter.setFont(line.bold ? bold : font);
            painter.drawText(QPointF(0, line.y + ascent), AnsiToQString(line.text, cp));
        }
        ok = !PrinterFailed(printer);
    }
    const bool ended = painter.end();
    return ok && ended && !PrinterFailed(printer);
}

CardPrinter::CardPrinter(QMainWindow& window, QPlainTextEdit& editor, CardEditorAdapter& adapter,
                         Document& document, Prompter& prompter)
    : QObject(&window),
      window_(window),
      editor_(editor),
      adapter_(adapter),
      document_(document),
      prompter_(prompter) {
    setObjectName(QStringLiteral("CardPrinter"));
}

CardPrinter::~CardPrinter() = default;

QPrinter& CardPrinter::Printer() {
    if (printer_) {
        return *printer_;
    }
    if (!ownPrinter_) {
        ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *ownPrinter_;
}

QFont CardPrinter::Font() const {
    return PrinterFont(editor_.font());
}

QColor CardPrinter::TextColor() const {
    return editor_.palette().color(QPalette::Active, QPalette::Text);
}

void CardPrinter::mnuCardPrintClick() {
    // The card as the editor shows it: with word wrap on, its wrapped lines.
    const std::vector<std::string> lines = adapter_.DisplayLines();
    const CodePage cp = adapter_.GetCodePage();
    const BusyScope busy(prompter_);
    QPrinter& printer = Printer();
    printer.setDocName(lines.empty() ? QString() : AnsiToQString(lines.front(), cp));
    if (!PaintPrintLines(printer, Font(), TextColor(), cp,
                         CardPrintLines(lines, document_.Settings().Indent()))) {
        prompter_.Show(MsgKind::Error, kErrorPrintingCard, Buttons::Ok);
    }
}

void CardPrinter::mnuFilePrintClick() {
    document_.CommitCurrentCard();
    const CardSet& cards = document_.Cards();
    const int count = cards.Count();
    if (count == 0) {
        prompter_.Show(MsgKind::Error, kNothingToPrint, Buttons::Ok);
        return;
    }
    if (count > 1 && prompter_.Show(MsgKind::Confirmation, PrintAllQuestion(count),
                                    Buttons::YesNo) != Answer::Yes) {
        return;
    }
    const std::vector<PrintLine> lines = AllCardsPrintLines(cards, document_.Settings().Indent());
    const std::vector<int> cardOfLine = CardOfEveryLine(cards);
    Printer().setDocName(QFile::decodeName(QByteArray::fromStdString(document_.CardFileName())));

    Outcome outcome = Outcome::NotPrinted;
    if (preview_) {
        outcome = PreviewAndPrint(lines, cardOfLine);
    } else {
        const BusyScope busy(prompter_);
        outcome = PaintAll(Printer(), lines, cardOfLine, true) ? Outcome::Printed : Outcome::Failed;
    }
    if (outcome == Outcome::Failed) {
        prompter_.Show(MsgKind::Error, kErrorPrintingAll, Buttons::Ok);
    } else if (outcome == Outcome::Printed) {
        prompter_.Show(MsgKind::Information, CardsPrintedReport(count), Buttons::Ok);
    }
    document_.ShowFileStatus();
}

bool CardPrinter::PaintAll(QPrinter& printer, const std::vector<PrintLine>& lines,
                           const std::vector<int>& cardOfLine, bool showStatus) {
    int shownCard = -1;
    auto onLine = [&](std::size_t source) {
        const int card = source < cardOfLine.size() ? cardOfLine[source] : -1;
        if (!showStatus || card == shownCard || card < 0) {
            return;
        }
        shownCard = card;
        prompter_.Status(PrintingStatusText(document_.Cards().IndexAt(card)));
        window_.statusBar()->repaint();
    };
    return PaintPrintLines(printer, Font(), TextColor(), adapter_.GetCodePage(), lines, onLine);
}

CardPrinter::Outcome CardPrinter::PreviewAndPrint(const std::vector<PrintLine>& lines,
                                                  const std::vector<int>& cardOfLine) {
    QPrinter& printer = Printer();
    // The preview paints on the same printer through a stand-in engine; only a paint on the
    // printer's own engine is the real printout.
    const QPaintEngine::Type realEngine = printer.paintEngine()->type();
    Outcome outcome = Outcome::NotPrinted;
    QPrintPreviewDialog dialog(&printer, &window_);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* target) {
        const bool real = target->paintEngine()->type() == realEngine;
        if (!real) {
            PaintAll(*target, lines, cardOfLine, false);
            return;
        }
        const BusyScope busy(prompter_);
        outcome = PaintAll(*target, lines, cardOfLine, true) ? Outcome::Printed : Outcome::Failed;
    });
    dialog.exec();
    return outcome;
}

void CardPrinter::mnuFilePrintSetupClick() {
    // The desktop's print dialog chooses the printer and its page settings; here it only
    // keeps them for the next printout, so its button says OK, not Print.
    QPrintDialog dialog(&Printer(), &window_);
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog"));
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>()) {
        if (QPushButton* accept = buttons->button(QDialogButtonBox::Ok)) {
            accept->setText(QStringLiteral("OK"));
        }
    }
    dialog.exec();
}

}  // namespace tabellan
