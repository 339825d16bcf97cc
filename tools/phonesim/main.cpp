// tabellan-phonesim: a simulated mobile phone (or modem) on a pseudo-terminal.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/at_phone.h"
#include "phonesim/phonebook_store.h"
#include "phonesim/pty.h"
#include "phonesim/pty_server.h"

namespace {

using namespace tabellan::phonesim;

constexpr const char* kUsage =
    R"(usage: tabellan-phonesim [OPTION]...
Simulates a mobile phone (or with --modem a dial-up modem) on a pseudo-terminal.
Prints the terminal's device path as the first line, then serves until SIGTERM or
SIGINT, or until its standard input reaches end of file when that is a pipe.

  --link PATH        also create the symlink PATH to the device (removed at exit)
  --phonebook FILE   phonebook memories from the JSON file FILE, written back after
                     every successful AT+CPBW; without it a small built-in phonebook
  --modem            act as a modem: ATZ, ATE0/ATE1, ATDT/ATDP<number> dials until
                     any character arrives, which ends the call with NO CARRIER
  --no-echo          start with echo off (a modem: never echo, ATE1 has no effect)
  --reset-error      answer ATZ with ERROR
  --talk MS          send an unsolicited RING every MS milliseconds, whatever happens
  --log FILE         write every byte received from the program to FILE
  --lf-only          end reply lines with LF instead of CR LF
  --trickle MS       send one byte every MS milliseconds
  --bare-ok          send the final OK without the CR LF before it
  --silent           read everything, never answer, not even with an echo
  --garbage          answer every command with random bytes (NULs included) and
                     nothing else, no echo and no result code
  --cut-off          send only the first half of every reply
  --ring             put an unsolicited RING in the middle of every reply
  --no-blank         leave out the blank after the colon of information lines
                     (+CPBR:1,"555",129,"Ann", +CPBR:(1-250),40,18)
  --nul-at           send the "@" of information lines as a zero byte, its code in
                     the GSM alphabet
  --late N:MS        hold the answer to the N-th command line (counting the lines
                     that begin with AT, from 1) back for MS milliseconds; the echo
                     comes at once, and later output waits behind it; may be repeated
  --replay FILE      answer every command with the reply captured in FILE; its echo
                     line is dropped (the real echo is sent instead, when echo is on)
                     and LF-only line ends become CR LF again; the commands are
                     not interpreted (ATE0 too gets the captured reply), and only
                     --lf-only, --cut-off and --trickle change the reply
  --cme CODE         fail every phonebook command with +CME ERROR: CODE
                     (11: SIM PIN required)
  --help             show this text

A text in the phonebook file may hold a line break; it is sent as it is, inside the
double quotes, as some phones do.

The phone understands AT, ATZ, ATE0/ATE1, ATI, AT+CMEE, AT+CPBS, AT+CPBR, AT+CPBW,
AT+CGMI/CGMM/CGMR/CGSN/CIMI, AT+GMI/GMM/GMR/GSN, AT+CSCA?, AT+CBC, AT+CSQ,
AT+CREG?, AT+COPS? and AT+CPIN?; anything else is answered with ERROR. Phonebook
errors are a plain ERROR until AT+CMEE=1 (numeric) or AT+CMEE=2 (verbose) asks for
+CME ERROR; the code given with --cme is always reported as +CME ERROR.
)";

struct Settings {
    std::optional<std::string> link;
    std::optional<std::string> phonebook;
    std::optional<std::string> replayFile;
    int trickleMs = 0;
    int talkMs = 0;
    std::optional<std::string> logFile;
    PhoneOptions phone;
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

int number(std::string_view option, std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw UsageError(std::string(option) + " needs a number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ", not \"" + std::string(text) + "\"");
    }
    return value;
}

std::optional<Settings> parseArguments(const std::vector<std::string_view>& args) {
    Settings s;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size()) {
                throw UsageError(std::string(arg) + " needs a value");
            }
            return args[++i];
        };
        if (arg == "--help") {
            return std::nullopt;
        } else if (arg == "--link") {
            s.link = std::string(value());
        } else if (arg == "--phonebook") {
            s.phonebook = std::string(value());
        } else if (arg == "--replay") {
            s.replayFile = std::string(value());
        } else if (arg == "--trickle") {
            s.trickleMs = number(arg, value(), 1, 60000);
        } else if (arg == "--talk") {
            s.talkMs = number(arg, value(), 1, 60000);
        } else if (arg == "--log") {
            s.logFile = std::string(value());
        } else if (arg == "--reset-error") {
            s.phone.resetError = true;
        } else if (arg == "--cme") {
            s.phone.forcedCme = number(arg, value(), 0, 65535);
        } else if (arg == "--modem") {
            s.phone.modem = true;
        } else if (arg == "--no-echo") {
            s.phone.echo = false;
        } else if (arg == "--lf-only") {
            s.phone.shape.lfOnly = true;
        } else if (arg == "--bare-ok") {
            s.phone.shape.bareOk = true;
        } else if (arg == "--silent") {
            s.phone.silent = true;
        } else if (arg == "--garbage") {
            s.phone.garbage = true;
        } else if (arg == "--cut-off") {
            s.phone.shape.cutOff = true;
        } else if (arg == "--ring") {
            s.phone.shape.ring = true;
        } else if (arg == "--no-blank") {
            s.phone.shape.noBlank = true;
        } else if (arg == "--nul-at") {
            s.phone.shape.nulAt = true;
        } else if (arg == "--late") {
            const std::string_view spec = value();
            const std::size_t colon = spec.find(':');
            if (colon == std::string_view::npos) {
                throw UsageError("--late needs N:MS, not \"" + std::string(spec) + "\"");
            }
            const int line = number(arg, spec.substr(0, colon), 1, 1000000);
            s.phone.late[line] =
                std::chrono::milliseconds(number(arg, spec.substr(colon + 1), 0, 600000));
        } else {
            throw UsageError("unknown option " + std::string(arg));
        }
    }
    return s;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path + ": cannot be read");
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The symlink a user points the program at; removed at exit if it still leads to us.
class Symlink {
  public:
    Symlink(std::string link, std::string target)
        : link_(std::move(link)), target_(std::move(target)) {
        std::error_code error;
        // Replace a stale link from an earlier run, never a real file.
        if (std::filesystem::is_symlink(link_, error)) {
            std::filesystem::remove(link_, error);
        }
        std::filesystem::create_symlink(target_, link_);
    }
    Symlink(const Symlink&) = delete;
    Symlink& operator=(const Symlink&) = delete;
    ~Symlink() {
        std::error_code error;
        if (std::filesystem::read_symlink(link_, error) == target_ && !error) {
            std::filesystem::remove(link_, error);
        }
    }

  private:
    std::string link_;
    std::string target_;
};

int stopPipe[2] = {-1, -1};

extern "C" void onStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(stopPipe[1], &byte, 1);
}

void installSignals() {
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(sig, &action, nullptr);
    }
    ::signal(SIGPIPE, SIG_IGN);
}

// Standard input ends the run only when it is a pipe or socket (a test holding the other
// end); a terminal or /dev/null would stop a simulator started in the background at once.
int watchedInput() {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))) {
        return STDIN_FILENO;
    }
    return -1;
}

int serve(Settings settings) {
    PhonebookStore store = settings.phonebook ? PhonebookStore::loadFile(*settings.phonebook)
                                              : PhonebookStore::builtIn();
    if (settings.replayFile) {
        settings.phone.replay = readWholeFile(*settings.replayFile);
    }
    settings.phone.seed = std::random_device{}();
    AtPhone phone(settings.phone, store);
    installSignals();
    const Pty pty;
    std::optional<Symlink> link;
    if (settings.link) {
        link.emplace(*settings.link, pty.slavePath());
    }
    std::ofstream log;
    if (settings.logFile) {
        log.open(*settings.logFile, std::ios::binary | std::ios::trunc);
        if (!log) {
            throw std::runtime_error(*settings.logFile + ": cannot be written");
        }
    }
    std::cout << pty.slavePath() << std::endl;
    PtyServer server(pty, phone, std::chrono::milliseconds(settings.trickleMs));
    server.setTalk(std::chrono::milliseconds(settings.talkMs));
    server.setLog(settings.logFile ? &log : nullptr);
    server.run(stopPipe[0], watchedInput());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        const std::optional<Settings> settings = parseArguments(args);
        if (!settings) {
            std::cout << kUsage;
            return 0;
        }
        return serve(*settings);
    } catch (const UsageError& e) {
        std::cerr << "tabellan-phonesim: " << e.what() << "\n"
                  << "Try --help.\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "tabellan-phonesim: " << e.what() << "\n";
        return 1;
    }
}
