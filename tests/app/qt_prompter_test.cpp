// What the desktop program's boxes show: message text as plain text, never markup, with one
// "&" for each doubled one and its line breaks; the same for the prompts of the input box and
// the password dialog; and every label of the program's windows as plain text.
#include "app/qt_prompter.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/about_form.h"
#include "app/dlg_frm.h"
#include "app/replace_dialog.h"
#include "app/setup_form.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

// Runs act on the modal dialog of type D as soon as it is shown; act must close it.
template <class D>
void WhenShown(std::function<void(D&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        D* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog || ++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
        if (dialog) {
            act(*dialog);
        }
    });
    timer->start();
}

struct Displayed {
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    Qt::TextFormat labelFormat = Qt::AutoText;
    QString title;
};

Displayed ShowAndRead(Prompter& prompter, MsgKind kind, std::string_view text) {
    Displayed seen;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        seen.text = box.text();
        seen.format = box.textFormat();
        const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        seen.labelFormat = label ? label->textFormat() : Qt::AutoText;
        seen.title = box.windowTitle();
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(prompter.Show(kind, text, Buttons::Ok), Answer::Ok);
    return seen;
}

TEST(QtPrompterTest, MessageBoxesShowPlainTextWithOneAmpersandForADoubledOne) {
    QtPrompter prompter(nullptr, {}, {});
    Displayed seen = ShowAndRead(prompter, MsgKind::Error, "Smith && Co not found!");
    EXPECT_EQ(seen.text, "Smith & Co not found!");
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.labelFormat, Qt::PlainText);

    // Markup shows as typed; a lone "&" is no mnemonic; the card code page and line breaks.
    seen =
        ShowAndRead(prompter, MsgKind::Information, "<b>Smith</b> & M\xFCller\r\n<i>R&&D</i>\rend");
    EXPECT_EQ(seen.text, QString::fromUtf8("<b>Smith</b> & Müller\n<i>R&D</i>\nend"));
    EXPECT_EQ(seen.format, Qt::PlainText);
}

TEST(QtPrompterTest, InputBoxAndPasswordPromptsArePlainText) {
    QWidget parent;
    QtPrompter prompter(&parent, {}, {});
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    bool buddy = true;
    WhenShown<QInputDialog>([&](QInputDialog& dialog) {
        if (const QLabel* label = dialog.findChild<QLabel*>()) {
            text = label->text();
            format = label->textFormat();
            buddy = label->buddy() != nullptr;  // with a buddy, a lone "&" would be a mnemonic
        }
        dialog.setTextValue(QStringLiteral("Smith & Co"));
        dialog.accept();
    });
    EXPECT_EQ(prompter.InputBox("Add Card", "<b>R&&D</b> & index:", ""), "Smith & Co");
    EXPECT_EQ(text, "<b>R&D</b> & index:");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_FALSE(buddy);

    TDlgFrm password(prompter, &parent);
    prompter.SetPasswordDialog(&password);
    WhenShown<TDlgFrm>([&](TDlgFrm& dialog) {
        if (const auto* label = dialog.findChild<QLabel*>(QStringLiteral("Label1"))) {
            text = label->text();
            format = label->textFormat();
            buddy = label->buddy() != nullptr;
        }
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("pw"));
        dialog.accept();
    });
    EXPECT_EQ(prompter.AskPassword("Open", "Password of <i>A&&B</i>:", ""), "pw");
    EXPECT_EQ(text, "Password of <i>A&B</i>:");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_FALSE(buddy);
}

class WindowBoxesTest : public WindowTest {};

TEST_F(WindowBoxesTest, NotFoundBoxShowsTheFindTextAsTyped) {
    realBoxes = true;
    Make({QString::fromStdString(WriteCards("c.csv", {{"Adams", "x"}}))});
    std::vector<Displayed> seen;
    for (const char* find : {"Smith & Co", "<b>x</b>y"}) {
        window->Action("mnuSearchWholeFile")->trigger();
        auto* dialog = window->findChild<TReplaceDialog*>("ReplaceDialog");
        dialog->findChild<QLineEdit*>("editFindText")->setText(QString::fromLatin1(find));
        WhenShown<QMessageBox>([&](QMessageBox& box) {
            seen.push_back({box.text(), box.textFormat(), Qt::AutoText, box.windowTitle()});
            box.button(QMessageBox::Ok)->click();
        });
        dialog->findChild<QPushButton*>("btnFindNext")->click();
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "Smith & Co not found!");
    EXPECT_EQ(seen[1].text, "<b>x</b>y not found!");
    EXPECT_EQ(seen[1].format, Qt::PlainText);
}

TEST_F(WindowBoxesTest, EveryLabelOfTheProgramsWindowsIsPlainText) {
    Make();
    window->findChild<TAboutForm*>()->show();  // its details are filled when shown
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    EXPECT_GE(labels.size(), 20);  // status panels, Setup, find dialog, About, password
    for (const QLabel* label : labels) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText)
            << label->objectName().toStdString() << " \"" << label->text().toStdString() << "\" in "
            << label->window()->objectName().toStdString();
    }
    window->findChild<TAboutForm*>()->close();
}

}  // namespace
}  // namespace tabellan::test
