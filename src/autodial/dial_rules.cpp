#include "autodial/dial_rules.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace tabellan {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool InSet(const CharSet& set, char c) {
    return set.test(static_cast<unsigned char>(c));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Digits kept, ignored characters dropped, every other run of characters one blank;
// leading non-digits vanish. gaps counts the blanks.
std::string NormaliseNumber(std::string_view number, const CharSet& ignored, int& gaps) {
    std::string groups;
    gaps = 0;
    bool inGap = true;
    for (const char c : number) {
        if (InSet(ignored, c)) {
            continue;
        }
        if (IsDigit(c)) {
            groups += c;
            inGap = false;
        } else if (!inGap) {
            inGap = true;
            ++gaps;
            groups += ' ';
        }
    }
    if (!groups.empty() && groups.back() == ' ') {
        groups.pop_back();
        --gaps;
    }
    return groups;
}

std::string Piece(const std::string& prefix, bool used) {
    return used ? prefix + ' ' : "";
}

}  // namespace

CharSet CharSetOf(std::string_view chars) {
    CharSet set;
    for (const char c : chars) {
        set.set(static_cast<unsigned char>(c));
    }
    return set;
}

CharSet NumberChars(std::string_view ignoredChars, std::string_view separatorChars) {
    CharSet set = CharSetOf(ignoredChars) | CharSetOf(separatorChars);
    for (char c = '0'; c <= '9'; ++c) {
        set.set(static_cast<unsigned char>(c));
    }
    return set;
}

std::string ExtractNumberRun(std::string_view text, std::size_t caret, const CharSet& numberChars) {
    caret = std::min(caret, text.size());
    std::size_t start = caret;
    while (start > 0 && InSet(numberChars, text[start - 1])) {
        --start;
    }
    std::size_t end = caret;
    while (end < text.size() && InSet(numberChars, text[end])) {
        ++end;
    }
    return std::string(text.substr(start, end - start));
}

bool HasThreeDigits(std::string_view text) {
    return std::count_if(text.begin(), text.end(), IsDigit) >= 3;
}

std::string FindOriginalNumber(std::string_view text, std::size_t caret,
                               std::string_view ignoredChars, std::string_view separatorChars) {
    const CharSet numberChars = NumberChars(ignoredChars, separatorChars);
    caret = std::min(caret, text.size());
    std::string number = ExtractNumberRun(text, caret, numberChars);
    if (HasThreeDigits(number) || text.empty()) {
        return number;
    }
    // A run is only looked at from each of its digits, so short runs cost little even in
    // a long card.
    for (std::size_t step = 0; step < text.size(); ++step) {
        const std::size_t pos = (caret + step) % text.size();
        if (!IsDigit(text[pos])) {
            continue;
        }
        number = ExtractNumberRun(text, pos + 1, numberChars);
        if (HasThreeDigits(number)) {
            break;
        }
    }
    return number;
}

std::string ApplyDialRules(std::string_view originalNumber, const DialRules& rules,
                           std::string_view ignoredChars) {
    const std::string countryPiece = rules.countryCode + ' ';
    const std::string areaPiece = rules.areaCode + ' ';
    const std::string internationalPiece = Piece(rules.icPrefix, rules.useIcPrefix);
    const std::string longDistancePiece = Piece(rules.ldcPrefix, rules.useLdcPrefix);
    const std::string outsidePiece = Piece(rules.additionalPrefix, rules.useAddPrefix);

    int gaps = 0;
    std::string groups = NormaliseNumber(originalNumber, CharSetOf(ignoredChars), gaps);
    if (gaps >= 2) {
        if (!StartsWith(groups, countryPiece)) {
            return outsidePiece + internationalPiece + longDistancePiece + groups;
        }
        groups.erase(0, countryPiece.size());
        gaps = 1;
    }
    if (gaps == 1) {
        if (!StartsWith(groups, areaPiece)) {
            return outsidePiece + longDistancePiece + groups;
        }
        groups.erase(0, areaPiece.size());
    }
    return outsidePiece + groups;
}

std::vector<std::string> SplitFields(std::string_view value, char delimiter, std::size_t count) {
    std::vector<std::string> fields;
    fields.reserve(count);
    bool more = true;
    while (more && fields.size() < count) {
        const std::size_t at = value.find(delimiter);
        more = at != std::string_view::npos;
        fields.emplace_back(value.substr(0, at));
        value.remove_prefix(more ? at + 1 : value.size());
    }
    fields.resize(count);
    return fields;
}

std::string EncodeAutoDial(const DialRules& r) {
    const std::string on = "1";
    const std::string off = "0";
    const std::string fields[] = {r.countryCode,
                                  r.icPrefix,
                                  r.useIcPrefix ? on : off,
                                  r.areaCode,
                                  r.ldcPrefix,
                                  r.useLdcPrefix ? on : off,
                                  r.additionalPrefix,
                                  r.useAddPrefix ? on : off};
    std::string value = fields[0];
    for (std::size_t i = 1; i < std::size(fields); ++i) {
        value += '\t';
        value += fields[i];
    }
    return value;
}

DialRules DecodeAutoDial(std::string_view value) {
    const std::vector<std::string> f = SplitFields(value, '\t', 8);
    DialRules r;
    r.countryCode = f[0];
    r.icPrefix = f[1];
    r.useIcPrefix = f[2] != "0";
    r.areaCode = f[3];
    r.ldcPrefix = f[4];
    r.useLdcPrefix = f[5] != "0";
    r.additionalPrefix = f[6];
    r.useAddPrefix = f[7] == "1";
    return r;
}

std::string EncodeAutoDialModem(const ModemSettings& modem) {
    return modem.port + '\t' + std::to_string(static_cast<int>(modem.dialType));
}

ModemSettings DecodeAutoDialModem(std::string_view value) {
    const std::vector<std::string> f = SplitFields(value, '\t', 2);
    ModemSettings modem;
    modem.port = f[0];
    int type = 0;
    const auto [end, ec] = std::from_chars(f[1].data(), f[1].data() + f[1].size(), type);
    const bool whole = ec == std::errc() && end == f[1].data() + f[1].size();
    modem.dialType = whole && type == 1 ? DialType::Pulse : DialType::Tone;
    return modem;
}

AutodialModel::AutodialModel(DialRules rules, std::string ignoredChars, std::string separatorChars)
    : rules_(std::move(rules)),
      ignoredChars_(std::move(ignoredChars)),
      separatorChars_(std::move(separatorChars)) {
    Apply();
}

void AutodialModel::SetCard(std::string cardText, std::size_t caret) {
    cardText_ = std::move(cardText);
    caret_ = caret;
    FindNumber();
    Apply();
}

void AutodialModel::SetRules(const DialRules& rules) {
    rules_ = rules;
    Apply();
}

void AutodialModel::SetIgnoredChars(std::string chars) {
    ignoredChars_ = std::move(chars);
    FindNumber();
    Apply();
}

void AutodialModel::SetSeparatorChars(std::string chars) {
    separatorChars_ = std::move(chars);
    FindNumber();
    Apply();
}

void AutodialModel::FindNumber() {
    originalNumber_ = FindOriginalNumber(cardText_, caret_, ignoredChars_, separatorChars_);
}

void AutodialModel::Apply() {
    numberToBeDialed_ = ApplyDialRules(originalNumber_, rules_, ignoredChars_);
}

}  // namespace tabellan
