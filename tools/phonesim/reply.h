// The outcome of one AT command before it is turned into bytes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tabellan::phonesim {

struct Reply {
    enum class Kind { Ok, Error, CmeError, NoCarrier, None };

    std::vector<std::string> lines;  // information lines, without line ends
    Kind kind = Kind::Ok;
    int cme = 0;
    // A +CME ERROR forced by the command line shows its code even while AT+CMEE=0.
    bool forced = false;

    static Reply ok(std::vector<std::string> lines = {}) {
        Reply r;
        r.lines = std::move(lines);
        return r;
    }
    static Reply error() { return withKind(Kind::Error); }
    static Reply cmeError(int code, bool forcedCode = false) {
        Reply r = withKind(Kind::CmeError);
        r.cme = code;
        r.forced = forcedCode;
        return r;
    }
    static Reply noCarrier() { return withKind(Kind::NoCarrier); }
    // No answer at all, as while a modem dials.
    static Reply none() { return withKind(Kind::None); }

  private:
    static Reply withKind(Kind kind) {
        Reply r;
        r.kind = kind;
        return r;
    }
};

}  // namespace tabellan::phonesim
