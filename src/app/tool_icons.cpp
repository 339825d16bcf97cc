#include "app/tool_icons.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace tabellan {

namespace {

struct IconSpec {
    const char* theme;  // freedesktop icon name
    const char* badge;  // letters of the drawn fallback
    QRgb color;
};

const QHash<QString, IconSpec>& Specs() {
    static const QHash<QString, IconSpec> specs = {
        {QStringLiteral("sbNew"), {"document-new", "N", 0x3c6eb4}},
        {QStringLiteral("sbOpen"), {"document-open", "O", 0x3c6eb4}},
        {QStringLiteral("sbSave"), {"document-save", "S", 0x3c6eb4}},
        {QStringLiteral("sbSetup"), {"document-properties", "Se", 0x3c6eb4}},
        {QStringLiteral("sbCut"), {"edit-cut", "X", 0x5a8c32}},
        {QStringLiteral("sbCopy"), {"edit-copy", "C", 0x5a8c32}},
        {QStringLiteral("sbPaste"), {"edit-paste", "P", 0x5a8c32}},
        {QStringLiteral("sbUndo"), {"edit-undo", "U", 0x5a8c32}},
        {QStringLiteral("sbSearchIndex"), {"edit-find", "Fi", 0xb4780a}},
        {QStringLiteral("sbSearchWholeFile"), {"system-search", "Ff", 0xb4780a}},
        {QStringLiteral("sbSearchCurrentCard"), {"edit-find-replace", "Fc", 0xb4780a}},
        {QStringLiteral("sbAdd"), {"list-add", "+", 0x8c3c8c}},
        {QStringLiteral("sbDeleteCard"), {"list-remove", "-", 0x8c3c8c}},
        {QStringLiteral("sbDuplicate"), {"edit-copy", "D", 0x8c3c8c}},
        {QStringLiteral("sbRestore"), {"document-revert", "R", 0x8c3c8c}},
        {QStringLiteral("sbPrint"), {"document-print", "Pr", 0x8c3c8c}},
        {QStringLiteral("sbCardInfo"), {"dialog-information", "i", 0x8c3c8c}},
        {QStringLiteral("sbCardAutodial"), {"call-start", "Ad", 0x8c3c8c}},
        {QStringLiteral("sbCardExecute"), {"system-run", "Ex", 0x8c3c8c}},
        {QStringLiteral("sbMobileInfo"), {"phone", "Mi", 0x2d8c8c}},
        {QStringLiteral("sbPBRead"), {"go-down", "Rd", 0x2d8c8c}},
        {QStringLiteral("sbPBUpdate"), {"go-up", "Up", 0x2d8c8c}},
        {QStringLiteral("sbHelpTopics"), {"help-contents", "?", 0x505050}},
    };
    return specs;
}

QPixmap Badge(const QString& letters, QColor color, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(color.darker(130));
    p.setBrush(color);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 5.0, size / 5.0);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 1 ? size * 9 / 16 : size * 3 / 4);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, letters);
    return pixmap;
}

}  // namespace

QIcon ToolIcon(const QString& name) {
    const auto it = Specs().constFind(name);
    if (it == Specs().constEnd()) {
        return {};
    }
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(it->theme));
    if (!themed.isNull()) {
        return themed;
    }
    QIcon drawn;
    const QString letters = QString::fromLatin1(it->badge);
    for (int size : {16, 32}) {
        drawn.addPixmap(Badge(letters, QColor(it->color), size));
    }
    return drawn;
}

}  // namespace tabellan
