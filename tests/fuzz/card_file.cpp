// The card file reader on any bytes, without a password (an encrypted file is refused).
#include <cstdint>

#include "cardfile/card_file.h"
#include "cardfile/errors.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    static CardSet cards;  // one collator for the whole run: making one costs more than a load
    cards.Clear();
    FileSettings settings;
    fuzz::FuzzPrompter prompter;
    try {
        LoadCsvCardData(fuzz::AsText(data, size), "fuzz.csv", cards, settings, SettingsContext{},
                        prompter);
    } catch (const TabellanError&) {
    }
    fuzz::CheckCards(cards);
    return 0;
}
