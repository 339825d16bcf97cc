// The tool bar's glyphs: every button has one, and a disabled button is plain at a glance on
// a light and on a dark theme.
#include "app/tool_icons.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "app/command_table.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The pixmap as it shows on a background of that colour.
QImage OnBackground(const QPixmap& pixmap, QColor background) {
    QImage image(pixmap.size(), QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.drawPixmap(0, 0, pixmap);
    return image;
}

// Mean difference in grey level, over the pixels the enabled glyph draws.
double MeanDifference(const QPixmap& enabled, const QPixmap& disabled, QColor background) {
    const QImage glyph = enabled.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage a = OnBackground(enabled, background);
    const QImage b = OnBackground(disabled, background);
    double sum = 0;
    int drawn = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (qAlpha(glyph.pixel(x, y)) < 128) {
                continue;
            }
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
            ++drawn;
        }
    }
    return drawn == 0 ? 0 : sum / drawn;
}

// How many grey levels the glyph differs from the background it is drawn on, on average.
double Contrast(const QPixmap& pixmap, QColor background) {
    const QImage shown = OnBackground(pixmap, background);
    const QImage glyph = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int drawn = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (qAlpha(glyph.pixel(x, y)) >= 128) {
                sum += std::abs(qGray(shown.pixel(x, y)) - qGray(background.rgb()));
                ++drawn;
            }
        }
    }
    return drawn == 0 ? 0 : sum / drawn;
}

const QColor kLight(0xef, 0xef, 0xef);
const QColor kDark(0x2b, 0x2b, 0x2b);

class ToolIconsTest : public WindowTest {};

// An icon theme of two glyphs in the test's folder, the desktop's theme while it lives.
class FakeIconTheme {
  public:
    explicit FakeIconTheme(const QString& folder)
        : name_(QIcon::themeName()), paths_(QIcon::themeSearchPaths()) {
        const QString actions = folder + "/tabellan-test/scalable/actions";
        QDir().mkpath(actions);
        WriteBytes((folder + "/tabellan-test/index.theme").toStdString(),
                   "[Icon Theme]\nName=tabellan-test\nDirectories=scalable/actions\n\n"
                   "[scalable/actions]\nSize=24\nMinSize=8\nMaxSize=512\nType=Scalable\n");
        // A pale grey page, and a dark blue square.
        WriteBytes((actions + "/document-new.svg").toStdString(), Square("#d8d8d8"));
        WriteBytes((actions + "/document-open.svg").toStdString(), Square("#204a87"));
        QIcon::setThemeSearchPaths({folder});
        QIcon::setThemeName(QStringLiteral("tabellan-test"));
    }
    ~FakeIconTheme() {
        QIcon::setThemeSearchPaths(paths_);
        QIcon::setThemeName(name_);
    }
    FakeIconTheme(const FakeIconTheme&) = delete;
    FakeIconTheme& operator=(const FakeIconTheme&) = delete;

  private:
    static std::string Square(const char* colour) {
        return std::string(R"(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24">)") +
               R"(<rect x="2" y="2" width="20" height="20" fill=")" + colour + R"("/></svg>)";
    }
    QString name_;
    QStringList paths_;
};

QImage Glyph(const QIcon& icon) {
    return icon.pixmap(QSize(24, 24)).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST_F(ToolIconsTest, TheThemesGlyphIsUsedWhereItStandsOutFromTheToolBar) {
    const FakeIconTheme theme(FilePath("icons"));
    const QImage ownNew = Glyph(ToolIcon({{}, "new"}, kLight));
    const QImage ownOpen = Glyph(ToolIcon({{}, "open"}, kLight));
    // A pale glyph on a light tool bar would look disabled: the program's drawing instead.
    EXPECT_EQ(Glyph(ToolIcon({"document-new", "new"}, kLight)), ownNew);
    // On a dark tool bar the same glyph stands out.
    const QImage paleOnDark = Glyph(ToolIcon({"document-new", "new"}, kDark));
    EXPECT_NE(paleOnDark, ownNew);
    EXPECT_EQ(QColor(paleOnDark.pixel(12, 12)), QColor("#d8d8d8"));
    // A strong glyph is the theme's on both.
    for (const QColor& background : {kLight, kDark}) {
        const QImage open = Glyph(ToolIcon({"document-open", "open"}, background));
        EXPECT_NE(open, ownOpen);
        EXPECT_EQ(QColor(open.pixel(12, 12)), QColor("#204a87"));
    }
    // A name the theme lacks: the program's drawing.
    EXPECT_EQ(Glyph(ToolIcon({"go-up", "update-phonebook"}, kLight)),
              Glyph(ToolIcon({{}, "update-phonebook"}, kLight)));
}

TEST_F(ToolIconsTest, EveryButtonHasAGlyphWhoseDisabledFormIsPlainlyDifferent) {
    Make();
    int buttons = 0;
    for (const CommandEntry& command : CommandTable()) {
        if (command.button.empty()) {
            continue;
        }
        ++buttons;
        auto* button = window->findChild<QToolButton*>(Latin1(command.button));
        ASSERT_NE(button, nullptr) << command.button;
        const QIcon icon = button->icon();
        ASSERT_FALSE(icon.isNull()) << command.button;
        const QPixmap enabled = icon.pixmap(QSize(24, 24), QIcon::Normal);
        const QPixmap disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled);
        ASSERT_FALSE(enabled.isNull()) << command.button;
        ASSERT_EQ(enabled.size(), disabled.size()) << command.button;
        for (const QColor& theme : {kLight, kDark}) {
            // Themes that greyed their own grey icons left 3 to 5 grey levels between them.
            EXPECT_GT(MeanDifference(enabled, disabled, theme), 30.0)
                << command.button << " on " << theme.name().toStdString();
            EXPECT_GT(Contrast(enabled, theme), 2 * Contrast(disabled, theme))
                << command.button << " on " << theme.name().toStdString();
        }
    }
    EXPECT_EQ(buttons, 23);
}

TEST_F(ToolIconsTest, EveryBundledDrawingLoadsAndDiffersFromTheOthers) {
    std::vector<QImage> drawings;
    for (const CommandEntry& command : CommandTable()) {
        if (command.button.empty()) {
            continue;
        }
        // Without a theme name the drawing stands in for any theme.
        const QIcon icon = ToolIcon({{}, command.glyph.bundled}, kLight);
        const QImage image = icon.pixmap(QSize(24, 24)).toImage();
        ASSERT_EQ(image.size(), QSize(24, 24)) << command.glyph.bundled;
        // As clear as a theme's glyph must be to replace it.
        EXPECT_GE(GlyphContrast(icon, kLight), 60.0) << command.glyph.bundled;
        EXPECT_GT(Contrast(QPixmap::fromImage(image), kLight), 20.0) << command.glyph.bundled;
        EXPECT_GT(Contrast(QPixmap::fromImage(image), kDark), 20.0) << command.glyph.bundled;
        for (const QImage& other : drawings) {
            EXPECT_NE(image, other) << command.glyph.bundled;
        }
        drawings.push_back(image);
    }
    // A name that is no drawing gives no glyph, rather than an empty square.
    EXPECT_TRUE(ToolIcon({{}, "no-such-drawing"}, kLight).pixmap(QSize(24, 24)).isNull());
}

TEST_F(ToolIconsTest, ADisabledButtonIsDrawnFaded) {
    Make();
    auto* button = window->findChild<QToolButton*>("sbNew");
    ASSERT_NE(button, nullptr);
    QAction* action = window->Action("sbNew");
    action->setEnabled(true);
    const QImage enabled = button->grab().toImage();
    action->setEnabled(false);
    const QImage disabled = button->grab().toImage();
    ASSERT_EQ(enabled.size(), disabled.size());
    // How far the button's pixels stand from its background (a corner), on average.
    const auto standOut = [](const QImage& image) {
        const int background = qGray(image.pixel(0, 0));
        double sum = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                sum += std::abs(qGray(image.pixel(x, y)) - background);
            }
        }
        return sum / (image.width() * image.height());
    };
    EXPECT_GT(standOut(enabled), 2.5 * standOut(disabled));
}

}  // namespace
}  // namespace tabellan::test
