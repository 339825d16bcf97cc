// The main window's layout: the two panes, the divider between them, and the window
// settings that travel in a card file.
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>

#include "app/card_memo.h"
#include "app/font_mapping.h"
#include "app/index_list_model.h"
#include "app/index_list_view.h"
#include "app/main_window.h"

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

}  // namespace

int TMainForm::MenuBarHeight() const {
    return menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
}

int TMainForm::ToolBarHeight() const {
    return toolBar_->height();
}

int TMainForm::ClientWidth() const {
    return width();
}

int TMainForm::ClientHeight() const {
    return height() - MenuBarHeight();
}

CodePage TMainForm::CurrentCodePage() const {
    return editor_->GetCodePage();
}

void TMainForm::PlaceControls() {
    // The panes sit below the tool bar in the client area; the central surface starts there.
    const int height = ClientHeight() - 4 * kPaneMargin - ToolBarHeight();
    const PaneGeometry g = PlacePanes(panes_, indexListAtRight_, kPaneMargin, height);
    cardMemo_->setGeometry(g.editor.x, g.editor.y, g.editor.width, g.editor.height);
    indexList_->setGeometry(g.indexList.x, g.indexList.y, g.indexList.width, g.indexList.height);
}

void TMainForm::FormResize() {
    panes_ = ResizePanes(panes_, ClientWidth());
    PlaceControls();
}

void TMainForm::Relayout() {
    FormResize();
}

void TMainForm::FormRearrangeControls(int x, bool leftButtonDown, bool doubleClick) {
    if (const auto widths =
            RearrangeAt(indexListAtRight_, ClientWidth(), x, leftButtonDown, doubleClick)) {
        panes_ = *widths;
        FormResize();
    }
}

void TMainForm::HandleSurfaceMouse(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
        if (type == QEvent::Leave && !dividerDragging_) {
            surface_->unsetCursor();
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
                surface_->setCursor(Qt::SplitHCursor);
            } else {
                surface_->unsetCursor();
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

void TMainForm::ApplyEditorFont(const FontSpec& spec) {
    const QFont font = FontFromSpec(spec);
    cardMemo_->setFont(font);
    indexList_->setFont(font);
    for (QWidget* w : {static_cast<QWidget*>(cardMemo_), static_cast<QWidget*>(indexList_)}) {
        QPalette p = w->palette();
        const QColor color = ColorFromSpec(spec.color, QApplication::palette());
        p.setColor(QPalette::Active, QPalette::Text, color);
        p.setColor(QPalette::Inactive, QPalette::Text, color);
        w->setPalette(p);
    }
    const CodePage cp = CodePageForCharset(spec.charset);
    if (cp != editor_->GetCodePage()) {
        // Text already in the editor keeps its characters: it is re-read in the new code page.
        const std::vector<std::string> lines = editor_->Lines();
        editor_->SetCodePage(cp);
        if (!lines.empty()) {
            const bool blocked = cardMemo_->blockSignals(true);
            editor_->SetLines(lines);
            cardMemo_->blockSignals(blocked);
        }
        model_->SetCodePage(cp);
    }
}

void TMainForm::ApplyWordWrap(bool wordWrap) {
    cardMemo_->setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    cardMemo_->setHorizontalScrollBarPolicy(wordWrap ? Qt::ScrollBarAlwaysOff
                                                     : Qt::ScrollBarAlwaysOn);
    cardMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TMainForm::ApplyPlacement(const FileSettings& s) {
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        setWindowState(Qt::WindowNoState);
    }
    resize(s.clientWidth, s.clientHeight + MenuBarHeight());
    move(s.left, s.top);
    rememberedClientHeight_ = s.clientHeight;
    rememberedClientWidth_ = s.clientWidth;
    rememberedTop_ = s.top;
    rememberedLeft_ = s.left;
}

void TMainForm::ApplySettingsToWindow(const FileSettings& s) {
    ApplyEditorFont(s.font);
    ApplyWordWrap(s.wordWrap);
    SetMenuSearchItemsFromVariables();

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
        setWindowState(StateFor(s.windowState));
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

void TMainForm::CaptureWindowSettings(FileSettings& s) {
    s.clientHeight = rememberedClientHeight_;
    s.clientWidth = rememberedClientWidth_;
    s.top = rememberedTop_;
    s.left = rememberedLeft_;
    const Qt::WindowStates state = windowState();
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
