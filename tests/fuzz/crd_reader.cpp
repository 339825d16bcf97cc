// The Windows Cardfile reader on any bytes.
#include <cstdint>

#include "cardfile/crd_reader.h"
#include "cardfile/errors.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    static CardSet cards;  // one collator for the whole run: making one costs more than a load
    auto prompter = test::SilentPrompter();
    try {
        ReadCRDData(fuzz::AsText(data, size), cards, prompter);
    } catch (const TabellanError&) {
    }
    fuzz::CheckCards(cards);
    fuzz::ReleaseCards(cards);
    return 0;
}
