#pragma once
// Finding a phone number on a card and turning it into the number to be dialed, the
// encoding of the autodial registry values, and the recomputing model behind the Autodial
// tab of the Setup dialog. No toolkit: the dialog copies its fields into DialRules and
// AutodialModel and shows what the model computed.
#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tabellan {

// A set of 8-bit characters.
using CharSet = std::bitset<256>;

// Digits plus every ignored and every separator character.
CharSet NumberChars(std::string_view ignoredChars, std::string_view separatorChars);
CharSet CharSetOf(std::string_view chars);

// The longest run of number characters around caret (0 is before the first character);
// possibly empty. A caret beyond the end counts as the end.
std::string ExtractNumberRun(std::string_view text, std::size_t caret, const CharSet& numberChars);

// At least three characters 0 to 9, counted anywhere.
bool HasThreeDigits(std::string_view text);

// The run at the caret; when it has fewer than three digits, the first run with three that
// a walk from the character after the caret finds (wrapping to the start). Without one,
// the last run looked at.
std::string FindOriginalNumber(std::string_view text, std::size_t caret,
                               std::string_view ignoredChars, std::string_view separatorChars);

struct DialRules {
    std::string countryCode;
    std::string icPrefix;  // international call prefix
    bool useIcPrefix = true;
    std::string areaCode;
    std::string ldcPrefix;  // long-distance call prefix
    bool useLdcPrefix = true;
    std::string additionalPrefix;  // for an outside line
    bool useAddPrefix = false;

    bool operator==(const DialRules&) const = default;
};

// Digits of the original number in groups divided by single blanks, with the own country
// and area codes removed and the prefixes the rules call for put in front.
std::string ApplyDialRules(std::string_view originalNumber, const DialRules& rules,
                           std::string_view ignoredChars);

enum class DialType { Tone = 0, Pulse = 1 };

struct ModemSettings {
    std::string port;  // the port number as typed, at most 3 characters
    DialType dialType = DialType::Tone;

    bool operator==(const ModemSettings&) const = default;
};

// The registry values AutoDial (eight tab-separated fields) and AutoDialModem (port, tab,
// dial type index). Decoding a missing value (empty text) gives the start state.
std::string EncodeAutoDial(const DialRules& rules);
DialRules DecodeAutoDial(std::string_view value);
std::string EncodeAutoDialModem(const ModemSettings& modem);
// A dial type field that is not a number, or names no dial type, selects Tone.
ModemSettings DecodeAutoDialModem(std::string_view value);

// Fields of a delimited value, each up to the next delimiter: anything after the last field
// is ignored and fields beyond the value's end are empty. Always `count` fields.
std::vector<std::string> SplitFields(std::string_view value, char delimiter, std::size_t count);

// The Autodial tab's state: every setter recomputes what the tab shows, as its change
// handlers do (a rule change reapplies the rules; a character set change or a new card
// first finds the number again). The user's edit of the number to be dialed stands until
// the next recomputation.
class AutodialModel {
  public:
    AutodialModel(DialRules rules, std::string ignoredChars, std::string separatorChars);

    // Card text and caret (selection start) of the editor: finds the number, applies rules.
    void SetCard(std::string cardText, std::size_t caret);
    void SetRules(const DialRules& rules);
    void SetIgnoredChars(std::string chars);
    void SetSeparatorChars(std::string chars);
    void SetNumberToBeDialed(std::string number) { numberToBeDialed_ = std::move(number); }

    const DialRules& Rules() const { return rules_; }
    const std::string& IgnoredChars() const { return ignoredChars_; }
    const std::string& SeparatorChars() const { return separatorChars_; }
    const std::string& OriginalNumber() const { return originalNumber_; }
    const std::string& NumberToBeDialed() const { return numberToBeDialed_; }

  private:
    void FindNumber();
    void Apply();

    DialRules rules_;
    std::string ignoredChars_;
    std::string separatorChars_;
    std::string cardText_;
    std::size_t caret_ = 0;
    std::string originalNumber_;
    std::string numberToBeDialed_;
};

}  // namespace tabellan
