#include "app/font_mapping.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tabellan {

bool IsWindowsFixedFace(const QString& name) {
    static const QStringList kFixed = {
        QStringLiteral("Fixedsys"), QStringLiteral("Courier New"),    QStringLiteral("Courier"),
        QStringLiteral("Terminal"), QStringLiteral("Lucida Console"), QStringLiteral("Consolas"),
    };
    return kFixed.contains(name, Qt::CaseInsensitive);
}

bool DrawsFixedPitch(const QFont& font) {
    QFont probe = font;
    probe.setPixelSize(20);
    const QFontMetricsF metrics(probe);
    // Narrow and wide letters, digits and punctuation of the card text.
    static const QString kSample = QStringLiteral("iMW.l0m _|@");
    const qreal advance = metrics.horizontalAdvance(kSample.front());
    if (advance <= 0) {
        return false;
    }
    for (const QChar c : kSample) {
        if (std::abs(metrics.horizontalAdvance(c) - advance) > 0.05) {
            return false;
        }
    }
    return true;
}

QString FixedPitchFamily() {
    // The font set does not change while the program runs.
    static const QString family = [] {
        const QFont desktop = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (DrawsFixedPitch(desktop)) {
            return QFontInfo(desktop).family();
        }
        QFont typewriter(desktop);
        typewriter.setStyleHint(QFont::TypeWriter);
        typewriter.setFamilies({QStringLiteral("monospace")});
        if (DrawsFixedPitch(typewriter)) {
            return QFontInfo(typewriter).family();
        }
        // Families the font metadata calls fixed first, then the rest.
        QStringList families = QFontDatabase::families();
        std::stable_partition(families.begin(), families.end(),
                              [](const QString& f) { return QFontDatabase::isFixedPitch(f); });
        for (const QString& f : families) {
            if (!QFontDatabase::isPrivateFamily(f) && DrawsFixedPitch(QFont(f))) {
                return f;
            }
        }
        return desktop.family();
    }();
    return family;
}

namespace {

QString FamilyFor(const FontSpec& spec) {
    const QString name = QString::fromStdString(spec.name);
    if (!name.isEmpty() && QFontDatabase::hasFamily(name)) {
        return name;
    }
    if (IsWindowsFixedFace(name) || spec.pitch == 2) {
        return FixedPitchFamily();
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

}  // namespace

QFont FontFromSpec(const FontSpec& spec) {
    QFont font(FamilyFor(spec));
    if (spec.height != 0) {
        // Negative: the character height; positive: the cell height, which is close enough.
        font.setPixelSize(spec.height < 0 ? -spec.height : spec.height);
    } else if (spec.size > 0) {
        font.setPointSize(spec.size);
    }
    if (spec.pitch == 2) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

QColor ColorFromSpec(std::uint32_t color, const QPalette& palette) {
    if ((color & 0xFF000000u) == 0x80000000u) {
        // Only "window text" is a plausible card font colour; any other system colour is
        // shown as text as well.
        return palette.color(QPalette::Text);
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace tabellan
