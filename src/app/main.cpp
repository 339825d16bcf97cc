// Program entry: the application, its main window, and the message loop.
#include <QApplication>
#include <QIcon>

#include "app/main_window.h"
#include "tabellan_version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabellan"));
    QApplication::setApplicationVersion(QString::fromLatin1(tabellan::kVersion));
    QApplication::setOrganizationName(QStringLiteral("Velmorn"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    tabellan::MainWindowOptions options;
    options.params = QApplication::arguments().mid(1);
    tabellan::TMainForm window(std::move(options));
    window.show();
    return QApplication::exec();
}
