#include "cardfile/compression.h"

#include <ucl/ucl.h>

#include <cstdint>
#include <utility>

namespace tabellan {

namespace {

constexpr std::size_t kHeaderSize = 4;

// NRV2E as written by ucl_nrv2e_99_compress never expands beyond about 660 to 1 (its matches
// are at most a few thousand bytes long and each costs at least a few bytes of stream), so a
// header claiming more than kMaxRatio times the stream, plus slack for tiny streams, cannot
// come from the writer. That, and the absolute limit, keep a damaged header from making the
// reader reserve gigabytes.
constexpr std::uint64_t kMaxRatio = 1024;
constexpr std::uint64_t kRatioSlack = 4096;

bool InitUcl() {
    static const bool ok = ucl_init() == UCL_E_OK;
    return ok;
}

void PutLength(std::string& block, std::uint32_t n) {
    for (std::size_t i = 0; i < kHeaderSize; ++i) {
        block[i] = static_cast<char>((n >> (8 * i)) & 0xFFu);
    }
}

std::uint32_t GetLength(std::string_view block) {
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < kHeaderSize; ++i) {
        n |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[i])) << (8 * i);
    }
    return n;
}

const unsigned char* Bytes(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

void ReportProgress(ucl_uint done, ucl_uint /*codeSize*/, int /*state*/, ucl_voidp user) {
    const auto& [progress, total] =
        *static_cast<std::pair<const CompressionProgress*, std::size_t>*>(user);
    (*progress)(done, total);
}

}  // namespace

int UclLevelFor(int compressionLevel) {
    switch (compressionLevel) {
        case 1:
            return 1;
        case 2:
            return 5;
        case 3:
            return 10;
        default:
            return 0;
    }
}

std::optional<std::string> CompressText(std::string_view data, int uclLevel,
                                        const CompressionProgress& progress) {
    if (data.empty()) {
        return std::string();
    }
    // Refusing what the reader would refuse keeps every written file readable.
    if (data.size() > kMaxBodyBytes || !InitUcl()) {
        return std::nullopt;
    }
    const std::size_t n = data.size();
    std::string block(kHeaderSize + n + n / 8 + 256, '\0');
    auto c = static_cast<ucl_uint>(block.size() - kHeaderSize);
    std::pair<const CompressionProgress*, std::size_t> report{&progress, n};
    ucl_progress_callback_t callback{ReportProgress, &report};
    const int rc =
        ucl_nrv2e_99_compress(Bytes(data), static_cast<ucl_uint>(n),
                              reinterpret_cast<ucl_bytep>(block.data() + kHeaderSize), &c,
                              progress ? &callback : nullptr, uclLevel, nullptr, nullptr);
    if (rc != UCL_E_OK) {
        return std::nullopt;
    }
    if (c < n) {
        PutLength(block, static_cast<std::uint32_t>(n));
        block.resize(kHeaderSize + c);
        return block;
    }
    PutLength(block, 0);
    block.replace(kHeaderSize, std::string::npos, data);
    return block;
}

std::optional<std::string> DecompressText(std::string_view block) {
    if (block.empty()) {
        return std::string();
    }
    if (block.size() < kHeaderSize) {
        return std::nullopt;
    }
    const std::uint32_t h = GetLength(block);
    const std::string_view stream = block.substr(kHeaderSize);
    if (h == 0) {
        return std::string(stream);
    }
    if (h > kMaxBodyBytes || h > kMaxRatio * stream.size() + kRatioSlack || !InitUcl()) {
        return std::nullopt;
    }
    std::string body(h, '\0');
    auto got = static_cast<ucl_uint>(h);
    const int rc =
        ucl_nrv2e_decompress_safe_8(Bytes(stream), static_cast<ucl_uint>(stream.size()),
                                    reinterpret_cast<ucl_bytep>(body.data()), &got, nullptr);
    // A stream that ends early is as damaged as one that fails: the writer stores the exact
    // length.
    if (rc != UCL_E_OK || got != h) {
        return std::nullopt;
    }
    return body;
}

}  // namespace tabellan
