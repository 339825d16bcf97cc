#include "phonesim/reply_shaper.h"

namespace tabellan::phonesim {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool startsWithAt(std::string_view s) {
    return s.size() >= 2 && (s[0] == 'A' || s[0] == 'a') && (s[1] == 'T' || s[1] == 't');
}

std::string replaceAll(std::string_view in, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = in.find(from, pos);
        if (hit == std::string_view::npos) {
            out.append(in.substr(pos));
            return out;
        }
        out.append(in.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
}

}  // namespace

std::string ReplyShaper::line(std::string text) const {
    if (options_.noBlank && text.starts_with('+')) {
        const std::size_t colon = text.find(':');
        if (colon != std::string::npos && colon + 1 < text.size() && text[colon + 1] == ' ') {
            text.erase(colon + 1, 1);
        }
    }
    if (options_.nulAt) {
        for (char& c : text) {
            if (c == '@') {
                c = '\0';
            }
        }
    }
    return text;
}

std::string ReplyShaper::shape(const std::vector<std::string>& lines,
                               const std::string& result) const {
    std::vector<std::string> chunks;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        chunks.push_back((i == 0 ? std::string(kCrLf) : std::string()) + line(lines[i]) +
                         std::string(kCrLf));
    }
    if (options_.ring) {
        // Between two lines, never after the result code, as a phone sends URCs.
        const std::size_t at = (lines.size() + 1) / 2;
        chunks.insert(chunks.begin() + static_cast<std::ptrdiff_t>(at), "\r\nRING\r\n");
    }
    const bool bare = options_.bareOk && result == "OK";
    chunks.push_back((bare ? std::string() : std::string(kCrLf)) + result + std::string(kCrLf));
    std::string bytes;
    for (const std::string& chunk : chunks) {
        bytes += chunk;
    }
    return finish(std::move(bytes));
}

std::string ReplyShaper::shapeRaw(std::string_view bytes) const {
    return finish(std::string(bytes));
}

std::string ReplyShaper::finish(std::string bytes) const {
    if (options_.lfOnly) {
        bytes = replaceAll(bytes, kCrLf, "\n");
    }
    if (options_.cutOff) {
        bytes.resize(bytes.size() / 2);
    }
    return bytes;
}

std::string ReplyShaper::replayBody(std::string_view capture) {
    const bool hasCrLf = capture.find(kCrLf) != std::string_view::npos;
    if (startsWithAt(capture)) {
        const std::size_t end = capture.find(hasCrLf ? '\r' : '\n');
        capture.remove_prefix(end == std::string_view::npos ? capture.size() : end + 1);
        // An echo that ended in CR LF rather than CR alone.
        if (hasCrLf && capture.starts_with('\n')) {
            capture.remove_prefix(1);
        }
    }
    return hasCrLf ? std::string(capture) : replaceAll(capture, "\n", kCrLf);
}

}  // namespace tabellan::phonesim
