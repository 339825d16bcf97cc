#include "phone/phonebook_backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "cardfile/atomic_file.h"
#include "cardfile/errors.h"
#include "phone/phonebook_reading.h"

namespace tabellan {
namespace {

constexpr int kMaxNameTries = 1000;

std::string Formatted(const char* format, const std::tm& when) {
    char buffer[64];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &when);
    return std::string(buffer, n);
}

// mkdir -p with private permissions for the folders it creates.
void MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            throw EInOutError(SystemMessage(part, errno));
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

void WriteAll(int fd, const std::string& path, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw EInOutError(SystemMessage(path, n < 0 ? errno : EIO));
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::fsync(fd) != 0) {
        throw EInOutError(SystemMessage(path, errno));
    }
}

}  // namespace

std::string DefaultPhonebookBackupFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] != '\0') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.local/share";
    }
    return base + "/Velmorn/Tabellan";
}

std::string PhonebookBackupName(std::tm when, std::string_view storageCode) {
    std::string storage;
    for (const char c : storageCode) {
        const bool plain =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        storage += plain ? c : '_';
    }
    return "phonebook-" + Formatted("%Y%m%d-%H%M%S", when) + "-" + storage + ".txt";
}

std::string PhonebookBackupText(std::tm when, std::string_view storageCode,
                                const std::vector<std::string>& entries) {
    const std::string index = "Phonebook " + std::string(storageCode) + " as read on " +
                              Formatted("%Y-%m-%d %H:%M:%S", when);
    return PhonebookCardText(index, entries);
}

std::string WritePhonebookBackup(const std::string& folder, std::string_view storageCode,
                                 const std::vector<std::string>& entries) {
    if (folder.empty()) {
        throw EInOutError("No folder for the backup of the phone's entries");
    }
    MakeFolders(folder);
    const std::time_t now = std::time(nullptr);
    std::tm when{};
    localtime_r(&now, &when);
    const std::string base = folder + "/" + PhonebookBackupName(when, storageCode);
    const std::string stem = base.substr(0, base.size() - 4);
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::string path =
            attempt == 1 ? base : stem + "-" + std::to_string(attempt) + ".txt";
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            throw EInOutError(SystemMessage(path, errno));
        }
        try {
            WriteAll(fd, path, PhonebookBackupText(when, storageCode, entries));
        } catch (...) {
            ::close(fd);
            ::unlink(path.c_str());
            throw;
        }
        if (::close(fd) != 0) {
            const int err = errno;
            ::unlink(path.c_str());
            throw EInOutError(SystemMessage(path, err));
        }
        return path;
    }
    throw EInOutError(SystemMessage(base, EEXIST));
}

}  // namespace tabellan
