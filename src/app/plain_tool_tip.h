#pragma once
// A tool tip renders its text as markup when the text looks like markup; card and file text
// shown in one must read exactly as typed.
#include <QString>
#include <QTextDocument>

namespace tabellan {

inline QString PlainToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

}  // namespace tabellan
