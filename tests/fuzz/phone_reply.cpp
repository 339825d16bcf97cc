// A phone's reply: whether it is complete, and its lines.
#include <cstdint>

#include "fuzz_support.h"
#include "phone/phone_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    const std::string_view reply = fuzz::AsText(data, size);
    (void)ReplyComplete(reply);
    std::size_t total = 0;
    for (const std::string& line : SplitReply(reply)) {
        fuzz::Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                      "reply line without CR, LF or NUL");
        total += line.size();
    }
    fuzz::Require(total <= size, "lines come from the reply");
    return 0;
}
