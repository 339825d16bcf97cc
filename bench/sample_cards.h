#pragma once
// Generated contact cards for the benchmarks: names, streets, cities, phone numbers, e-mail
// addresses and notes with some Western European accented letters, from a fixed seed, so
// the file is the same on every machine.
#include <cstdint>
#include <string>

#include "cardfile/card.h"
#include "cardfile/card_set.h"

namespace tabellan::bench {

// A fixed-seed generator of its own, so the file is the same on every machine.
class Lcg {
  public:
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint32_t Below(std::uint32_t n) { return Next() % n; }
    template <std::size_t N>
    const char* Pick(const char* const (&list)[N]) {
        return list[Below(N)];
    }

  private:
    std::uint64_t state_ = 20261208;
};

inline const char* const kFirst[] = {"Anna",   "Bernd",  "Claire", "David",     "Eva",    "Frank",
                                     "Gisela", "Hans",   "Ingrid", "J\xFCrgen", "Karin",  "Lars",
                                     "Maria",  "Niklas", "Olga",   "Peter",     "Rita",   "Stefan",
                                     "Tanja",  "Ulrich", "Vera",   "Werner",    "Yvonne", "Zo\xEB"};
// Surnames are built from three parts, so that only a few percent of the indexes are exact
// duplicates, as in a real address book.
inline const char* const kSurnameStart[] = {
    "Berg", "Hof",  "Lind", "Kra", "Mei", "Sch\xF6n", "Wal", "Rich", "Hart", "Stein",
    "Fal",  "Gold", "Brun", "Eck", "Rot", "Wei\xDF",  "Kai", "Mar",  "Dor",  "Hel"};
inline const char* const kSurnameMiddle[] = {"", "en", "er", "in", "s", "el", "an", "or"};
inline const char* const kSurnameEnd[] = {"mann", "berg", "er",   "ner",  "hold",
                                          "feld", "bach", "rich", "ke",   "stedt",
                                          "ow",   "ski",  "sen",  "lein", "hausen"};
inline const char* const kStreets[] = {
    "Hauptstra\xDF"
    "e",
    "Bahnhofstr.",
    "Main Street",
    "High Road",
    "Rue de la Paix",
    "Lindenweg",
    "Am Markt",
    "Church Lane",
    "Gartenstra\xDF"
    "e",
    "Station Road"};
inline const char* const kCities[] = {
    "10115 Berlin", "80331 M\xFCnchen", "20095 Hamburg", "50667 K\xF6ln", "London SW1A 1AA",
    "75001 Paris",  "8001 Z\xFCrich",   "1010 Wien",     "LS1 4DY Leeds", "00184 Roma"};
inline const char* const kNotes[] = {"Birthday in March",
                                     "Prefers e-mail, call only in emergencies",
                                     "Met at the trade fair, \"very\" interested",
                                     "Key to the garden shed",
                                     "Invoice address differs, see below",
                                     "Allergic to nuts; vegetarian",
                                     "Caf\xE9 on Tuesdays"};

inline std::string Digits(Lcg& rng, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) {
        s += static_cast<char>('0' + rng.Below(10));
    }
    return s;
}

inline std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

inline Card MakeCard(Lcg& rng) {
    const std::string first = rng.Pick(kFirst);
    const std::string last =
        std::string(rng.Pick(kSurnameStart)) + rng.Pick(kSurnameMiddle) + rng.Pick(kSurnameEnd);
    Card card;
    card.lines.push_back(last + ", " + first + " " + static_cast<char>('A' + rng.Below(26)) + ".");
    card.lines.push_back(std::string(rng.Pick(kStreets)) + " " +
                         std::to_string(1 + rng.Below(200)));
    card.lines.push_back(rng.Pick(kCities));
    card.lines.push_back("+49 " + Digits(rng, 2 + rng.Below(3)) + " " + Digits(rng, 7));
    if (rng.Below(3) != 0) {
        card.lines.push_back(Lower(first.substr(0, 1)) + "." + Lower(last) + "@example.org");
    }
    if (rng.Below(4) == 0) {
        card.lines.push_back(rng.Pick(kNotes));
    }
    return card;
}

inline void FillCards(CardSet& set, int count) {
    Lcg rng;
    set.Reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        set.AppendUnsorted(MakeCard(rng));
    }
    set.SortPending();
}

}  // namespace tabellan::bench
