#pragma once
// Failures of the serial port component and of the phone link. Like every failure of the
// program they carry the message shown to the user.
#include "cardfile/errors.h"

namespace tabellan {

// The serial port component failed: open, configure, read, write or a refused change.
class ESerCommError : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
// The phone's port was not opened (the port prompt was cancelled).
class EPortOpenErr : public TabellanError {
  public:
    using TabellanError::TabellanError;
};

}  // namespace tabellan
