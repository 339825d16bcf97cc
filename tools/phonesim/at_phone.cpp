#include "phonesim/at_phone.h"

#include <array>
#include <utility>

#include "phonesim/at_arguments.h"

namespace tabellan::phonesim {

namespace {

// Longer command lines are answered with ERROR, as a phone's input buffer overflows.
constexpr std::size_t kMaxLine = 2048;

constexpr std::string_view kManufacturer = "Phonesim";
constexpr std::string_view kModel = "PS-100";
constexpr std::string_view kRevision = "PS-100 V1.02";
constexpr std::string_view kImei = "490154203237518";
constexpr std::string_view kImsi = "262019876543210";

struct CmeText {
    int code;
    std::string_view text;
};

constexpr std::array kCmeTexts{
    CmeText{0, "phone failure"},
    CmeText{3, "operation not allowed"},
    CmeText{4, "operation not supported"},
    CmeText{10, "SIM not inserted"},
    CmeText{11, "SIM PIN required"},
    CmeText{12, "SIM PUK required"},
    CmeText{13, "SIM failure"},
    CmeText{14, "SIM busy"},
    CmeText{16, "incorrect password"},
    CmeText{20, "memory full"},
    CmeText{21, "invalid index"},
    CmeText{22, "not found"},
    CmeText{23, "memory failure"},
    CmeText{24, "text string too long"},
    CmeText{26, "dial string too long"},
    CmeText{27, "invalid characters in dial string"},
    CmeText{30, "no network service"},
    CmeText{100, "unknown"},
};

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

}  // namespace

AtPhone::AtPhone(PhoneOptions options, PhonebookStore& store)
    : options_(std::move(options)),
      phonebook_(store, options_.forcedCme),
      shaper_(options_.shape),
      replayBody_(options_.replay ? ReplyShaper::replayBody(*options_.replay) : std::string()),
      random_(options_.seed) {
    reset();
}

void AtPhone::reset() {
    echo_ = options_.echo;
    cmeMode_ = 0;
}

std::string AtPhone::receive(std::string_view bytes) {
    std::string out;
    for (const Output& piece : respond(bytes)) {
        out += piece.bytes;
    }
    return out;
}

std::string AtPhone::unsolicited() const {
    return shaper_.shape({}, "RING");
}

std::vector<Output> AtPhone::respond(std::string_view bytes) {
    std::vector<Output> out;
    for (const char c : bytes) {
        receiveByte(c, out);
    }
    return out;
}

namespace {

void append(std::vector<Output>& out, std::string bytes, std::chrono::milliseconds hold) {
    if (bytes.empty()) {
        return;
    }
    if (!out.empty() && out.back().hold == hold && hold.count() == 0) {
        out.back().bytes += bytes;
    } else {
        out.push_back({std::move(bytes), hold});
    }
}

}  // namespace

void AtPhone::receiveByte(char c, std::vector<Output>& out) {
    using std::chrono::milliseconds;
    if (options_.silent) {
        return;
    }
    // The LF of a CR LF line end belongs to the command just ended: it is neither echoed
    // nor the start of the next command, so an echoing phone's reply still ends in OK CR LF.
    if (c == '\n' && lastWasCr_) {
        lastWasCr_ = false;
        return;
    }
    lastWasCr_ = c == '\r';
    if (dialing_) {
        // Any character stops a dialing modem; the program sends a lone CR.
        dialing_ = false;
        append(out, format(Reply::noCarrier()), milliseconds(0));
        return;
    }
    if (echo_ && !options_.garbage) {
        append(out, std::string(1, c), milliseconds(0));
    }
    if (c == '\r') {
        const std::string line = std::exchange(line_, {});
        const bool overflow = std::exchange(lineOverflow_, false);
        const int before = commands_;
        std::string answer = overflow ? format(Reply::error()) : commandLine(line);
        const auto late = options_.late.find(commands_);
        const bool held = commands_ != before && late != options_.late.end();
        append(out, std::move(answer), held ? late->second : milliseconds(0));
    } else if (c == '\b') {
        if (!line_.empty()) {
            line_.pop_back();
        }
    } else if (c != '\n') {
        if (line_.size() < kMaxLine) {
            line_ += c;
        } else {
            lineOverflow_ = true;
        }
    }
}

std::string AtPhone::commandLine(const std::string& line) {
    std::string_view text = line;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) {
        text.remove_prefix(1);
    }
    // Anything not starting with AT is line noise to a phone, and is not answered.
    if (text.size() < 2 || upper(text.substr(0, 2)) != "AT") {
        return {};
    }
    ++commands_;
    if (options_.garbage) {
        return garbage();
    }
    if (options_.replay) {
        return shaper_.shapeRaw(replayBody_);
    }
    return format(execute(text.substr(2)));
}

Reply AtPhone::execute(std::string_view body) {
    while (!body.empty() && body.back() == ' ') {
        body.remove_suffix(1);
    }
    if (body.empty()) {
        return Reply::ok();
    }
    if (body.front() == '+') {
        return options_.modem ? Reply::error() : extended(body);
    }
    return basic(body);
}

Reply AtPhone::basic(std::string_view body) {
    const std::string command = upper(body);
    if (command.front() == 'D') {
        if (!options_.modem) {
            return Reply::error();
        }
        dialing_ = true;
        return Reply::none();
    }
    if (command == "Z" || command == "Z0") {
        if (options_.resetError) {
            return Reply::error();
        }
        reset();
        return Reply::ok();
    }
    if (command == "E" || command == "E0" || command == "E1") {
        // A modem started with --no-echo stands for one that cannot echo at all.
        if (!options_.modem || options_.echo) {
            echo_ = command == "E1";
        }
        return Reply::ok();
    }
    if (command == "I" || command == "I0") {
        return Reply::ok({std::string(kManufacturer) + " " + std::string(kModel)});
    }
    static constexpr std::array kAccepted{"H",  "H0", "&F", "&F0", "V1", "Q0", "L0",
                                          "L1", "L2", "L3", "M0",  "M1", "M2", "X4"};
    for (const char* accepted : kAccepted) {
        if (command == accepted) {
            return Reply::ok();
        }
    }
    return Reply::error();
}

Reply AtPhone::extended(std::string_view body) {
    const std::size_t split = body.find_first_of("=?");
    const std::string name = upper(body.substr(0, split));
    const std::string_view rest =
        split == std::string_view::npos ? std::string_view() : body.substr(split);
    if (std::optional<Reply> reply = phonebook_.run(name, rest)) {
        return std::move(*reply);
    }
    if (std::optional<Reply> reply = identification(name, rest)) {
        return std::move(*reply);
    }
    if (name == "+CMEE") {
        return reportErrors(rest);
    }
    return Reply::error();
}

std::optional<Reply> AtPhone::identification(std::string_view name, std::string_view rest) const {
    struct Query {
        std::string_view name;
        std::string_view form;  // "" for an action command, "?" for a read command
        std::string answer;
    };
    const std::string pin = options_.forcedCme == 11   ? "+CPIN: SIM PIN"
                            : options_.forcedCme == 12 ? "+CPIN: SIM PUK"
                                                       : "+CPIN: READY";
    const std::array queries{
        Query{"+CGMI", "", std::string(kManufacturer)},
        Query{"+CGMM", "", std::string(kModel)},
        Query{"+CGMR", "", std::string(kRevision)},
        Query{"+CGSN", "", std::string(kImei)},
        Query{"+CIMI", "", std::string(kImsi)},
        Query{"+GMI", "", std::string(kManufacturer)},
        Query{"+GMM", "", std::string(kModel)},
        Query{"+GMR", "", std::string(kRevision)},
        Query{"+GSN", "", std::string(kImei)},
        Query{"+CSCA", "?", "+CSCA: \"+491710760000\",145"},
        Query{"+CBC", "", "+CBC: 0,80"},
        Query{"+CSQ", "", "+CSQ: 15,99"},
        Query{"+CREG", "?", "+CREG: 0,1"},
        Query{"+COPS", "?", "+COPS: 0,0,\"Phonesim Net\""},
        Query{"+CPIN", "?", pin},
    };
    for (const Query& query : queries) {
        if (query.name != name) {
            continue;
        }
        if (rest == query.form) {
            return Reply::ok({query.answer});
        }
        // Test commands, and setting a value the simulator does not keep.
        if (rest == "=?" || (query.form == "?" && rest.starts_with('='))) {
            return Reply::ok();
        }
        return Reply::error();
    }
    return std::nullopt;
}

Reply AtPhone::reportErrors(std::string_view rest) {
    if (rest == "?") {
        return Reply::ok({"+CMEE: " + std::to_string(cmeMode_)});
    }
    if (rest == "=?") {
        return Reply::ok({"+CMEE: (0-2)"});
    }
    if (!rest.starts_with('=')) {
        return Reply::error();
    }
    const auto args = parseAtArguments(rest.substr(1));
    if (!args || args->size() != 1) {
        return Reply::error();
    }
    const std::optional<int> mode =
        args->front().empty() ? std::optional<int>(0) : parseAtNumber(args->front(), 2);
    if (!mode) {
        return Reply::error();
    }
    cmeMode_ = *mode;
    return Reply::ok();
}

std::string AtPhone::format(const Reply& reply) const {
    switch (reply.kind) {
        case Reply::Kind::Ok:
            return shaper_.shape(reply.lines, "OK");
        case Reply::Kind::Error:
            return shaper_.shape(reply.lines, "ERROR");
        case Reply::Kind::NoCarrier:
            return shaper_.shape(reply.lines, "NO CARRIER");
        case Reply::Kind::None:
            return {};
        case Reply::Kind::CmeError:
            break;
    }
    if (cmeMode_ == 0 && !reply.forced) {
        return shaper_.shape(reply.lines, "ERROR");
    }
    std::string detail = std::to_string(reply.cme);
    if (cmeMode_ == 2) {
        for (const CmeText& known : kCmeTexts) {
            if (known.code == reply.cme) {
                detail = std::string(known.text);
            }
        }
    }
    return shaper_.shape(reply.lines, "+CME ERROR: " + detail);
}

std::string AtPhone::garbage() {
    std::uniform_int_distribution<int> length(16, 48);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(static_cast<std::size_t>(length(random_)), '\0');
    for (char& c : out) {
        c = static_cast<char>(byte(random_));
    }
    // A NUL in the middle, and no LF at the end, so that it can never pass for a result code.
    out[out.size() / 2] = '\0';
    if (out.back() == '\n') {
        out.back() = '\x7f';
    }
    return out;
}

}  // namespace tabellan::phonesim
