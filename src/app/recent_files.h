#pragma once
// The four most recently opened or saved card files of the File menu.
#include <QString>
#include <array>

namespace tabellan {

class RecentFiles {
  public:
    static constexpr int kCount = 4;

    // From the stored values File1..File4: empty values are skipped, the rest move up.
    void Load(const std::array<QString, kCount>& stored);
    // path becomes entry 1; an entry with the same name (letter case counts) moves up from
    // its place, otherwise entry 4 drops out.
    void Add(const QString& path);
    void Clear();

    const QString& Path(int i) const { return paths_[static_cast<std::size_t>(i)]; }  // 0..3
    const std::array<QString, kCount>& Paths() const { return paths_; }
    bool Any() const;
    // "&" + n + " " + path, n counted from 1; an "&" of the path is doubled for the menu.
    QString Caption(int i) const;

  private:
    std::array<QString, kCount> paths_;
};

}  // namespace tabellan
