#pragma once
// Writes a file so that its name only ever shows the old or the complete new contents.
//
// The new contents go into an unnamed file in the target's folder (O_TMPFILE) where the file
// system supports it, otherwise under a temporary name beside the target. Only Commit()
// (flush, fsync, then naming) puts the file under the target's name. Destroyed uncommitted,
// it leaves nothing behind, and a process killed while writing leaves no file at all when
// the file was unnamed.
//
// The new file gets the permission bits of the file it replaces, or 0666 minus the umask for
// a new file, and never more than the optional cap (a file written beside a card file takes
// at most the card file's permissions). A target that is a symbolic link is written
// through: the link is resolved once, here; the file it points to is replaced, the link stays.
#include <optional>
#include <string>
#include <string_view>

namespace tabellan {

class AtomicFile {
  public:
    // Throws EInOutError. permissionCap: the bits the new file never exceeds.
    explicit AtomicFile(std::string targetPath,
                        std::optional<unsigned> permissionCap = std::nullopt);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(std::string_view data);  // buffered; throws EInOutError
    // Flushes and syncs the new file, without naming it yet.
    void Finish();
    // Finish() if needed, then replace the target. Throws EInOutError; on any failure nothing
    // is left behind and the target is as it was.
    void Commit();
    // The same, but only when nothing exists under the target's name (EEXIST otherwise).
    void CommitWithoutReplacing();
    // Drops the new file now (also done by the destructor when not committed).
    void Abandon();

    // The name as given, for messages.
    const std::string& TargetPath() const { return target_; }
    // The file that is replaced: the target with its symbolic links resolved.
    const std::string& RealTargetPath() const { return realTarget_; }
    // The temporary name while the file has one; empty while it is unnamed.
    const std::string& TempPath() const { return temp_; }
    bool Committed() const { return committed_; }

  private:
    bool OpenUnnamed(const std::string& folder, unsigned mode);
    void OpenNamed(unsigned mode);
    void FlushBuffer();
    void CloseDescriptor();
    std::string LinkUnderTemporaryName();
    void Fail(int err);  // drops the new file, throws EInOutError
    std::string target_;
    std::string realTarget_;
    std::string temp_;
    std::string buffer_;
    int fd_ = -1;
    bool unnamed_ = false;
    bool committed_ = false;
    bool finished_ = false;
};

// The path with its symbolic links followed to the file they name. A link whose target does
// not exist (yet) resolves to that target; a path that is no link comes back as it is.
std::string ResolveSymbolicLinks(const std::string& path);

// THE message format for every system input/output failure of the card-file library
// (reading, writing, renaming): the path, a colon, a space and the system's text for the
// error number (strerror), e.g. "/home/u/cards.csv: No such file or directory" or
// "cards.csv: No space left on device". EInOutError carries exactly this text.
std::string SystemMessage(const std::string& path, int err);

}  // namespace tabellan
