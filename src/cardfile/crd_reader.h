#pragma once
// Windows Cardfile (.CRD) import, text only.
#include <string>
#include <string_view>

namespace tabellan {

class CardSet;
class Prompter;

// Appends the file's cards; throws ECRDFormatError or EInOutError. Cards added before a
// failure stay, index-corrected (the correction is reported through the prompter).
void ReadCRDFile(const std::string& path, CardSet& cards, Prompter& prompter);
// The same over the file's bytes already in memory.
void ReadCRDData(std::string_view bytes, CardSet& cards, Prompter& prompter);

}  // namespace tabellan
