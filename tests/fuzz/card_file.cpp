// The card file reader on any bytes, without a password (an encrypted file is refused).
#include <cstdint>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tabellan::fuzz::LoadCardFile(tabellan::fuzz::AsText(data, size), std::nullopt);
    return 0;
}
