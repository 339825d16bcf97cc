#include "phone/port_device_advice.h"

#include <grp.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace tabellan {
namespace {

namespace fs = std::filesystem;

// Holders named before the rest are left out.
constexpr std::size_t kShownHolders = 5;

bool SameFile(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) {
        return a.st_rdev == b.st_rdev;
    }
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool AllDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(uint8_t(c)); });
}

std::string GroupOf(const std::string& devicePath) {
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) != 0 || st.st_gid == 0) {
        return "dialout";
    }
    const group* g = ::getgrgid(st.st_gid);
    return g != nullptr ? g->gr_name : "dialout";
}

std::string PermissionAdvice(const std::string& devicePath) {
    const std::string group = GroupOf(devicePath);
    return "Serial devices belong to the group " + group +
           ", and only its members may use them. Add yourself to it with\r\n"
           "    sudo usermod -aG " +
           group +
           " $USER\r\n"
           "and log out and in again for it to take effect.";
}

std::string BusyAdvice(const std::string& devicePath, const std::string& procRoot) {
    const std::vector<std::string> holders = DeviceHolders(devicePath, procRoot);
    std::string text;
    if (holders.empty()) {
        text = "Another program has the device open.";
    } else {
        text = "The device is in use by ";
        for (std::size_t i = 0; i < holders.size() && i < kShownHolders; ++i) {
            text += (i == 0 ? "" : ", ") + holders[i];
        }
        text += holders.size() > kShownHolders ? " and others." : ".";
    }
    return text +
           "\r\nModemManager takes phones and modems for itself unless a udev rule marks the "
           "device with ENV{ID_MM_DEVICE_IGNORE}=\"1\".";
}

}  // namespace

std::vector<std::string> DeviceHolders(const std::string& devicePath, const std::string& procRoot) {
    std::vector<std::string> holders;
    struct stat device {};
    if (::stat(devicePath.c_str(), &device) != 0) {
        return holders;
    }
    std::error_code error;
    for (const fs::directory_entry& process : fs::directory_iterator(procRoot, error)) {
        const std::string pid = process.path().filename().string();
        if (!AllDigits(pid)) {
            continue;
        }
        std::error_code fdError;
        for (const fs::directory_entry& fd :
             fs::directory_iterator(process.path() / "fd", fdError)) {
            struct stat open {};
            if (::stat(fd.path().c_str(), &open) == 0 && SameFile(open, device)) {
                std::ifstream comm(process.path() / "comm");
                std::string name;
                std::getline(comm, name);
                holders.push_back((name.empty() ? "a process" : name) + " (pid " + pid + ")");
                break;
            }
        }
    }
    std::sort(holders.begin(), holders.end());
    return holders;
}

std::string PortOpenAdvice(int errorCode, const std::string& devicePath,
                           const std::string& procRoot) {
    switch (errorCode) {
        case EACCES:
        case EPERM:
            return PermissionAdvice(devicePath);
        case EBUSY:
            return BusyAdvice(devicePath, procRoot);
        default:
            return {};
    }
}

}  // namespace tabellan
