#pragma once
// Writes a file under a temporary name in the target's folder; only Commit() (flush, fsync,
// rename) puts it under the target's name. Destroyed uncommitted, it removes the temporary
// file, so a failed write never leaves a half-written file behind.
#include <string>
#include <string_view>

namespace tabellan {

class AtomicFile {
  public:
    explicit AtomicFile(std::string targetPath);  // throws EInOutError
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(std::string_view data);  // buffered; throws EInOutError
    // Flushes and syncs the temporary file and closes it, without renaming yet.
    void Finish();
    // Finish() if needed, then rename over the target.
    void Commit();

    const std::string& TargetPath() const { return target_; }
    const std::string& TempPath() const { return temp_; }

  private:
    void FlushBuffer();
    std::string target_;
    std::string temp_;
    std::string buffer_;
    int fd_ = -1;
    bool committed_ = false;
};

// The system's message for errno, with the path in front: "path: No such file or directory".
std::string SystemMessage(const std::string& path, int err);

}  // namespace tabellan
