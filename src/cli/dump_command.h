#pragma once
// tabellan-cli dump FILE [--password-stdin]: prints a card file as one JSON object.
#include <string>

namespace tabellan {

class LoadedFile;

inline constexpr const char* kDumpUsage = "tabellan-cli dump FILE [--password-stdin]";

int RunDumpCommand(int argc, char** argv);

// {"format": ..., "encrypted": ..., "settings": {...}, "cards": [[line, ...], ...]}, UTF-8.
std::string DumpJson(const LoadedFile& file);

}  // namespace tabellan
