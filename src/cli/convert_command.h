#pragma once
// tabellan-cli convert IN OUT: reads a card file of any kind and writes it as a card file
// (OUT ending in .csv) or as a text export (.txt).
namespace tabellan {

inline constexpr const char* kConvertUsage =
    "tabellan-cli convert IN OUT [--password-stdin] [--new-password-stdin] [--compression 0-3]";

int RunConvertCommand(int argc, char** argv);

}  // namespace tabellan
