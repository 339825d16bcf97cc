#include "app/recent_files_menu.h"

#include <QAction>

#include "app/app_settings.h"

namespace tabellan {

RecentFilesMenu::RecentFilesMenu(AppSettings& settings,
                                 std::array<QAction*, RecentFiles::kCount> entries,
                                 QAction& separator, QAction& clearRecent,
                                 std::function<void(const QString&)> open, QObject* parent)
    : QObject(parent),
      settings_(settings),
      entries_(entries),
      separator_(separator),
      clearRecent_(clearRecent),
      open_(std::move(open)) {
    setObjectName(QStringLiteral("RecentFilesMenu"));
}

void RecentFilesMenu::ReadRecentFilesFromRegistry() {
    recent_.Load(settings_.RecentFiles());
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        SetRecentFileItem(i);
    }
}

void RecentFilesMenu::WriteRecentFilesToRegistry() {
    settings_.WriteRecentFiles(recent_.Paths());
    clearRecent_.setEnabled(recent_.Any());
}

void RecentFilesMenu::SetRecentFileItem(int entry) {
    QAction* item = entries_[static_cast<std::size_t>(entry)];
    const bool used = !recent_.Path(entry).isEmpty();
    item->setText(recent_.Caption(entry));
    item->setVisible(used);
    if (used) {
        separator_.setVisible(true);
    }
}

void RecentFilesMenu::AddRecentFile(const QString& path) {
    recent_.Add(path);
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        SetRecentFileItem(i);
    }
    WriteRecentFilesToRegistry();
}

void RecentFilesMenu::mnuFileClearRecentClick() {
    separator_.setVisible(false);
    recent_.Clear();
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        SetRecentFileItem(i);
    }
    WriteRecentFilesToRegistry();
}

void RecentFilesMenu::FileItemClick(int entry) {
    // Not tested for existence: a missing file fails in the reader and stays listed.
    open_(recent_.Path(entry));
}

}  // namespace tabellan
