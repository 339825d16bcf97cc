// A field's length limit holds for typing and pasting, never for a text the program sets.
#include "app/limited_line_edit.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

namespace tabellan::test {
namespace {

TEST(LimitedLineEditTest, TypingAndPastingStopAtTheLimit) {
    LimitedLineEdit edit(3);
    QSignalSpy edited(&edit, &QLineEdit::textEdited);
    QTest::keyClicks(&edit, "12345");
    EXPECT_EQ(edit.text(), "123");
    EXPECT_EQ(edited.count(), 3);  // a refused key reports no change

    edit.clear();
    QGuiApplication::clipboard()->setText("4567");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "");  // refused, not cut
    QGuiApplication::clipboard()->setText("45");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "45");
}

TEST(LimitedLineEditTest, ALongerTextSetByTheProgramIsKeptAndCanOnlyShrink) {
    LimitedLineEdit edit(3);
    edit.setText("150000");
    EXPECT_EQ(edit.text(), "150000");
    EXPECT_TRUE(edit.hasAcceptableInput());

    QTest::keyClicks(&edit, "9");  // the caret stands at the end
    EXPECT_EQ(edit.text(), "150000");
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClicks(&edit, "2");  // one character for one: no longer than before
    EXPECT_EQ(edit.text(), "250000");
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "20000");
    QTest::keyClick(&edit, Qt::Key_End);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&edit, Qt::Key_Backspace);
    }
    EXPECT_EQ(edit.text(), "20");
    QTest::keyClicks(&edit, "345");  // within the limit again: the limit holds
    EXPECT_EQ(edit.text(), "203");

    edit.setText("a much longer text");  // and the program may set a long one again
    EXPECT_EQ(edit.text(), "a much longer text");
    QTest::keyClicks(&edit, "!");
    EXPECT_EQ(edit.text(), "a much longer text");
}

}  // namespace
}  // namespace tabellan::test
