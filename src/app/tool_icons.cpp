#include "app/tool_icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

// The resources are linked into a static library: nothing else would pull them in.
static void InitToolIconResources() {
    Q_INIT_RESOURCE(tool_icons);
}

namespace tabellan {

namespace {

constexpr int kProbeSize = 24;
// Theme glyphs below this stood out so little from a light tool bar that users took the
// enabled buttons for disabled ones; the program's drawings all lie well above it.
constexpr double kMinThemeContrast = 60.0;

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The icon it wraps for every state but Disabled, which it fades itself.
class FadedDisabledEngine : public QIconEngine {
  public:
    explicit FadedDisabledEngine(QIcon icon) : icon_(std::move(icon)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = scaledPixmap(rect.size(), mode, state, ratio);
        painter->drawPixmap(rect, pm);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        if (mode == QIcon::Disabled) {
            return FadedPixmap(icon_.pixmap(size, scale, QIcon::Normal, state));
        }
        return icon_.pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon_.actualSize(size, mode == QIcon::Disabled ? QIcon::Normal : mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon_.availableSizes(mode == QIcon::Disabled ? QIcon::Normal : mode, state);
    }
    QString iconName() override { return icon_.name(); }
    bool isNull() override { return icon_.isNull(); }
    QString key() const override { return QStringLiteral("FadedDisabledEngine"); }
    QIconEngine* clone() const override { return new FadedDisabledEngine(icon_); }

  private:
    QIcon icon_;
};

}  // namespace

QPixmap FadedPixmap(const QPixmap& enabled) {
    QImage image = enabled.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Grey at the glyph's own lightness, at a third of its opacity: it takes on the
            // colour of whatever lies beneath, light or dark.
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 10);
        }
    }
    QPixmap faded = QPixmap::fromImage(image);
    faded.setDevicePixelRatio(enabled.devicePixelRatio());
    return faded;
}

double GlyphContrast(const QIcon& icon, const QColor& background) {
    const QImage image =
        icon.pixmap(QSize(kProbeSize, kProbeSize)).toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 128) {
                continue;
            }
            sum += std::max({std::abs(qRed(line[x]) - background.red()),
                             std::abs(qGreen(line[x]) - background.green()),
                             std::abs(qBlue(line[x]) - background.blue())});
            ++drawn;
        }
    }
    return drawn == 0 ? 0 : sum / drawn;
}

QIcon ToolIcon(const ToolGlyph& glyph, const QColor& background) {
    InitToolIconResources();
    QIcon icon(QStringLiteral(":/icons/toolbar/%1.svg").arg(Latin1(glyph.bundled)));
    if (!glyph.theme.empty()) {
        const QIcon themed = QIcon::fromTheme(Latin1(glyph.theme));
        if (!themed.isNull() && GlyphContrast(themed, background) >= kMinThemeContrast) {
            icon = themed;
        }
    }
    // QIcon owns its engine.
    return QIcon(new FadedDisabledEngine(icon));
}

}  // namespace tabellan
