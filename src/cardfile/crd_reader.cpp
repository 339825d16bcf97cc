#include "cardfile/crd_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/atomic_file.h"
#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/errors.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

constexpr std::size_t kEntrySize = 52;
constexpr std::size_t kIndexStart = 11;
constexpr std::size_t kIndexLength = 40;
constexpr unsigned kMaxTextLength = 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A byte source that tells a short read (end of file: the caller's format message) from a
// failing one (an input/output error with the system's message).
class CrdFile {
  public:
    explicit CrdFile(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "rb")) {
        if (!file_) {
            throw EInOutError(SystemMessage(path, errno));
        }
    }
    // Bytes in memory, read through the same stream functions.
    explicit CrdFile(std::string_view bytes)
        : path_("(memory)"),
          file_(::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb")) {
        if (!file_) {
            throw EInOutError(SystemMessage(path_, errno));
        }
    }

    // Reads up to n bytes; the result is shorter only at the end of the file.
    std::string Read(std::size_t n) {
        std::string buf(n, '\0');
        const std::size_t got = std::fread(buf.data(), 1, n, file_.get());
        if (got < n && std::ferror(file_.get())) {
            throw EInOutError(SystemMessage(path_, errno));
        }
        buf.resize(got);
        return buf;
    }

    bool SeekTo(std::uint64_t pos) {
        return fseeko(file_.get(), static_cast<off_t>(pos), SEEK_SET) == 0 &&
               static_cast<std::uint64_t>(ftello(file_.get())) == pos;
    }

    std::uint64_t Position() { return static_cast<std::uint64_t>(ftello(file_.get())); }

  private:
    std::string path_;
    FilePtr file_;
};

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, std::size_t width) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return v;
}

bool AllZero(const std::string& bytes, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (bytes[i] != '\0') {
            return false;
        }
    }
    return true;
}

std::string KeyMessage(const char* text, int k) {
    return std::string(text) + std::to_string(k) + "!";
}

enum class Variant { Mgc, Rrg };

struct Header {
    Variant variant = Variant::Mgc;
    int count = 0;
};

// The variant and card count from the header; throws on an unknown or short header.
Header ReadHeader(CrdFile& in) {
    const std::string signature = in.Read(3);
    if (signature.size() < 3) {
        throw ECRDFormatError("Unable to read header!");
    }
    std::string countBytes;
    Header header;
    if (signature == "MGC") {
        countBytes = in.Read(2);
    } else if (signature == "RRG") {
        header.variant = Variant::Rrg;
        // Bytes 3-6 hold the last object id; the count follows.
        const std::string rest = in.Read(6);
        if (rest.size() == 6) {
            countBytes = rest.substr(4);
        }
    } else {
        throw ECRDFormatError("Header not recognized!");
    }
    if (countBytes.size() < 2) {
        throw ECRDFormatError("Unable to read card count!");
    }
    header.count = static_cast<int>(LittleEndian(countBytes, 0, 2));
    return header;
}

// Lines end at CR LF, at a lone CR and at a lone LF, so no card line holds either. The
// remainder, even when empty, is the last line.
void AppendTextLines(std::string_view text, std::vector<std::string>& lines) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
}

// Where the text length of a card's data block is. In a Windows 3.0 ("MGC") file the block
// starts with the size of the card's picture; a picture's width, height and position and
// then its bitmap (monochrome, rows padded to 16 bits) come before the length. Two bytes
// that do not start such a picture, and the object flag of an "RRG" file (objects are not
// read), are skipped, and the length is taken right after them.
std::uint64_t TextLengthPosition(CrdFile& in, Variant variant, std::uint64_t dataOffset) {
    const std::uint64_t afterFlag = dataOffset + 2;
    if (variant != Variant::Mgc || !in.SeekTo(dataOffset)) {
        return afterFlag;
    }
    const std::string picture = in.Read(10);  // size, width, height, x, y
    if (picture.size() < 10) {
        return afterFlag;
    }
    const std::uint32_t size = LittleEndian(picture, 0, 2);
    const std::uint32_t width = LittleEndian(picture, 2, 2);
    const std::uint32_t height = LittleEndian(picture, 4, 2);
    const std::uint32_t rowBytes = (width + 15) / 16 * 2;
    if (size == 0 || size != rowBytes * height) {
        return afterFlag;
    }
    return dataOffset + picture.size() + size;
}

Card ReadCard(CrdFile& in, Variant variant, int k) {
    const std::string entry = in.Read(kEntrySize);
    if (entry.size() < kEntrySize) {
        throw ECRDFormatError(KeyMessage("Unable to read key # ", k));
    }
    if (!AllZero(entry, 0, 6) || entry[10] != '\0' || entry[51] != '\0') {
        throw ECRDFormatError(KeyMessage("Format error on key # ", k));
    }
    const std::string field = entry.substr(kIndexStart, kIndexLength);
    Card card;
    AppendTextLines(std::string_view(field).substr(0, field.find('\0')), card.lines);

    const std::uint64_t entryEnd = in.Position();
    const std::uint64_t lengthPos =
        TextLengthPosition(in, variant, std::uint64_t{LittleEndian(entry, 6, 4)});
    // Seeking past the end of the file succeeds; such a block shows as a short read below.
    if (!in.SeekTo(lengthPos)) {
        throw ECRDFormatError("Internal error #1!");
    }
    const std::string lengthBytes = in.Read(2);
    if (lengthBytes.size() < 2) {
        throw ECRDFormatError(KeyMessage("Unable to read data length for key # ", k));
    }
    const std::uint32_t n = LittleEndian(lengthBytes, 0, 2);
    if (n >= kMaxTextLength) {
        throw ECRDFormatError("Internal error #2. Data length = " + std::to_string(n) + "!");
    }
    if (n > 0) {
        const std::string text = in.Read(n);
        if (text.size() < n) {
            throw ECRDFormatError(KeyMessage("Unable to read data for key # ", k));
        }
        card.lines.emplace_back();
        AppendTextLines(text, card.lines);
    }
    if (!in.SeekTo(entryEnd)) {
        throw ECRDFormatError("Internal error #1!");
    }
    return card;
}

void ReadCards(CrdFile& in, CardSet& cards) {
    const Header header = ReadHeader(in);
    for (int k = 1; k <= header.count; ++k) {
        cards.AppendUnsorted(ReadCard(in, header.variant, k));
    }
}

void FinishImport(CardSet& cards, Prompter& prompter) {
    cards.SortPending();
    ReportIndexCorrections(cards.CorrectIndexes(), prompter);
}

template <typename Source>
void Import(Source source, CardSet& cards, Prompter& prompter) {
    const BusyScope busy(prompter);
    try {
        CrdFile in(source);
        ReadCards(in, cards);
    } catch (...) {
        // Cards read before the failure stay, sorted and index-corrected.
        FinishImport(cards, prompter);
        throw;
    }
    FinishImport(cards, prompter);
}

}  // namespace

void ReadCRDFile(const std::string& path, CardSet& cards, Prompter& prompter) {
    Import<const std::string&>(path, cards, prompter);
}

void ReadCRDData(std::string_view bytes, CardSet& cards, Prompter& prompter) {
    Import(bytes, cards, prompter);
}

}  // namespace tabellan
