#include "cardfile/cipher.h"

#include <chrono>

namespace tabellan {

namespace {

constexpr std::uint32_t kMultiplier = 134775813u;
constexpr std::uint32_t kAlphabet = 224;  // codes 32..255
constexpr unsigned kFirstCipherCode = 32;

}  // namespace

SharedRandom& SharedRandom::Instance() {
    static SharedRandom instance;
    return instance;
}

std::uint32_t SharedRandom::Random(std::uint32_t n) {
    seed = seed * kMultiplier + 1u;  // unsigned: wraps modulo 2^32
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed) * n) >> 32);
}

void SharedRandom::Randomize() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto sinceMidnight = now - floor<days>(now);
    seed = static_cast<std::uint32_t>(duration_cast<milliseconds>(sinceMidnight).count());
}

void Cipher::SetEncryptionKey(std::string_view password) {
    key_.assign(password);
    std::uint32_t seed = 0;
    for (std::size_t i = 1; i <= key_.size(); ++i) {
        const auto code = static_cast<std::uint32_t>(static_cast<unsigned char>(key_[i - 1]));
        seed += code << ((6 * i) % 32);
    }
    rng_.seed = seed;
    rng_.reseedPending = true;
    keyPos_ = 0;
}

// The walk shared by both directions: characters below 32 pass untouched and move nothing;
// every other character takes the next key byte and the next random number. An empty key
// (never used by the file format) contributes 0 and the key position stays put.
template <typename Combine>
static std::string Walk(std::string_view text, const std::string& key, std::size_t& keyPos,
                        SharedRandom& rng, Combine combine) {
    std::string out(text);
    for (char& ch : out) {
        const unsigned c = static_cast<unsigned char>(ch);
        if (c < kFirstCipherCode) {
            continue;
        }
        unsigned k = 0;
        if (!key.empty()) {
            ++keyPos;
            k = static_cast<unsigned char>(key[keyPos - 1]);
        }
        const unsigned r = rng.Random(kAlphabet);
        ch = static_cast<char>(combine(c, r, k) % kAlphabet + kFirstCipherCode);
        if (keyPos == key.size()) {
            keyPos = 0;
        }
    }
    return out;
}

std::string Cipher::EncryptLine(std::string_view text) {
    return Walk(text, key_, keyPos_, rng_,
                [](unsigned c, unsigned r, unsigned k) { return (c - kFirstCipherCode) + r + k; });
}

std::string Cipher::DecryptLine(std::string_view text) {
    // 640 = 3 * 224 - 32 keeps the left operand positive.
    return Walk(text, key_, keyPos_, rng_,
                [](unsigned c, unsigned r, unsigned k) { return (c + 640u) - r - k; });
}

}  // namespace tabellan
