#pragma once
// A password is typed as Unicode text but stored, and fed to the cipher, as bytes of the
// file's code page. A character the code page lacks cannot be stored: replaced by "?", it
// would make the file open with other passwords too. Wherever a new password is entered
// (the Setup dialog, the password dialog, the command-line tool) it is checked here first.
#include <optional>
#include <string>
#include <string_view>

#include "cardfile/codepage.h"
#include "cardfile/errors.h"

namespace tabellan {

// A password that the file's code page cannot hold.
class EPasswordCharacters : public TabellanError {
  public:
    using TabellanError::TabellanError;
};

// How the message names the characters: as UTF-8 text (the command-line tool), or as code
// points such as U+017C, which a message in the code page itself can hold (the window).
enum class CharacterNaming { Utf8, CodePoints };

// The message to show when the password holds characters the code page cannot hold (they
// are named in it), or nullopt when every character can be stored.
std::optional<std::string> PasswordCharactersProblem(
    std::u16string_view password, CodePage cp, CharacterNaming naming = CharacterNaming::Utf8);
std::optional<std::string> PasswordCharactersProblem(std::string_view utf8Password, CodePage cp);

// The password as bytes of the code page; throws EPasswordCharacters with the message above.
std::string PasswordToCodePage(std::u16string_view password, CodePage cp,
                               CharacterNaming naming = CharacterNaming::Utf8);
std::string PasswordToCodePage(std::string_view utf8Password, CodePage cp);

}  // namespace tabellan
