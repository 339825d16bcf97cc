// Turns a reply into the bytes a phone sends, with the quirks of real phones on request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabellan::phonesim {

struct ShapeOptions {
    bool lfOnly = false;   // LF instead of CR LF
    bool bareOk = false;   // final "OK" CR LF without the CR LF before it
    bool ring = false;     // an unsolicited RING in the middle of each reply
    bool cutOff = false;   // only the first half of each reply
    bool noBlank = false;  // "+CPBR:1,..." without the blank after an answer's colon
    bool nulAt = false;    // "@" of information lines sent as a zero byte (GSM alphabet)
};

class ReplyShaper {
  public:
    explicit ReplyShaper(ShapeOptions options) : options_(options) {}

    // Verbose format: CR LF, the lines each ending in CR LF, then CR LF result CR LF.
    std::string shape(const std::vector<std::string>& lines, const std::string& result) const;
    // A captured reply sent as it is, apart from the line end and cut-off quirks.
    std::string shapeRaw(std::string_view bytes) const;

    // The reply part of a captured exchange: the leading echo of the command is dropped
    // (the simulator echoes what it really received), and a capture whose CR LF were
    // normalised to LF gets them back.
    static std::string replayBody(std::string_view capture);

  private:
    std::string line(std::string text) const;
    std::string finish(std::string bytes) const;

    ShapeOptions options_;
};

}  // namespace tabellan::phonesim
