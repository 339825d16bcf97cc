// The command-line tool finds the desktop program's data folder without Qt; both must keep
// the phonebook backups in the same place.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "phone/phonebook_backup.h"

namespace tabellan {
namespace {

class DataFolderEnvironment {
  public:
    DataFolderEnvironment() {
        for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
        organisation_ = QCoreApplication::organizationName();
        application_ = QCoreApplication::applicationName();
        // The names the desktop program gives itself at start.
        QCoreApplication::setOrganizationName(QStringLiteral("Velmorn"));
        QCoreApplication::setApplicationName(QStringLiteral("Tabellan"));
    }
    ~DataFolderEnvironment() {
        const char* names[] = {"XDG_DATA_HOME", "HOME"};
        for (int i = 0; i < 2; ++i) {
            if (saved_[i]) {
                ::setenv(names[i], saved_[i]->c_str(), 1);
            } else {
                ::unsetenv(names[i]);
            }
        }
        QCoreApplication::setOrganizationName(organisation_);
        QCoreApplication::setApplicationName(application_);
    }

  private:
    std::vector<std::optional<std::string>> saved_;
    QString organisation_;
    QString application_;
};

TEST(PhonebookBackupFolder, SameAsTheWindowsApplicationDataLocation) {
    const DataFolderEnvironment environment;
    ::setenv("HOME", "/home/someone", 1);
    for (const char* xdg : {"", "/var/data", "relative/data"}) {
        ::setenv("XDG_DATA_HOME", xdg, 1);
        EXPECT_EQ(DefaultPhonebookBackupFolder(),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString())
            << "XDG_DATA_HOME=" << xdg;
    }
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(DefaultPhonebookBackupFolder(),
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
}

}  // namespace
}  // namespace tabellan
