// The status panels show the program's own texts whole, at the desktop's font too.
#include "app/status_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>

#include "app/plain_tool_tip.h"
#include "cardfile/file_status.h"
#include "phone/phonebook_transfer.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

class StatusPanelTest : public WindowTest {
  protected:
    StatusPanel& Panel0() { return *window->findChild<StatusPanel*>("StatusPanel0"); }
};

TEST_F(StatusPanelTest, TheFileStatusOfAHundredThousandCardsFitsAtAnyFontSize) {
    Make();
    for (int points : {9, 11, 14}) {
        QFont font = Panel0().font();
        font.setPointSize(points);
        Panel0().setFont(font);  // as a desktop font setting would
        for (const bool encrypted : {false, true}) {
            window->ShowFileStatus(FileStatusText(100000, encrypted));
            EXPECT_FALSE(Panel0().Shortened()) << points << " pt";
            EXPECT_EQ(Panel0().ShownText(), "Total 100000 cards.  File is " +
                                                QString(encrypted ? "" : "un") + "encrypted...");
        }
        EXPECT_GE(Panel0().width(), 240);
    }
}

TEST_F(StatusPanelTest, TheSecondPanelShowsWhatAWaitingPhoneCommandDoesWhole) {
    Make();
    auto& panel1 = *window->findChild<StatusPanel*>("StatusPanel1");
    for (int points : {9, 14}) {
        QFont font = panel1.font();
        font.setPointSize(points);
        panel1.setFont(font);
        for (const std::string_view text : kPhonebookActionTexts) {
            window->SetStatusText(1, text);
            EXPECT_FALSE(panel1.Shortened()) << text << " at " << points << " pt";
        }
    }
    EXPECT_GE(panel1.width(), 50);
}

TEST_F(StatusPanelTest, ALongTextIsShortenedInTheMiddleAndWholeInTheToolTip) {
    Make();
    const QString path = "/home/someone/Documents/Contacts/" + QString(60, 'x') + "/firm.csv";
    window->ShowFileStatus(("Saving " + path + "...").toStdString());
    EXPECT_EQ(window->StatusText(0), "Saving " + path + "...");  // the text itself is whole
    ASSERT_TRUE(Panel0().Shortened());
    const QString shown = Panel0().ShownText();
    EXPECT_TRUE(shown.startsWith("Saving /home/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("firm.csv...")) << shown.toStdString();
    EXPECT_LE(Panel0().fontMetrics().horizontalAdvance(shown), Panel0().contentsRect().width());

    QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), Panel0().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&Panel0(), &tip);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Saving " + path + "...");
    QToolTip::hideText();

    // A name that looks like markup reads as typed in the tool tip too.
    const QString odd = "/home/someone/<b>Firm</b> & <i>Co</i>/" + QString(60, 'y') + ".csv";
    window->ShowFileStatus(("Saving " + odd + "...").toStdString());
    QApplication::sendEvent(&Panel0(), &tip);
    QTextDocument rendered;
    rendered.setHtml(QToolTip::text());
    EXPECT_EQ(rendered.toPlainText(), "Saving " + odd + "...");
    QToolTip::hideText();
}

TEST(PlainToolTipTest, TextReadsAsTypedWhetherOrNotItLooksLikeMarkup) {
    for (const QString& text : {QString("plain & simple"), QString("<b>bold</b>"),
                                QString("<html>x</html>  two  spaces"), QString("a < b > c")}) {
        const QString tip = PlainToolTip(text);
        if (Qt::mightBeRichText(tip)) {
            QTextDocument rendered;
            rendered.setHtml(tip);
            EXPECT_EQ(rendered.toPlainText(), text);
        } else {
            EXPECT_EQ(tip, text);
        }
    }
}

}  // namespace
}  // namespace tabellan::test
