// The card file reader on any bytes, with the password dialog answered: encrypted headers
// and lines are decrypted (the seed files use this password).
#include <cstdint>

#include "cardfile/card_file.h"
#include "cardfile/errors.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    static CardSet cards;  // one collator for the whole run: making one costs more than a load
    cards.Clear();
    FileSettings settings;
    fuzz::FuzzPrompter prompter("fuzz");
    try {
        LoadCsvCardData(fuzz::AsText(data, size), "fuzz.csv", cards, settings, SettingsContext{},
                        prompter);
    } catch (const TabellanError&) {
    }
    fuzz::CheckCards(cards);
    return 0;
}
