// The compressed body of a card file: unescaped from its line and decompressed. A body that
// decompresses is compressed again and must come back unchanged.
#include <cstdint>

#include "cardfile/comma_text.h"
#include "cardfile/compression.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    const std::string_view text = fuzz::AsText(data, size);
    for (const std::string& block : {std::string(text), UnescapePayload(text)}) {
        const std::optional<std::string> body = DecompressText(block);
        if (body && !body->empty()) {
            const std::optional<std::string> again = CompressText(*body, 1);
            fuzz::Require(again.has_value(), "a body compresses");
            fuzz::Require(DecompressText(*again) == body, "compression round trip");
        }
    }
    return 0;
}
