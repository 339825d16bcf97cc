#pragma once
// The File menu's four most recent card files: the entries, the separator above them and
// Clear Recent, kept in the user's settings at every change.
#include <QObject>
#include <QString>
#include <array>
#include <functional>

#include "app/recent_files.h"

class QAction;

namespace tabellan {

class AppSettings;

class RecentFilesMenu : public QObject {
    Q_OBJECT
  public:
    // entries: mnuFileItem1..4; open: opens a card file by its path.
    RecentFilesMenu(AppSettings& settings, std::array<QAction*, RecentFiles::kCount> entries,
                    QAction& separator, QAction& clearRecent,
                    std::function<void(const QString&)> open, QObject* parent);

    const RecentFiles& Files() const { return recent_; }

    void ReadRecentFilesFromRegistry();
    void WriteRecentFilesToRegistry();
    void SetRecentFileItem(int entry);  // 0..3
    // After a successful open or save.
    void AddRecentFile(const QString& path);
    void mnuFileClearRecentClick();
    void FileItemClick(int entry);

  private:
    AppSettings& settings_;
    std::array<QAction*, RecentFiles::kCount> entries_;
    QAction& separator_;
    QAction& clearRecent_;
    std::function<void(const QString&)> open_;
    RecentFiles recent_;
};

}  // namespace tabellan
