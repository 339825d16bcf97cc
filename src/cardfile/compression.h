#pragma once
// The compressed body of a card file: a 4-byte little-endian length header and the NRV2E
// stream, or header 0 and the body stored unchanged when compression gains nothing.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tabellan {

// The largest body the file format accepts (256 MiB); card files are far smaller, and the
// limit keeps a damaged length header from reserving gigabytes.
inline constexpr std::size_t kMaxBodyBytes = std::size_t{256} << 20;

// UCL level for CompressionLevel 1..3 (1, 5, 10); 0 for anything else.
int UclLevelFor(int compressionLevel);

// Told now and then how many of the total input bytes the compressor has passed, on the
// thread that compresses.
using CompressionProgress = std::function<void(std::size_t done, std::size_t total)>;

// nullopt when the compressor fails or the data exceeds kMaxBodyBytes; the empty block for
// empty data. The block is the same with or without progress.
std::optional<std::string> CompressText(std::string_view data, int uclLevel,
                                        const CompressionProgress& progress = {});
// The empty body for the empty block. nullopt when the block is damaged: 1 to 3 bytes, a
// decompressor error, a stream that yields another length than its header says, or a header
// beyond kMaxBodyBytes or beyond what the compressor could have produced from the stream.
std::optional<std::string> DecompressText(std::string_view block);

}  // namespace tabellan
