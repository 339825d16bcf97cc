#include "app/recent_files.h"

#include "cardfile/text_util.h"

namespace tabellan {

void RecentFiles::Load(const std::array<QString, kCount>& stored) {
    paths_ = {};
    std::size_t next = 0;
    for (const QString& path : stored) {
        if (!path.isEmpty()) {
            paths_[next++] = path;
        }
    }
}

void RecentFiles::Add(const QString& path) {
    // The entry that matches decides how far the others move down; with none, all do. Names
    // are compared exactly: on this system CONTACTS.csv and contacts.csv are two files.
    int match = kCount - 1;
    for (int i = kCount - 1; i >= 0; --i) {
        if (paths_[static_cast<std::size_t>(i)] == path) {
            match = i;
            break;
        }
    }
    for (int i = match; i > 0; --i) {
        paths_[static_cast<std::size_t>(i)] = paths_[static_cast<std::size_t>(i - 1)];
    }
    paths_[0] = path;
}

void RecentFiles::Clear() {
    paths_ = {};
}

bool RecentFiles::Any() const {
    for (const QString& p : paths_) {
        if (!p.isEmpty()) {
            return true;
        }
    }
    return false;
}

QString RecentFiles::Caption(int i) const {
    // File names are UTF-8 on this system; the menu rule is the library's.
    return QStringLiteral("&%1 ").arg(i + 1) +
           QString::fromStdString(DoubleAmpersands(Path(i).toStdString()));
}

}  // namespace tabellan
