#pragma once
// The system calls by which a save writes, syncs, names and removes files. They go through
// here so that a test can make any single one of them fail as a full disk or a failing
// device would (fault injection); without a hook each is the plain call.
#include <sys/types.h>

#include <functional>
#include <string_view>

namespace tabellan::sys {

enum class Call { Open, Write, Read, Fsync, Close, Chmod, Rename, Link, Unlink };
const char* CallName(Call call);

// Asked before every call with its kind and path ("" for a call on a descriptor): 0 lets
// the call run, an errno value makes it fail with that error instead. A failed Close still
// releases the descriptor, as close() does.
using FaultHook = std::function<int(Call call, std::string_view path)>;
void SetFaultHook(FaultHook hook);  // an empty hook removes it

int Open(const char* path, int flags, mode_t mode = 0);
int OpenAt(int dirFd, const char* path, int flags, mode_t mode = 0);
// mkostemp with O_CLOEXEC: pattern ends in XXXXXX and receives the name.
int MakeTemp(char* pattern);
ssize_t Write(int fd, const void* data, std::size_t size);
ssize_t Read(int fd, void* data, std::size_t size);
int Fsync(int fd);
int Close(int fd);
int Fchmod(int fd, mode_t mode);
int Rename(const char* from, const char* to);
// renameat2 with RENAME_NOREPLACE: fails with EEXIST instead of replacing.
int RenameNoReplace(const char* from, const char* to);
int Link(const char* from, const char* to);
// linkat(AT_FDCWD, from, AT_FDCWD, to, AT_SYMLINK_FOLLOW): names an unnamed file through
// its /proc/self/fd entry.
int LinkFollow(const char* from, const char* to);
int Unlink(const char* path);

}  // namespace tabellan::sys
