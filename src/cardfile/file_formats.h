#pragma once
// The card file formats by extension, and the one way a card file is opened: the reader is
// chosen by the extension. The desktop program's open and the command-line tool use it.
#include <string>
#include <string_view>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/file_settings.h"

namespace tabellan {

class Prompter;

enum class CardFileFormat {
    Csv,  // the program's own card file
    Crd,  // Windows Cardfile, read only
    Txt,  // plain text, cards divided by the card separator
};

// The extension of the path's final component, from its last ".", upper-cased (ASCII
// letters only); empty when the name has none.
std::string UpperExtension(std::string_view path);

// ".CSV", ".CRD" or ".TXT" (upper-cased as above); anything else throws EUnknownExt with
// "Unknown extension: " and the extension.
CardFileFormat FormatOfExtension(std::string_view upperExtension);

// "CSV", "CRD", "TXT".
const char* FormatName(CardFileFormat format);

// Reads path with the reader of format into an empty set. A card file's header settings
// come back applied over settings; a text file sets the card separator it found; a Cardfile
// file leaves the settings alone. The result's header fields are those of a card file and
// stay empty for the other formats. Reader failures propagate with the reader's message;
// cards read before a failure stay in the set.
LoadResult LoadCardFile(const std::string& path, CardFileFormat format, CardSet& cards,
                        FileSettings& settings, const SettingsContext& context, Prompter& prompter);

}  // namespace tabellan
