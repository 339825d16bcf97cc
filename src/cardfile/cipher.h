#pragma once
// The file password cipher and the program's shared pseudo-random generator. Both are part
// of the file format and must stay bit for bit as they are.
#include <cstdint>
#include <string>
#include <string_view>

namespace tabellan {

// One 32-bit linear congruential generator shared by the cipher and Paste Random String.
class SharedRandom {
  public:
    static SharedRandom& Instance();
    std::uint32_t seed = 0;
    // Set by the key set-up; the next random string re-seeds from the clock first.
    bool reseedPending = true;

    // One step, then the upper 32 bits of seed * n: 0 .. n-1.
    std::uint32_t Random(std::uint32_t n);
    // Seeds from the clock: milliseconds since midnight UTC.
    void Randomize();
};

class Cipher {
  public:
    explicit Cipher(SharedRandom& rng = SharedRandom::Instance()) : rng_(rng) {}
    void SetEncryptionKey(std::string_view password);
    std::string EncryptLine(std::string_view text);
    std::string DecryptLine(std::string_view text);

  private:
    SharedRandom& rng_;
    std::string key_;
    std::size_t keyPos_ = 0;
};

}  // namespace tabellan
