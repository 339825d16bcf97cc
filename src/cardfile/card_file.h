#pragma once
// The program's own card file (.CSV) and the text export (.TXT) written by the same writer.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/card_set.h"
#include "cardfile/file_settings.h"

namespace tabellan {

class AtomicFile;
class Prompter;

struct LoadResult {
    bool hadHeader = false;
    bool encrypted = false;
    std::vector<std::string> rawSettings;  // the header's list as read (decrypted)
    IndexCorrection corrections;
};

// Reads a card file into an empty set. Settings come back applied over the defaults;
// the password dialog, the version warning and the index correction message go through the
// prompter. Throws EWrongPassword, EDamagedFile, EInOutError; cards read before a failure
// stay in the set, index-corrected.
LoadResult LoadCsvCardFile(const std::string& path, CardSet& cards, FileSettings& settings,
                           const SettingsContext& ctx, Prompter& prompter);
// The same over the file's bytes already in memory; path is only named in messages.
LoadResult LoadCsvCardData(std::string_view data, const std::string& path, CardSet& cards,
                           FileSettings& settings, const SettingsContext& ctx, Prompter& prompter);

// Compresses a card file's body at a UCL level as CompressText does (nullopt: it failed);
// status is the text the save shows meanwhile. The desktop program runs it on a worker
// thread; the body stays unchanged until it returns.
using BodyCompressor = std::function<std::optional<std::string>(std::string_view body, int uclLevel,
                                                                const std::string& status)>;

// Writes the card file layout (asCardFile) or the text export to out without committing it,
// so a save can move the old file to its backup name before the new one takes its place.
// The UTF-8 export is chosen from out's target path. A compressed body goes through compress
// (empty: CompressText here); the bytes written do not depend on it.
void WriteCardFile(AtomicFile& out, const CardSet& cards, const FileSettings& settings,
                   bool asCardFile, Prompter& prompter, const BodyCompressor& compress = {});
// Writes and commits: the target is either the complete new file or untouched.
void WriteCardFile(const std::string& path, const CardSet& cards, const FileSettings& settings,
                   bool asCardFile, Prompter& prompter);

// Shows the index correction warning when there was any.
void ReportIndexCorrections(const IndexCorrection& c, Prompter& prompter);

}  // namespace tabellan
