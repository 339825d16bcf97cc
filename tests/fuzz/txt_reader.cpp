// The plain-text card file reader on any bytes.
#include <cstdint>

#include "cardfile/errors.h"
#include "cardfile/txt_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    static CardSet cards;  // one collator for the whole run: making one costs more than a load
    int separator = 12;
    auto prompter = test::SilentPrompter();
    ReadTXTData(fuzz::AsText(data, size), cards, separator, prompter);
    fuzz::Require(separator >= 0 && separator <= 255, "separator is a byte");
    fuzz::CheckCards(cards);
    fuzz::ReleaseCards(cards);
    return 0;
}
