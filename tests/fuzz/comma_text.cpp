// Comma text and payload escaping: whatever a line holds, the list read from it is written
// and read back unchanged, and escaped bytes come back unchanged.
#include <cstdint>

#include "cardfile/comma_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    const std::string_view text = fuzz::AsText(data, size);
    const std::vector<std::string> list = FromCommaText(text);
    fuzz::Require(FromCommaText(ToCommaText(list)) == list, "comma text round trip");
    const std::string escaped = EscapePayload(text);
    fuzz::Require(escaped.find_first_of(std::string_view("\0\n\r\x1a", 4)) == std::string::npos,
                  "escaped payload is one line");
    fuzz::Require(UnescapePayload(escaped) == text, "escape round trip");
    std::string_view rest = text;
    std::size_t pieces = 0;
    while (!rest.empty() && pieces++ <= size) {
        CutToken(rest, "\r\n");
    }
    fuzz::Require(rest.empty(), "cutting ends");
    return 0;
}
