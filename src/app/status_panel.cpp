#include "app/status_panel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

#include "app/plain_tool_tip.h"

namespace tabellan {

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

int StatusPanel::TextInset() const {
    // Where QLabel puts the text of a framed label.
    return (indent() >= 0
                ? indent()
                : (frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0)) +
           margin();
}

void StatusPanel::FitWidthTo(const QStringList& texts, int minimumWidth) {
    fitTexts_ = texts;
    minimumWidth_ = minimumWidth;
    ApplyFit();
}

void StatusPanel::ApplyFit() {
    int widest = 0;
    for (const QString& t : fitTexts_) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(t));
    }
    // One pixel to spare for rounding.
    setFixedWidth(std::max(minimumWidth_, widest + 2 * TextInset() + 2 * frameWidth() + 1));
}

QString StatusPanel::ShownText() const {
    const int room = contentsRect().width() - 2 * TextInset();
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, std::max(room, 0));
}

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const int inset = TextInset();
    const QRect area = contentsRect().adjusted(inset, 0, -inset, 0);
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), ShownText(), foregroundRole());
}

bool StatusPanel::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        if (Shortened()) {
            QToolTip::showText(help->globalPos(), PlainToolTip(text()), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QLabel::event(e);
}

void StatusPanel::changeEvent(QEvent* e) {
    QLabel::changeEvent(e);
    if (e->type() == QEvent::FontChange && !fitTexts_.isEmpty()) {
        ApplyFit();
    }
}

}  // namespace tabellan
