#pragma once
// The lock file QSettings takes while it writes a settings file (<file>.lock): created
// exclusively, holding the writer's process id, program, host, machine and boot ids, and
// locked with flock for as long as it exists. Taking it waits for another holder; a lock
// whose holder is gone (nobody holds its flock and its process is not running, or it is
// older than QSettings' stale time) is removed.
#include <string>

#include "phone/unique_fd.h"

namespace tabellan {

class SettingsFileLock {
  public:
    // Throws EInOutError when the lock stays taken or cannot be created.
    explicit SettingsFileLock(std::string path);
    ~SettingsFileLock();
    SettingsFileLock(const SettingsFileLock&) = delete;
    SettingsFileLock& operator=(const SettingsFileLock&) = delete;

  private:
    bool TryCreate();
    void RemoveIfStale() const;

    std::string path_;
    UniqueFd fd_;
};

}  // namespace tabellan
