#include "cardfile/card_file.h"

#include <exception>

#include "cardfile/atomic_file.h"
#include "cardfile/cipher.h"
#include "cardfile/codepage.h"
#include "cardfile/comma_text.h"
#include "cardfile/compression.h"
#include "cardfile/errors.h"
#include "cardfile/line_reader.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

constexpr std::string_view kHeaderStart = " \",CONF";

bool IsHeader(std::string_view line) { return line.substr(0, kHeaderStart.size()) == kHeaderStart; }

// A card from one comma-text line; false when the line yields no field.
bool AddCard(CardSet& cards, std::string_view line) {
    std::vector<std::string> fields = FromCommaText(line);
    if (fields.empty()) {
        return false;
    }
    cards.AppendUnsorted(Card{std::move(fields)});
    return true;
}

void ReadCards(const std::string& path, const std::string& data, CardSet& cards,
               FileSettings& settings, const SettingsContext& ctx, Prompter& prompter,
               LoadResult& result) {
    LineReader reader(data);
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
                std::string payload = decrypt ? cipher.DecryptLine(payloadLine)
                                              : std::string(payloadLine);
                std::optional<std::string> body = DecompressText(UnescapePayload(payload));
                if (!body) {
                    throw EDamagedFile("The card file " + path +
                                       " is damaged: its compressed cards cannot be read.");
                }
                std::string_view rest = *body;
                while (!rest.empty()) {
                    AddCard(cards, CutToken(rest, "\r\n"));
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
    LoadResult result;
    // The closing steps (index correction and its message) run however the load ends.
    auto finish = [&] {
        cards.SortPending();
        result.corrections = cards.CorrectIndexes();
        ReportIndexCorrections(result.corrections, prompter);
    };
    try {
        const std::string data = ReadWholeFile(path);
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
                   bool asCardFile, Prompter& prompter) {
    prompter.Status("Saving " + out.TargetPath() + "...");
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
            std::optional<std::string> block = CompressText(body, level);
            if (!block) {
                throw ECompressError("The cards could not be compressed; the file " +
                                     out.TargetPath() + " was not written.");
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
        prompter.Show(MsgKind::Warning,
                      std::string("A space character was inserted in front of ") +
                          (inserted == 1 ? std::string("one line")
                                         : std::to_string(inserted) + " lines") +
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
