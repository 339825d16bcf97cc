// The window tests need a QApplication; without a display they run on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QUrl>
#include <cstdlib>

#include "app/help.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // No browser may open while the tests run.
    tabellan::SetHelpOpener([](const QUrl&) {});
    return RUN_ALL_TESTS();
}
