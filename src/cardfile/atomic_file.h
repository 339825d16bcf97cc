#pragma once
// Writes a file under a temporary name in the target's folder; only Commit() (flush, fsync,
// rename) puts it under the target's name. Destroyed uncommitted, it removes the temporary
// file, so a failed write never leaves a half-written file behind and never touches the
// target. The new file gets the permission bits of the file it replaces, or 0666 minus the
// umask for a new file. A target that is a symbolic link is written through: the file the
// link points to is replaced and the link stays.
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
    // Finish() if needed, then rename over the target. Throws EInOutError; on any failure the
    // temporary file is removed and the target is as it was.
    void Commit();
    // Removes the temporary file now (also done by the destructor when not committed).
    void Abandon();

    const std::string& TargetPath() const { return target_; }
    const std::string& TempPath() const { return temp_; }
    bool Committed() const { return committed_; }

  private:
    void FlushBuffer();
    void Fail(int err);  // closes, removes the temporary file, throws EInOutError
    std::string target_;
    std::string realTarget_;  // target_ with a symbolic link resolved
    std::string temp_;
    std::string buffer_;
    int fd_ = -1;
    bool committed_ = false;
    bool finished_ = false;
};

// THE message format for every system input/output failure of the card-file library
// (reading, writing, renaming): the path, a colon, a space and the system's text for the
// error number (strerror), e.g. "/home/u/cards.csv: No such file or directory" or
// "cards.csv: No space left on device". EInOutError carries exactly this text.
std::string SystemMessage(const std::string& path, int err);

}  // namespace tabellan
