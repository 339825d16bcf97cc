#pragma once
// A card file opened as the desktop program opens it (LoadCardFile, the reader chosen by the
// extension), with what the tool reports about it.
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/card_set.h"
#include "cardfile/file_settings.h"

namespace tabellan {

class Prompter;

class LoadedFile {
  public:
    // .CSV, .CRD and .TXT in any letter case; anything else throws EUnknownExt. Reader
    // failures propagate with the reader's message.
    LoadedFile(const std::string& path, Prompter& prompter);

    const std::string& Format() const { return format_; }  // "CSV", "CRD" or "TXT"
    bool Encrypted() const { return encrypted_; }
    // The header's key=value entries as read; empty for a file without a header.
    const std::vector<std::string>& RawSettings() const { return rawSettings_; }
    // The settings the program would use for this file: the header's for a card file, the
    // defaults (with the card separator found in a text file) otherwise.
    const FileSettings& Settings() const { return settings_; }
    const CardSet& Cards() const { return cards_; }
    CardSet& Cards() { return cards_; }

  private:
    std::string format_;
    bool encrypted_ = false;
    std::vector<std::string> rawSettings_;
    FileSettings settings_;
    CardSet cards_;
};

}  // namespace tabellan
