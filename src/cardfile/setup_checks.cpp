#include "cardfile/setup_checks.h"

#include <charconv>
#include <filesystem>

#include "cardfile/alternate_file.h"

namespace tabellan {

namespace {

bool InRange(const std::string& text, int low, int high) {
    const std::optional<int> n = ParseWholeNumber(text);
    return n && *n >= low && *n <= high;
}

bool IsValidSeparator(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    const auto code = static_cast<unsigned char>(text[0]);
    return code > 32 || text[0] == kFormFeed;
}

std::string FullPath(const std::string& name, const std::string& currentDirectory) {
    if (name.empty()) {
        return name;
    }
    const std::filesystem::path path(name);
    return (std::filesystem::path(currentDirectory) / path).lexically_normal().string();
}

}  // namespace

std::optional<int> ParseWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

SetupValues LoadSetupValues(const FileSettings& settings, const FontSpec& editorFont,
                            bool editorWordWrap) {
    SetupValues v;
    v.password1 = settings.password;
    v.password2 = settings.password;
    v.compressionLevel = settings.compressionLevel;
    const auto separator = static_cast<char>(settings.cardSeparator & 0xFF);
    // An edit field cannot hold a NUL character.
    v.cardSeparator = separator == '\0' ? std::string() : std::string(1, separator);
    v.autoSavePeriod = std::to_string(settings.savePeriodMinutes);
    v.indentPrintoutSpaces = std::to_string(settings.indentSpaces);
    v.pendingFont = editorFont;
    v.wordWrap = editorWordWrap;
    v.commandExec = settings.commandExec;
    v.indexListAtRight = settings.indexListAtRight;
    v.altCardFileName = settings.altCardFileName;
    v.ignoredChars = settings.autodialIgnChars;
    v.separatorChars = settings.autodialSepChars;
    return v;
}

std::optional<SetupCheckFailure> CheckSetupValues(const SetupValues& v) {
    if (v.password1 != v.password2) {
        return SetupCheckFailure{SetupTab::FileSetup, SetupField::Password2,
                                 "Passwords do not match!"};
    }
    if (!IsValidSeparator(v.cardSeparator)) {
        return SetupCheckFailure{
            SetupTab::FileSetup, SetupField::CardSeparator,
            "Card Separator must be a displayable character or the Form Feed character."};
    }
    if (!InRange(v.autoSavePeriod, 0, 99)) {
        return SetupCheckFailure{SetupTab::FileSetup, SetupField::AutoSavePeriod,
                                 "Autosave period must be a value between 0 and 99 minutes."};
    }
    if (!InRange(v.indentPrintoutSpaces, 0, 80)) {
        return SetupCheckFailure{SetupTab::FileSetup, SetupField::IndentPrintoutSpaces,
                                 "Indent for printouts must be between 0 and 80 spaces."};
    }
    return std::nullopt;
}

std::optional<SetupCheckFailure> CheckSetupAlternateFile(const SetupValues& v,
                                                         const std::string& cardFile,
                                                         const std::string& currentDirectory) {
    if (std::optional<std::string> problem =
            CheckAlternateFileName(FullPath(v.altCardFileName, currentDirectory), cardFile)) {
        return SetupCheckFailure{SetupTab::FileSetup, SetupField::AltCardFileName,
                                 std::move(*problem)};
    }
    return std::nullopt;
}

void StoreSetupValues(const SetupValues& v, const QuickSearchItems& items,
                      const std::string& currentDirectory, FileSettings& s, bool& fileModified) {
    s.quickSearch = items;
    fileModified = true;
    s.password = v.password1;
    s.cardSeparator =
        v.cardSeparator.empty() ? s.cardSeparator : static_cast<unsigned char>(v.cardSeparator[0]);
    s.compressionLevel = v.compressionLevel;
    s.savePeriodMinutes = ParseWholeNumber(v.autoSavePeriod).value_or(s.savePeriodMinutes);
    s.indentSpaces = ParseWholeNumber(v.indentPrintoutSpaces).value_or(s.indentSpaces);
    s.indexListAtRight = v.indexListAtRight;
    s.font = v.pendingFont;
    s.wordWrap = v.wordWrap;
    s.commandExec = v.commandExec;
    s.altCardFileName = FullPath(v.altCardFileName, currentDirectory);
    s.autodialIgnChars = v.ignoredChars;
    s.autodialSepChars = v.separatorChars;
}

const char* SetupHelpTopic(SetupTab tab) {
    switch (tab) {
        case SetupTab::FileSetup:
            return "F_SETUP";
        case SetupTab::QuickSearchItems:
            return "S_ITEMS";
        case SetupTab::Ports:
            return "C_PORTS";
        case SetupTab::Autodial:
            break;
    }
    return "C_AUTODIAL";
}

int SetupHelpContext(SetupTab tab) {
    switch (tab) {
        case SetupTab::FileSetup:
            return 150;
        case SetupTab::QuickSearchItems:
            return 340;
        case SetupTab::Ports:
            return 475;
        case SetupTab::Autodial:
            break;
    }
    return 470;
}

}  // namespace tabellan
