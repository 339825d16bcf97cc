#include "cardfile/index_collator.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/tblcoll.h>

#include <cstdlib>
#include <vector>

namespace tabellan {

namespace {

void ToUtf16(std::string_view text, const CodePageTable& table, std::u16string& out) {
    out.clear();
    AppendAnsiAsUtf16(text, table, out);
}

}  // namespace

IndexCollator::IndexCollator(CodePage cp) : cp_(cp), table_(&GetCodePageTable(cp)) {
    Init(LocaleFromEnvironment());
}

IndexCollator::IndexCollator(CodePage cp, const std::string& localeId)
    : cp_(cp), table_(&GetCodePageTable(cp)) {
    Init(localeId);
}

IndexCollator::IndexCollator(CodePage cp, RulesTag) : cp_(cp), table_(&GetCodePageTable(cp)) {}

std::unique_ptr<IndexCollator> IndexCollator::FromRules(CodePage cp, const std::u16string& rules) {
    std::unique_ptr<IndexCollator> c(new IndexCollator(cp, RulesTag{}));
    UErrorCode status = U_ZERO_ERROR;
    auto rb = std::make_unique<icu::RuleBasedCollator>(
        icu::UnicodeString(reinterpret_cast<const UChar*>(rules.data()),
                           static_cast<int32_t>(rules.size())),
        status);
    if (U_FAILURE(status)) {
        c->Init("");
        return c;
    }
    rb->setStrength(icu::Collator::SECONDARY);
    c->localeId_ = "rules";
    c->collator_ = std::move(rb);
    return c;
}

IndexCollator::~IndexCollator() = default;

std::string IndexCollator::LocaleFromEnvironment() {
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') {
            value = v;
            break;
        }
    }
    if (value == nullptr) {
        return {};
    }
    std::string id(value);
    std::size_t cut = id.find_first_of(".@");
    if (cut != std::string::npos) {
        id.erase(cut);
    }
    if (id == "C" || id == "POSIX") {
        return {};
    }
    return id;
}

void IndexCollator::Init(const std::string& localeId) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> c;
    if (!localeId.empty()) {
        icu::Locale loc(localeId.c_str());
        if (!loc.isBogus()) {
            c.reset(icu::Collator::createInstance(loc, status));
            if (U_FAILURE(status)) {
                c.reset();
            }
        }
    }
    if (!c) {
        status = U_ZERO_ERROR;
        c.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        localeId_.clear();
    } else {
        localeId_ = localeId;
    }
    if (!c || U_FAILURE(status)) {
        // No collation data at all: nothing sensible can be done without ICU's data.
        std::abort();
    }
    c->setStrength(icu::Collator::SECONDARY);
    collator_ = std::move(c);
}

bool IndexCollator::MakeKey(std::string_view text, std::string& key) const {
    key.clear();
    if (text.size() > kMaxKeyedLength) {
        return false;
    }
    ToUtf16(text, *table_, bufA_);
    uint8_t local[512];
    int32_t len = collator_->getSortKey(reinterpret_cast<const UChar*>(bufA_.data()),
                                        static_cast<int32_t>(bufA_.size()), local,
                                        static_cast<int32_t>(sizeof local));
    if (len <= static_cast<int32_t>(sizeof local)) {
        key.assign(reinterpret_cast<const char*>(local), len > 0 ? len - 1 : 0);
        return true;
    }
    std::vector<uint8_t> big(static_cast<std::size_t>(len));
    len = collator_->getSortKey(reinterpret_cast<const UChar*>(bufA_.data()),
                                static_cast<int32_t>(bufA_.size()), big.data(), len);
    key.assign(reinterpret_cast<const char*>(big.data()), len > 0 ? len - 1 : 0);
    return true;
}

int IndexCollator::CompareKeyed(std::string_view a, std::string_view keyA, bool keyedA,
                                std::string_view b, std::string_view keyB, bool keyedB) const {
    if (keyedA && keyedB) {
        const int r = keyA.compare(keyB);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    return Compare(a, b);
}

int IndexCollator::Compare(std::string_view a, std::string_view b) const {
    ToUtf16(a, *table_, bufA_);
    ToUtf16(b, *table_, bufB_);
    return Compare16(bufA_, bufB_);
}

int IndexCollator::Compare16(std::u16string_view a, std::u16string_view b) const {
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult r = collator_->compare(
        reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
        reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size()), status);
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

bool IndexCollator::SameExceptCase(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) {
        return false;  // one byte is one character in these code pages
    }
    const auto& fold = table_->foldCase;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] &&
            fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])]) {
            return false;
        }
    }
    return true;
}

}  // namespace tabellan
