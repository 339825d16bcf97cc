#pragma once
// The compressed body of a card file: a 4-byte little-endian length header and the NRV2E
// stream, or header 0 and the body stored unchanged when compression gains nothing.
#include <optional>
#include <string>
#include <string_view>

namespace tabellan {

// UCL level for CompressionLevel 1..3 (1, 5, 10); 0 for anything else.
int UclLevelFor(int compressionLevel);

// nullopt when the compressor fails; the empty block for empty data.
std::optional<std::string> CompressText(std::string_view data, int uclLevel);
// nullopt when the block is damaged; the empty body for an empty or too short block.
std::optional<std::string> DecompressText(std::string_view block);

}  // namespace tabellan
