#include "cli/cli_prompter.h"

#include <utility>

#include "cardfile/codepage.h"
#include "cardfile/text_util.h"

namespace tabellan {
namespace {

const char* KindLabel(MsgKind kind) {
    switch (kind) {
        case MsgKind::Error:
            return "error";
        case MsgKind::Information:
            return "information";
        case MsgKind::Confirmation:
            return "question";
        case MsgKind::Warning:
            return "warning";
    }
    return "message";
}

const char* AnswerLabel(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return "OK";
        case Answer::Yes:
            return "Yes";
        case Answer::No:
            return "No";
        case Answer::Cancel:
            return "Cancel";
    }
    return "";
}

bool IsQuestion(Buttons buttons) {
    return buttons != Buttons::Ok && buttons != Buttons::OkHelp;
}

}  // namespace

Answer SafeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkHelp:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
        case Buttons::YesNoCancelHelp:
        case Buttons::OkCancel:
            return Answer::Cancel;
    }
    return Answer::Cancel;
}

std::string MessageForTerminal(std::string_view ansiText) {
    // A message that names a UTF-8 file is taken as UTF-8, as the desktop program does.
    const std::string text = ShownMessage(ansiText);
    return HoldsUtf8Characters(text) ? text : AnsiToUtf8(text);
}

std::optional<std::string> ReadInputLine(std::FILE* in) {
    std::string line;
    int c = 0;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
        line += static_cast<char>(c);
    }
    if (c == EOF && line.empty()) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::optional<std::string> ReadPasswordLine(std::FILE* in) {
    std::optional<std::string> line = ReadInputLine(in);
    if (!line) {
        return std::nullopt;
    }
    return Utf8ToAnsi(*line);
}

CliPrompter::CliPrompter(std::optional<std::string> password, std::FILE* err)
    : password_(std::move(password)), err_(err) {}

Answer CliPrompter::Show(MsgKind kind, std::string_view text, Buttons buttons,
                         int /*helpContext*/) {
    const Answer answer = SafeAnswer(buttons);
    std::string line = std::string(KindLabel(kind)) + ": " + MessageForTerminal(text);
    if (IsQuestion(buttons)) {
        line += std::string(" [answered ") + AnswerLabel(answer) + "]";
    }
    Print(line);
    return answer;
}

std::optional<std::string> CliPrompter::AskPassword(std::string_view /*caption*/,
                                                    std::string_view /*prompt*/,
                                                    std::string_view /*initial*/) {
    return password_;
}

std::optional<std::string> CliPrompter::InputBox(std::string_view caption,
                                                 std::string_view /*prompt*/,
                                                 std::string_view /*initial*/) {
    Print("input: " + MessageForTerminal(caption) + " [cancelled]");
    return std::nullopt;
}

void CliPrompter::Print(const std::string& utf8Line) {
    std::fputs(utf8Line.c_str(), err_);
    std::fputc('\n', err_);
    std::fflush(err_);
}

}  // namespace tabellan
