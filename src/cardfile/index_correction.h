#pragma once
// The repair of duplicate indexes after a load (CardSet::CorrectIndexes): what it reports,
// its limit, and the warning the readers show.
#include <cstdint>
#include <string>

#include "cardfile/errors.h"

namespace tabellan {

struct IndexCorrection {
    std::int64_t count = 0;  // n identical indexes alone take n(n-1)/2 corrections
    std::string lastIndex;   // the last corrected index, after its "." was appended
};

// CorrectIndexes would have to build indexes of absurd total length (thousands of identical
// indexes: each correction appends one more "."); the set is left unchanged.
class EIndexCorrectionLimit : public TabellanError {
  public:
    using TabellanError::TabellanError;
};

// The warning text of the index correction; empty when count is 0.
std::string IndexCorrectionMessage(const IndexCorrection& c);

}  // namespace tabellan
