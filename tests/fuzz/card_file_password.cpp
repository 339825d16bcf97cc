// The card file reader on any bytes, with the password dialog answered: encrypted headers
// and lines are decrypted (the seed files use this password).
#include <cstdint>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tabellan::fuzz::LoadCardFile(tabellan::fuzz::AsText(data, size), "fuzz");
    return 0;
}
