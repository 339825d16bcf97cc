#pragma once
// The alternate copy: a byte copy of the saved card file under the name its settings carry.
// A card file received from someone else can name any path there, so the copy only ever
// replaces a file that the program itself wrote: a card file, or an earlier copy.
#include <optional>
#include <string>

namespace tabellan {

enum class AlternateFileState {
    Missing,         // nothing under the name: the copy may be created
    OwnCopy,         // a card file, or byte for byte the card file: it may be replaced
    CardFileItself,  // the name leads to the card file
    Foreign,         // anything else (another file, a folder, a dangling link): never touched
};

struct AlternateFileCheck {
    AlternateFileState state = AlternateFileState::Missing;
    // Foreign because a file could not be read: the system's message (SystemMessage).
    std::string readError;
};

// cardFile: the card file as it is on disk now (before a save, its previous version); may
// be empty for a document that has no file yet.
AlternateFileCheck InspectAlternateFile(const std::string& alternate, const std::string& cardFile);

// The Setup dialog's check of an alternate file name (a full path): the message to show, or
// nullopt when the name may be used. An empty name (no alternate copy) always passes.
std::optional<std::string> CheckAlternateFileName(const std::string& alternate,
                                                  const std::string& cardFile);

// Copies the saved card file to the alternate name as InspectAlternateFile found it before
// the save: created where nothing was, replaced in one step where the program's own copy
// was. The copy gets at most the card file's permissions. Throws EProblemAltFile with
// "Problem in saving alternate file." and, on a second line, the reason.
void WriteAlternateCopy(const std::string& cardFile, const std::string& alternate,
                        const AlternateFileCheck& check);

}  // namespace tabellan
