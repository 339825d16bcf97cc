#include "cardfile/command_runner.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "cardfile/card_info.h"
#include "cardfile/prompter.h"
#include "cardfile/text_util.h"

extern char** environ;

namespace tabellan {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char a = text[i];
        const char lower = (a >= 'A' && a <= 'Z') ? static_cast<char>(a - 'A' + 'a') : a;
        if (lower != prefix[i]) {
            return false;
        }
    }
    return true;
}

// A path that exists but is no program of its own (a folder, a file without the execute
// permission) is a document for the opener. A bare name that is no such file is looked up on
// the program search path, as a shell would.
bool IsDocument(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) || ::access(file.c_str(), X_OK) != 0;
}

// Starts argv[0] from the search path; a detached thread reaps it so no zombie stays.
int Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // The started program should not share the terminal's signals (Ctrl+C) with us.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    const int rc = ::posix_spawnp(&pid, argv[0], nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        return rc;
    }
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

}  // namespace

std::vector<std::string> SplitShellWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    std::size_t i = 0;
    auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            ++i;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t close = text.find('\'', i + 1);
            const std::size_t end = close == std::string_view::npos ? text.size() : close;
            word.append(text.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? text.size() : close + 1;
        } else if (c == '"') {
            ++i;
            while (i < text.size() && text[i] != '"') {
                const char n = at(i + 1);
                if (text[i] == '\\' && (n == '"' || n == '\\' || n == '$' || n == '`')) {
                    word += n;
                    i += 2;
                } else {
                    word += text[i++];
                }
            }
            ++i;  // the closing quote, or past the end
        } else if (c == '\\' && i + 1 < text.size()) {
            word += text[i + 1];
            i += 2;
        } else {
            word += c;
            ++i;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

bool IsWebAddress(std::string_view file) {
    for (const std::string_view prefix :
         {"http://", "https://", "ftp://", "file://", "mailto:", "www."}) {
        if (StartsWithNoCase(file, prefix)) {
            return true;
        }
    }
    return false;
}

std::string ErrorRunningMessage(std::string_view file, int err) {
    return ErrorRunningMessage(file, std::string_view(std::strerror(err)));
}

std::string ErrorRunningMessage(std::string_view file, std::string_view reason) {
    // The file name and the opener's words are shown as they are, "&" included.
    std::string text =
        "Error running:\r\n" + DoubleAmpersands(file) + ".\r\n\r\n" + DoubleAmpersands(reason);
    if (text.back() != '.') {
        text += '.';
    }
    return text;
}

std::string OpenerFailureReason(std::string_view opener, int exitStatus,
                                std::string_view errorOutput) {
    // The last few lines say what went wrong; a chatty opener must not fill the screen.
    constexpr std::size_t kLines = 4;
    constexpr std::size_t kMaxLength = 600;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < errorOutput.size()) {
        std::size_t end = errorOutput.find('\n', start);
        if (end == std::string_view::npos) {
            end = errorOutput.size();
        }
        std::string_view line = errorOutput.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            lines.emplace_back(line);
        }
        start = end + 1;
    }
    if (lines.empty()) {
        return std::string(opener) + " ended with exit status " + std::to_string(exitStatus);
    }
    // Lines the opener says in its own name ("xdg-open: no method available ...") are its
    // verdict; the rest is the noise of what it tried on the way.
    const std::size_t slash = opener.rfind('/');
    const std::string own =
        std::string(slash == std::string_view::npos ? opener : opener.substr(slash + 1)) + ": ";
    std::vector<std::string> verdict;
    for (const std::string& line : lines) {
        if (line.rfind(own, 0) == 0) {
            verdict.push_back(line);
        }
    }
    if (!verdict.empty()) {
        lines = std::move(verdict);
    }
    std::string reason;
    for (std::size_t i = lines.size() > kLines ? lines.size() - kLines : 0; i < lines.size(); ++i) {
        reason += (reason.empty() ? "" : "\r\n") + lines[i];
    }
    if (reason.size() > kMaxLength) {
        reason = reason.substr(reason.size() - kMaxLength);
    }
    return reason;
}

std::string OpenerNotStartedReason(std::string_view opener, int err) {
    if (err == ENOENT) {
        return std::string(opener) +
               ", the program that opens documents and web addresses, is not installed";
    }
    return std::string(opener) + " could not be started: " + std::strerror(err);
}

std::optional<std::string> CommandRunner::Run(std::string_view file,
                                              std::string_view parameters) const {
    const std::string path(file);
    if (path.empty()) {
        return ErrorRunningMessage(file, ENOENT);
    }
    if (IsWebAddress(path) || IsDocument(path)) {
        const std::vector<std::string> args = {opener_, path};
        if (startOpener_) {
            startOpener_(args, path);
            return std::nullopt;
        }
        // Only the start is seen here: the message names the opener, not the document.
        if (const int rc = Spawn(args); rc != 0) {
            return ErrorRunningMessage(file, OpenerNotStartedReason(opener_, rc));
        }
        return std::nullopt;
    }
    std::vector<std::string> args = {path};
    for (auto& w : SplitShellWords(parameters)) {
        args.push_back(std::move(w));
    }
    if (const int rc = Spawn(args); rc != 0) {
        return ErrorRunningMessage(file, rc);
    }
    return std::nullopt;
}

void CommandRunner::Execute(std::string_view pendingCommand, CodePage cp,
                            Prompter& prompter) const {
    const SplitCommand cmd = SplitAtFirstBlank(pendingCommand);
    const BusyScope busy(prompter);
    if (const auto error = Run(AnsiToUtf8(cmd.file, cp), AnsiToUtf8(cmd.parameters, cp))) {
        // The message names the file as the system spells it; shown in the card code page.
        prompter.Show(MsgKind::Error, Utf8ToAnsi(*error, cp), Buttons::OkHelp, 480);
    }
}

}  // namespace tabellan
