#include "app/window_layout.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>

namespace tabellan {

namespace {

Qt::WindowStates StateFor(int windowState) {
    switch (windowState) {
        case 1:
            return Qt::WindowMinimized;
        case 2:
            return Qt::WindowMaximized;
        default:
            return Qt::WindowNoState;
    }
}

bool IsNormal(Qt::WindowStates state) {
    return !(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

}  // namespace

WindowLayout::WindowLayout(QMainWindow& window, QWidget& surface, QWidget& editor,
                           QWidget& indexList, QToolBar& toolBar)
    : QObject(&window),
      window_(window),
      surface_(surface),
      editor_(editor),
      indexList_(indexList),
      toolBar_(toolBar) {
    setObjectName(QStringLiteral("WindowLayout"));
    surface_.setMouseTracking(true);
    surface_.installEventFilter(this);
    const FileSettings initial;
    panes_ = PanesFromCardWidth(initial.cardWidth, initial.clientWidth);
    window_.setGeometry(initial.left, initial.top, initial.clientWidth,
                        initial.clientHeight + MenuBarHeight());
    PlaceControls();
}

int WindowLayout::MenuBarHeight() const {
    const QMenuBar* bar = window_.menuBar();
    return bar->isVisible() ? bar->height() : bar->sizeHint().height();
}

int WindowLayout::ClientWidth() const {
    return window_.width();
}

int WindowLayout::ClientHeight() const {
    return window_.height() - MenuBarHeight();
}

void WindowLayout::PlaceControls() {
    // The panes sit below the tool bar in the client area; the central surface starts there.
    const int height = ClientHeight() - 4 * kPaneMargin - toolBar_.height();
    const PaneGeometry g = PlacePanes(panes_, indexListAtRight_, kPaneMargin, height);
    editor_.setGeometry(g.editor.x, g.editor.y, g.editor.width, g.editor.height);
    indexList_.setGeometry(g.indexList.x, g.indexList.y, g.indexList.width, g.indexList.height);
}

void WindowLayout::FormResize() {
    panes_ = ResizePanes(panes_, ClientWidth());
    PlaceControls();
}

void WindowLayout::FormRearrangeControls(int x, bool leftButtonDown, bool doubleClick) {
    if (const auto widths =
            RearrangeAt(indexListAtRight_, ClientWidth(), x, leftButtonDown, doubleClick)) {
        panes_ = *widths;
        FormResize();
    }
}

void WindowLayout::RememberPlacement() {
    if (IsNormal(window_.windowState())) {
        rememberedClientHeight_ = ClientHeight();
        rememberedClientWidth_ = ClientWidth();
        // The client area's edge, as placed: the frame is the window manager's and unknown
        // until it has framed the window, so placing by it would move the window each time.
        const QPoint client = window_.geometry().topLeft();
        rememberedTop_ = client.y();
        rememberedLeft_ = client.x();
    }
}

bool WindowLayout::eventFilter(QObject* watched, QEvent* e) {
    if (watched == &surface_) {
        HandleSurfaceMouse(e);
    }
    return QObject::eventFilter(watched, e);
}

void WindowLayout::HandleSurfaceMouse(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
        if (type == QEvent::Leave && !dividerDragging_) {
            surface_.unsetCursor();
        }
        return;
    }
    auto* mouse = static_cast<QMouseEvent*>(e);
    const int x = static_cast<int>(mouse->position().x());
    const bool inZone = InDividerZone(panes_, indexListAtRight_, x);
    const bool leftDown = (mouse->buttons() & Qt::LeftButton) != 0;
    switch (type) {
        case QEvent::MouseMove:
            if (inZone || dividerDragging_) {
                surface_.setCursor(Qt::SplitHCursor);
            } else {
                surface_.unsetCursor();
            }
            if (dividerDragging_) {
                FormRearrangeControls(x, leftDown, false);
            }
            break;
        case QEvent::MouseButtonPress:
            if (inZone && mouse->button() == Qt::LeftButton) {
                FormRearrangeControls(x, leftDown, false);
                dividerDragging_ = true;
            }
            break;
        case QEvent::MouseButtonDblClick:
            if (inZone && mouse->button() == Qt::LeftButton) {
                FormRearrangeControls(x, leftDown, true);
                dividerDragging_ = false;
            }
            break;
        default:
            dividerDragging_ = false;
            break;
    }
}

void WindowLayout::ApplyPlacement(const FileSettings& s) {
    if (!IsNormal(window_.windowState())) {
        window_.setWindowState(Qt::WindowNoState);
    }
    // Left and Top place the client area, the same edge the refresh records.
    window_.setGeometry(s.left, s.top, s.clientWidth, s.clientHeight + MenuBarHeight());
    rememberedClientHeight_ = s.clientHeight;
    rememberedClientWidth_ = s.clientWidth;
    rememberedTop_ = s.top;
    rememberedLeft_ = s.left;
}

void WindowLayout::Apply(const FileSettings& s) {
    const bool placementChanged = !applied_ || applied_->clientHeight != s.clientHeight ||
                                  applied_->clientWidth != s.clientWidth ||
                                  applied_->top != s.top || applied_->left != s.left;
    const bool stateChanged = !applied_ || applied_->windowState != s.windowState;
    const bool panesChanged = !applied_ || applied_->cardWidth != s.cardWidth ||
                              applied_->indexListAtRight != s.indexListAtRight;
    if (placementChanged) {
        ApplyPlacement(s);
    }
    if (panesChanged) {
        indexListAtRight_ = s.indexListAtRight;
        panes_ = PanesFromCardWidth(s.cardWidth, placementChanged ? s.clientWidth : ClientWidth());
    }
    if (stateChanged) {
        window_.setWindowState(StateFor(s.windowState));
    }
    PlaceControls();

    FileSettings layout;
    layout.clientHeight = s.clientHeight;
    layout.clientWidth = s.clientWidth;
    layout.top = s.top;
    layout.left = s.left;
    layout.windowState = s.windowState;
    layout.cardWidth = s.cardWidth;
    layout.indexListAtRight = s.indexListAtRight;
    applied_ = std::move(layout);
}

void WindowLayout::Capture(FileSettings& s) {
    s.clientHeight = rememberedClientHeight_;
    s.clientWidth = rememberedClientWidth_;
    s.top = rememberedTop_;
    s.left = rememberedLeft_;
    const Qt::WindowStates state = window_.windowState();
    s.windowState = (state & Qt::WindowMinimized) ? 1 : (state & Qt::WindowMaximized) ? 2 : 0;
    s.cardWidth = panes_.editor;
    s.indexListAtRight = indexListAtRight_;
    if (applied_) {
        applied_->clientHeight = s.clientHeight;
        applied_->clientWidth = s.clientWidth;
        applied_->top = s.top;
        applied_->left = s.left;
        applied_->windowState = s.windowState;
        applied_->cardWidth = s.cardWidth;
    }
}

}  // namespace tabellan
