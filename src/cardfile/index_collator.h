#pragma once
// The index order of the card set: AnsiCompareText, that is a case-insensitive comparison
// under the user's locale. Built on an ICU collator at secondary strength (letter case
// ignored, accents counted) for the locale named by LC_ALL, LC_COLLATE or LANG (the root
// order for C, POSIX or an unknown locale). Texts are bytes in the card set's code page and
// are converted to UTF-16 through the code page tables first.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "cardfile/codepage.h"

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Collator;
U_NAMESPACE_END

namespace tabellan {

class IndexCollator {
  public:
    // Texts longer than this get no cached sort key; they are compared through the collator
    // directly (this keeps pathological indexes, such as a long run of appended dots, cheap).
    static constexpr std::size_t kMaxKeyedLength = 1024;

    // The user's locale from the environment.
    explicit IndexCollator(CodePage cp);
    // An explicit ICU locale id ("de_DE", "tr", ...); "" is the root order.
    IndexCollator(CodePage cp, const std::string& localeId);
    // A collator from ICU tailoring rules over the root order (tests and tools); falls back
    // to the root order when the rules do not parse.
    static std::unique_ptr<IndexCollator> FromRules(CodePage cp, const std::u16string& rules);
    ~IndexCollator();
    IndexCollator(const IndexCollator&) = delete;
    IndexCollator& operator=(const IndexCollator&) = delete;

    // The ICU locale id from LC_ALL, LC_COLLATE or LANG (the first that is set and not
    // empty): "de_DE.UTF-8@euro" gives "de_DE"; "C" and "POSIX" give "" (root).
    static std::string LocaleFromEnvironment();

    CodePage GetCodePage() const { return cp_; }
    const std::string& LocaleId() const { return localeId_; }

    // The ICU sort key (without its terminating zero byte) of a text; false, with the key
    // left empty, for a text longer than kMaxKeyedLength. Two keyed texts compare like
    // their keys (memcmp order), which is the order of Compare().
    bool MakeKey(std::string_view text, std::string& key) const;
    // The collator's order: <0, 0, >0.
    int Compare(std::string_view a, std::string_view b) const;
    // Compare() for texts whose keys MakeKey made (`keyedA`, `keyedB` as it returned): the
    // keys' byte order when both are keyed, the texts through the collator otherwise.
    int CompareKeyed(std::string_view a, std::string_view keyA, bool keyedA, std::string_view b,
                     std::string_view keyB, bool keyedB) const;
    // Compare over UTF-16 texts.
    int Compare16(std::u16string_view a, std::u16string_view b) const;

    // "Equal except for letter case": the simple Unicode case folding of both texts is the
    // same, character for character. (Collator equality alone would also ignore control
    // characters; CardSet::FindCard requires both.)
    bool SameExceptCase(std::string_view a, std::string_view b) const;

    const CodePageTable& Table() const { return *table_; }

  private:
    struct RulesTag {};
    IndexCollator(CodePage cp, RulesTag);
    void Init(const std::string& localeId);
    CodePage cp_;
    std::string localeId_;
    const CodePageTable* table_;
    std::unique_ptr<icu::Collator> collator_;
    mutable std::u16string bufA_, bufB_;
};

}  // namespace tabellan
