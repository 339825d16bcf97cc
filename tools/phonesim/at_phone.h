// The simulated phone or modem: bytes from the serial line in, the device's answer out.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/phonebook_commands.h"
#include "phonesim/phonebook_store.h"
#include "phonesim/reply.h"
#include "phonesim/reply_shaper.h"

namespace tabellan::phonesim {

struct PhoneOptions {
    bool modem = false;  // a dial-up modem instead of a phone
    bool echo = true;    // echo at start; in modem mode false means it never echoes
    bool silent = false;
    bool garbage = false;
    bool resetError = false;            // ATZ fails with ERROR
    std::optional<std::string> replay;  // captured exchange answering every command
    std::optional<int> forcedCme;
    ShapeOptions shape;
    std::uint32_t seed = 1;  // for the garbage quirk
    // Answers held back: command line number (from 1, counting the lines that begin with AT)
    // -> how long. The echo still comes at once; later output queues behind a held answer.
    std::map<int, std::chrono::milliseconds> late;
};

// A piece of the device's output and how long it is held back before it may be sent.
struct Output {
    std::string bytes;
    std::chrono::milliseconds hold{0};
};

class AtPhone {
  public:
    AtPhone(PhoneOptions options, PhonebookStore& store);

    // Everything the device sends in answer to the bytes, in order (echo first).
    std::string receive(std::string_view bytes);
    // The same, in pieces that say how long each is held back.
    std::vector<Output> respond(std::string_view bytes);
    // An unsolicited result code, as a modem sends on an incoming call.
    std::string unsolicited() const;

    bool echo() const { return echo_; }
    bool dialing() const { return dialing_; }
    const std::string& storage() const { return phonebook_.storage(); }

  private:
    void receiveByte(char c, std::vector<Output>& out);
    std::string commandLine(const std::string& line);
    Reply execute(std::string_view body);
    Reply basic(std::string_view body);
    Reply extended(std::string_view body);
    std::optional<Reply> identification(std::string_view name, std::string_view rest) const;
    Reply reportErrors(std::string_view rest);
    std::string format(const Reply& reply) const;
    std::string garbage();
    void reset();

    PhoneOptions options_;
    PhonebookCommands phonebook_;
    ReplyShaper shaper_;
    std::string replayBody_;
    std::mt19937 random_;
    std::string line_;
    bool lineOverflow_ = false;
    bool lastWasCr_ = false;
    bool echo_ = true;
    bool dialing_ = false;
    int cmeMode_ = 0;   // AT+CMEE: 0 plain ERROR, 1 numeric, 2 verbose
    int commands_ = 0;  // command lines answered so far
};

}  // namespace tabellan::phonesim
