#include "cardfile/alternate_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "cardfile/atomic_file.h"
#include "cardfile/document_files.h"
#include "cardfile/errors.h"
#include "cardfile/text_util.h"

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

AlternateFileCheck InspectAlternateFile(const std::string& alternate, const std::string& cardFile) {
    using State = AlternateFileState;
    struct stat st {};
    if (::lstat(alternate.c_str(), &st) != 0) {
        // Nothing there; any other failure (no permission to look) means hands off.
        if (errno == ENOENT || errno == ENOTDIR) {
            return {State::Missing, {}};
        }
        return {State::Foreign, SystemMessage(alternate, errno)};
    }
    if (::stat(alternate.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return {State::Foreign, {}};
    }
    if (SameFile(st, cardFile)) {
        return {State::CardFileItself, {}};
    }
    std::string head;
    if (!ReadFilePrefix(alternate, kCardFileHeader.size(), head)) {
        return {State::Foreign, SystemMessage(alternate, errno)};
    }
    if (head == kCardFileHeader) {
        return {State::OwnCopy, {}};
    }
    // Not a card file: the program's own copy only when it is byte for byte the card file
    // (the copy of a text export).
    struct stat original {};
    if (cardFile.empty() || ::stat(cardFile.c_str(), &original) != 0 ||
        original.st_size != st.st_size) {
        return {State::Foreign, {}};
    }
    std::string copy;
    std::string data;
    if (!ReadFilePrefix(alternate, std::string::npos, copy)) {
        return {State::Foreign, SystemMessage(alternate, errno)};
    }
    if (!ReadFilePrefix(cardFile, std::string::npos, data)) {
        return {State::Foreign, SystemMessage(cardFile, errno)};
    }
    return {copy == data ? State::OwnCopy : State::Foreign, {}};
}

std::optional<std::string> CheckAlternateFileName(const std::string& alternate,
                                                  const std::string& cardFile) {
    if (alternate.empty()) {
        return std::nullopt;
    }
    const AlternateFileCheck check = InspectAlternateFile(alternate, cardFile);
    switch (check.state) {
        case AlternateFileState::Missing:
        case AlternateFileState::OwnCopy:
            return std::nullopt;
        case AlternateFileState::CardFileItself:
            return DoubleAmpersands(alternate) +
                   " is the card file itself: it cannot be its own alternate copy.";
        case AlternateFileState::Foreign:
            break;
    }
    if (!check.readError.empty()) {
        return check.readError + "\rThe alternate copy would not replace it.";
    }
    return DoubleAmpersands(alternate) +
           " already exists and is not a card file: the alternate copy would not replace it.";
}

void WriteAlternateCopy(const std::string& cardFile, const std::string& alternate,
                        const AlternateFileCheck& check) {
    // Saved under the alternate name itself (Save As onto it), the card file is its own copy.
    struct stat st {};
    if (check.state == AlternateFileState::CardFileItself ||
        (::stat(alternate.c_str(), &st) == 0 && SameFile(st, cardFile))) {
        Problem(DoubleAmpersands(alternate) + " is the card file itself.");
    }
    if (check.state == AlternateFileState::Foreign) {
        Problem(check.readError.empty()
                    ? DoubleAmpersands(alternate) +
                          " already exists and is not a card file; it was left as it is."
                    : check.readError + "\rThe file was left as it is.");
    }
    std::string data;
    if (!ReadFilePrefix(cardFile, std::string::npos, data)) {
        Problem(SystemMessage(cardFile, errno));
    }
    try {
        AtomicFile out(alternate, FilePermissions(cardFile));
        out.Write(data);
        if (check.state == AlternateFileState::OwnCopy) {
            out.Commit();
        } else {
            out.CommitWithoutReplacing();
        }
    } catch (const EInOutError& e) {
        Problem(e.what());
    }
}

}  // namespace tabellan
