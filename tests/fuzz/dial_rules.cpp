// The dial rules: finding the number on a card, applying the rules, and the registry values.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "autodial/dial_rules.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tabellan;
    FuzzedDataProvider in(data, size);
    const std::string ignored = in.ConsumeRandomLengthString(8);
    const std::string separators = in.ConsumeRandomLengthString(8);
    const std::string registry = in.ConsumeRandomLengthString(64);
    const std::string modem = in.ConsumeRandomLengthString(16);
    const std::size_t caret = in.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string card = in.ConsumeRemainingBytesAsString();

    const DialRules rules = DecodeAutoDial(registry);
    fuzz::Require(DecodeAutoDial(EncodeAutoDial(rules)) == rules, "AutoDial round trip");
    const ModemSettings settings = DecodeAutoDialModem(modem);
    fuzz::Require(DecodeAutoDialModem(EncodeAutoDialModem(settings)) == settings,
                  "AutoDialModem round trip");

    const std::string number = FindOriginalNumber(card, caret, ignored, separators);
    fuzz::Require(number.size() <= card.size(), "the number comes from the card");
    (void)ApplyDialRules(number, rules, ignored);

    AutodialModel model(rules, ignored, separators);
    model.SetCard(card, caret);
    model.SetSeparatorChars(ignored);
    return 0;
}
