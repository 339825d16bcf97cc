#pragma once
// Failures carry the message shown to the user; the class tells the caller what failed.
#include <stdexcept>
#include <string>

namespace tabellan {

class TabellanError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Missing or wrong password on opening an encrypted file.
class EWrongPassword : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
class EUnknownExt : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
class ECantSaveCRD : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
class EProblemAltFile : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
class ECRDFormatError : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
class ETooManyParams : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
// Input/output failure; the message is the system's description (strerror), prefixed
// with the path where that helps the user.
class EInOutError : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
// A file whose content cannot be trusted (a compressed body that does not decompress).
class EDamagedFile : public TabellanError {
  public:
    using TabellanError::TabellanError;
};
// The compressor failed; nothing was written.
class ECompressError : public TabellanError {
  public:
    using TabellanError::TabellanError;
};

}  // namespace tabellan
