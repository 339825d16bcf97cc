#include "cardfile/alternate_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "cardfile/atomic_file.h"
#include "cardfile/document_files.h"
#include "cardfile/errors.h"

namespace tabellan {

namespace {

constexpr std::string_view kCardFileHeader = " \",CONF";

bool SameFile(const struct stat& a, const std::string& path) {
    struct stat b {};
    return !path.empty() && ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

[[noreturn]] void Problem(const std::string& reason) {
    throw EProblemAltFile("Problem in saving alternate file.\r" + reason);
}

}  // namespace

AlternateFileState InspectAlternateFile(const std::string& alternate, const std::string& cardFile) {
    struct stat st {};
    if (::lstat(alternate.c_str(), &st) != 0) {
        // Nothing there; any other failure (no permission to look) means hands off.
        return errno == ENOENT || errno == ENOTDIR ? AlternateFileState::Missing
                                                   : AlternateFileState::Foreign;
    }
    if (::stat(alternate.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return AlternateFileState::Foreign;
    }
    if (SameFile(st, cardFile)) {
        return AlternateFileState::CardFileItself;
    }
    std::string head;
    if (!ReadFilePrefix(alternate, kCardFileHeader.size(), head)) {
        return AlternateFileState::Foreign;
    }
    if (head == kCardFileHeader) {
        return AlternateFileState::OwnCopy;
    }
    std::string copy;
    std::string original;
    return !cardFile.empty() && ReadFilePrefix(cardFile, std::string::npos, original) &&
                   static_cast<std::size_t>(st.st_size) == original.size() &&
                   ReadFilePrefix(alternate, std::string::npos, copy) && copy == original
               ? AlternateFileState::OwnCopy
               : AlternateFileState::Foreign;
}

std::optional<std::string> CheckAlternateFileName(const std::string& alternate,
                                                  const std::string& cardFile) {
    if (alternate.empty()) {
        return std::nullopt;
    }
    switch (InspectAlternateFile(alternate, cardFile)) {
        case AlternateFileState::Missing:
        case AlternateFileState::OwnCopy:
            return std::nullopt;
        case AlternateFileState::CardFileItself:
            return alternate + " is the card file itself: it cannot be its own alternate copy.";
        case AlternateFileState::Foreign:
            break;
    }
    return alternate +
           " already exists and is not a card file: the alternate copy would not replace it.";
}

void WriteAlternateCopy(const std::string& cardFile, const std::string& alternate,
                        AlternateFileState state) {
    if (state == AlternateFileState::CardFileItself) {
        Problem(alternate + " is the card file itself.");
    }
    if (state == AlternateFileState::Foreign) {
        Problem(alternate + " already exists and is not a card file; it was left as it is.");
    }
    std::string data;
    if (!ReadFilePrefix(cardFile, std::string::npos, data)) {
        Problem(SystemMessage(cardFile, errno));
    }
    try {
        AtomicFile out(alternate, FilePermissions(cardFile));
        out.Write(data);
        if (state == AlternateFileState::OwnCopy) {
            out.Commit();
        } else {
            out.CommitWithoutReplacing();
        }
    } catch (const EInOutError& e) {
        Problem(e.what());
    }
}

}  // namespace tabellan
