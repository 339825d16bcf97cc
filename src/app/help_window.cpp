#include "app/help_window.h"

#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace tabellan {

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tabellan Help"));
    // A help window without an owner must not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, browser_, &QTextBrowser::backward);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, browser_, &QTextBrowser::forward);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(640, 560);
}

void HelpWindow::ShowTopic(const QUrl& url) {
    QUrl page = url;
    page.setFragment(QString());
    if (browser_->source().adjusted(QUrl::RemoveFragment) != page) {
        browser_->setSource(page);
    }
    if (url.hasFragment()) {
        browser_->scrollToAnchor(url.fragment());
    } else {
        browser_->verticalScrollBar()->setValue(0);
    }
    if (!placed_) {
        PlaceOverOwner();
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::PlaceOverOwner() {
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    // Centred over the main window; beside a dialog, so the dialog that waits stays in sight.
    // Always inside the screen's free area.
    const QRect area = screen->availableGeometry();
    QRect target(QPoint(0, 0), size().boundedTo(area.size() - QSize(40, 60)));
    target.moveCenter(owner ? owner->frameGeometry().center() : area.center());
    if (qobject_cast<const QDialog*>(owner)) {
        const QRect dialog = owner->frameGeometry();
        if (dialog.right() + 10 + target.width() <= area.right()) {
            target.moveLeft(dialog.right() + 10);
        } else if (dialog.left() - 10 - target.width() >= area.left()) {
            target.moveRight(dialog.left() - 10);
        }
    }
    target.moveLeft(
        std::clamp(target.left(), area.left() + 10, area.right() - target.width() - 10));
    target.moveTop(std::clamp(target.top(), area.top() + 30, area.bottom() - target.height() - 30));
    setGeometry(target);
}

namespace {

QWidget* HelpOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active->window();
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace

HelpWindow& HelpWindowForActiveWindow() {
    QWidget* owner = HelpOwner();
    if (auto* help = qobject_cast<HelpWindow*>(owner)) {
        return *help;
    }
    if (owner) {
        if (auto* help = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
            return *help;
        }
    }
    auto* help = new HelpWindow(owner);
    if (!owner) {
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *help;
}

void OpenInHelpWindow(const QUrl& url) {
    QTimer::singleShot(0, qApp, [url] { HelpWindowForActiveWindow().ShowTopic(url); });
}

}  // namespace tabellan
