#pragma once
// A folder of its own for a test or a benchmark, removed with everything in it afterwards,
// and the small file helpers the tests share.
#include <cstddef>
#include <filesystem>
#include <string>

namespace tabellan::test {

class TempFolder {
  public:
    // A new empty folder under the system's temporary folder; prefix starts its name.
    explicit TempFolder(const std::string& prefix = "tabellan");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of name inside the folder.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string operator/(const std::string& name) const { return File(name); }
    // Files and folders directly inside.
    std::size_t EntryCount() const;

  private:
    std::filesystem::path path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);

}  // namespace tabellan::test
