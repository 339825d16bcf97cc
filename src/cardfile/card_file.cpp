#include "cardfile/card_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>

#include "cardfile/atomic_file.h"
#include "cardfile/cipher.h"
#include "cardfile/codepage.h"
#include "cardfile/comma_text.h"
#include "cardfile/compression.h"
#include "cardfile/errors.h"
#include "cardfile/line_reader.h"
#include "cardfile/prompter.h"
#include "cardfile/text_util.h"

namespace tabellan {

namespace {

constexpr std::string_view kHeaderStart = " \",CONF";

bool IsHeader(std::string_view line) {
    return line.substr(0, kHeaderStart.size()) == kHeaderStart;
}

// The file's bytes for parsing. A regular file is read into anonymous memory that is mapped
// in one go (MAP_POPULATE) rather than page by page, which makes a first load of a large file
// noticeably cheaper; anything else goes through ReadWholeFile.
class FileBytes {
  public:
    explicit FileBytes(const std::string& path) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            throw EInOutError(SystemMessage(path, errno));
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > (1 << 20)) {
            std::size_t cap = static_cast<std::size_t>(st.st_size) + 4096;
            void* m = ::mmap(nullptr, cap, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
            if (m != MAP_FAILED) {
                map_ = static_cast<char*>(m);
                cap_ = cap;
                std::size_t used = 0;
                int err = 0;
                while (used < cap_) {
                    ssize_t n = ::read(fd, map_ + used, cap_ - used);
                    if (n < 0) {
                        if (errno == EINTR) {
                            continue;
                        }
                        err = errno;
                        break;
                    }
                    if (n == 0) {
                        break;
                    }
                    used += static_cast<std::size_t>(n);
                }
                if (err != 0) {
                    ::close(fd);
                    throw EInOutError(SystemMessage(path, err));
                }
                if (used < cap_) {  // the whole file fitted
                    ::close(fd);
                    view_ = std::string_view(map_, used);
                    return;
                }
                Release();  // the file grew meanwhile: read it the plain way
            }
        }
        ::close(fd);
        plain_ = ReadWholeFile(path);
        view_ = plain_;
    }
    ~FileBytes() { Release(); }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    std::string_view View() const { return view_; }

  private:
    void Release() {
        if (map_ != nullptr) {
            ::munmap(map_, cap_);
            map_ = nullptr;
        }
    }
    char* map_ = nullptr;
    std::size_t cap_ = 0;
    std::string plain_;
    std::string_view view_;
};

// A card from one comma-text line; false when the line yields no field.
bool AddCard(CardSet& cards, std::string_view line) {
    std::vector<std::string> fields = FromCommaText(line);
    if (fields.empty()) {
        return false;
    }
    cards.AppendUnsorted(Card{std::move(fields)});
    return true;
}

// A card line of a compressed body. A written body has CR LF only between cards; a damaged
// one is read as the same lines without compression are: a LF ends a line, a lone CR is
// dropped, so no card line holds either.
void AddBodyLine(CardSet& cards, std::string_view line) {
    if (line.find_first_of("\r\n") == std::string_view::npos) {
        AddCard(cards, line);
        return;
    }
    std::string clean;
    for (char c : line) {
        if (c == '\n') {
            AddCard(cards, clean);
            clean.clear();
        } else if (c != '\r') {
            clean.push_back(c);
        }
    }
    AddCard(cards, clean);
}

void ReadCards(const std::string& path, std::string_view data, CardSet& cards,
               FileSettings& settings, const SettingsContext& ctx, Prompter& prompter,
               LoadResult& result) {
    LineReader reader(data);
    const std::size_t lines = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));
    cards.Reserve(static_cast<std::size_t>(cards.Count()) +
                  std::min<std::size_t>(lines + 1, 1 << 20));
    Cipher cipher;
    bool decrypt = false;
    std::string_view line;
    bool first = true;
    while (reader.NextView(line)) {
        const bool isFirst = first;
        first = false;
        if (IsHeader(line)) {
            if (!isFirst) {
                continue;  // a header is recognised on the first line only
            }
            result.hadHeader = true;
            settings.password.clear();
            const char mode = line.size() > 7 ? line[7] : '\0';
            std::string settingsText(line.size() > 8 ? line.substr(8) : std::string_view());
            if (mode == 'E') {
                std::optional<std::string> pw = prompter.AskPassword(
                    "Open Encrypted Address File", "Enter File Password:", settings.password);
                if (!pw || pw->empty()) {
                    throw EWrongPassword("Password is required to open an encrypted file.");
                }
                result.encrypted = true;
                cipher.SetEncryptionKey(*pw);
                settingsText = cipher.DecryptLine(settingsText);
                decrypt = true;
                settings.password = *pw;
            }
            std::vector<std::string> list = FromCommaText(settingsText);
            result.rawSettings = list;
            try {
                settings = ApplyFileSettings(list, settings.password, ctx, prompter);
            } catch (const EWrongPassword&) {
                settings.password.clear();  // the set stays untitled: no wrong password on it
                throw;
            }
            if (settings.compressionLevel != 0) {
                std::string_view payloadLine;
                if (!reader.NextView(payloadLine)) {
                    continue;  // no body line: no cards
                }
                std::string payload =
                    decrypt ? cipher.DecryptLine(payloadLine) : std::string(payloadLine);
                std::optional<std::string> body = DecompressText(UnescapePayload(payload));
                if (!body) {
                    throw EDamagedFile("The card file " + DoubleAmpersands(path) +
                                       " is damaged: its compressed cards cannot be read.");
                }
                std::string_view rest = *body;
                while (!rest.empty()) {
                    AddBodyLine(cards, CutToken(rest, "\r\n"));
                }
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        if (decrypt) {
            AddCard(cards, cipher.DecryptLine(line));
        } else {
            AddCard(cards, line);
        }
    }
}

}  // namespace

void ReportIndexCorrections(const IndexCorrection& c, Prompter& prompter) {
    if (c.count > 0) {
        prompter.Show(MsgKind::Warning, IndexCorrectionMessage(c), Buttons::OkHelp, 120);
    }
}

LoadResult LoadCsvCardFile(const std::string& path, CardSet& cards, FileSettings& settings,
                           const SettingsContext& ctx, Prompter& prompter) {
    BusyScope busy(prompter);
    std::optional<FileBytes> bytes;
    try {
        bytes.emplace(path);
    } catch (...) {
        // An unreadable file still ends with the reader's closing steps.
        try {
            cards.SortPending();
            ReportIndexCorrections(cards.CorrectIndexes(), prompter);
        } catch (...) {
            // The load's own error is the one to report.
        }
        throw;
    }
    return LoadCsvCardData(bytes->View(), path, cards, settings, ctx, prompter);
}

LoadResult LoadCsvCardData(std::string_view data, const std::string& path, CardSet& cards,
                           FileSettings& settings, const SettingsContext& ctx, Prompter& prompter) {
    BusyScope busy(prompter);
    LoadResult result;
    // The closing steps (index correction and its message) run however the load ends.
    auto finish = [&] {
        cards.SortPending();
        result.corrections = cards.CorrectIndexes();
        ReportIndexCorrections(result.corrections, prompter);
    };
    try {
        ReadCards(path, data, cards, settings, ctx, prompter, result);
    } catch (...) {
        try {
            finish();
        } catch (...) {
            // The load's own error is the one to report.
        }
        throw;
    }
    finish();
    return result;
}

void WriteCardFile(AtomicFile& out, const CardSet& cards, const FileSettings& settings,
                   bool asCardFile, Prompter& prompter, const BodyCompressor& compress) {
    const std::string status = "Saving " + out.TargetPath() + "...";
    prompter.Status(status);
    const int count = cards.Count();
    std::string line;
    if (asCardFile) {
        const bool encrypt = !settings.password.empty();
        Cipher cipher;
        std::string header = ToCommaText(BuildFileSettings(settings));
        if (encrypt) {
            cipher.SetEncryptionKey(settings.password);
            out.Write(" \",CONFE");
            out.Write(cipher.EncryptLine(header));
        } else {
            out.Write(" \",CONFU");
            out.Write(header);
        }
        out.Write("\r\n");
        if (settings.compressionLevel == 0) {
            for (int i = 0; i < count; ++i) {
                line = ToCommaText(cards.CardAt(i).lines);
                out.Write(encrypt ? cipher.EncryptLine(line) : line);
                out.Write("\r\n");
            }
        } else {
            std::string body;
            for (int i = 0; i < count; ++i) {
                body += ToCommaText(cards.CardAt(i).lines);
                body += "\r\n";
            }
            int level = UclLevelFor(settings.compressionLevel);
            if (level == 0) {
                level = UclLevelFor(3);
            }
            std::optional<std::string> block =
                compress ? compress(body, level, status) : CompressText(body, level);
            if (!block) {
                throw ECompressError("The cards could not be compressed; the file " +
                                     DoubleAmpersands(out.TargetPath()) + " was not written.");
            }
            body.clear();
            body.shrink_to_fit();
            std::string escaped = EscapePayload(*block);
            out.Write(encrypt ? cipher.EncryptLine(escaped) : escaped);
            out.Write("\r\n");
        }
        return;
    }

    // Text export.
    if (!settings.password.empty()) {
        prompter.Show(MsgKind::Warning, "File will be saved unencrypted!", Buttons::Ok);
    }
    std::string lowerPath = out.TargetPath();
    for (char& c : lowerPath) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    const bool utf8 = lowerPath.find("utf8.txt") != std::string::npos;
    const CodePage cp = cards.GetCodePage();
    const char separator = static_cast<char>(settings.cardSeparator & 0xFF);
    auto emit = [&](std::string_view text) {
        if (utf8) {
            out.Write(AnsiToUtf8(text, cp));
        } else {
            out.Write(text);
        }
        out.Write("\r\n");
    };
    int inserted = 0;
    for (int i = 0; i < count; ++i) {
        const Card& card = cards.CardAt(i);
        line.assign(1, separator);
        line += card.Index();
        emit(line);
        for (std::size_t k = 1; k < card.lines.size(); ++k) {
            const std::string& l = card.lines[k];
            if (!l.empty() && l.front() == separator) {
                out.Write(" ");
                ++inserted;
            }
            emit(l);
        }
    }
    if (inserted > 0) {
        prompter.Show(
            MsgKind::Warning,
            std::string("A space character was inserted in front of ") +
                (inserted == 1 ? std::string("one line") : std::to_string(inserted) + " lines") +
                " starting with the card separator character.",
            Buttons::OkHelp, 130);
    }
}

void WriteCardFile(const std::string& path, const CardSet& cards, const FileSettings& settings,
                   bool asCardFile, Prompter& prompter) {
    AtomicFile out(path);
    WriteCardFile(out, cards, settings, asCardFile, prompter);
    out.Commit();
}

}  // namespace tabellan
