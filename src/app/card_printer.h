#pragma once
// Printing one card or all cards on the chosen printer, and the printer setup. The library
// decides the lines, their style and where they fall on the pages (cardfile/print_layout.h);
// this class measures with the printer font and paints the pages.
#include <QColor>
#include <QFont>
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "cardfile/codepage.h"
#include "cardfile/print_layout.h"

class QMainWindow;
class QPlainTextEdit;
class QPrinter;

namespace tabellan {

class CardEditorAdapter;
class Document;
class Prompter;

// A copy of the editor font in the printer face at the printer size, without styles; the
// desktop's fixed-pitch font stands in when the printer face is not installed.
QFont PrinterFont(const QFont& editorFont);

// Paints the lines onto the printer; onLine is told the position (in lines) of every line
// piece as it is drawn. false: the printer could not be opened or failed while printing.
bool PaintPrintLines(QPrinter& printer, const QFont& font, const QColor& color, CodePage cp,
                     const std::vector<PrintLine>& lines,
                     const std::function<void(std::size_t)>& onLine = {});

class CardPrinter : public QObject {
    Q_OBJECT
  public:
    CardPrinter(QMainWindow& window, QPlainTextEdit& editor, CardEditorAdapter& adapter,
                Document& document, Prompter& prompter);
    ~CardPrinter() override;

    // The printer the commands print on; by default the program's own, which the printer
    // setup configures. Tests put a file printer here.
    QPrinter& Printer();
    void SetPrinter(QPrinter* printer) { printer_ = printer; }
    // Printing all cards shows a preview first, from which the user prints.
    void SetPreviewBeforePrintAll(bool on) { preview_ = on; }

    void mnuCardPrintClick();
    void mnuFilePrintClick();
    void mnuFilePrintSetupClick();

  private:
    enum class Outcome { Printed, Failed, NotPrinted };
    Outcome PreviewAndPrint(const std::vector<PrintLine>& lines,
                            const std::vector<int>& cardOfLine);
    bool PaintAll(QPrinter& printer, const std::vector<PrintLine>& lines,
                  const std::vector<int>& cardOfLine, bool showStatus);
    QFont Font() const;
    QColor TextColor() const;

    QMainWindow& window_;
    QPlainTextEdit& editor_;
    CardEditorAdapter& adapter_;
    Document& document_;
    Prompter& prompter_;
    std::unique_ptr<QPrinter> ownPrinter_;
    QPrinter* printer_ = nullptr;
    bool preview_ = true;
};

}  // namespace tabellan
