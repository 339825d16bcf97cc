#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phonesim/at_phone.h"

namespace tabellan::phonesim {
namespace {

const char* const kBook = R"({
  "SM": {"capacity": 5, "entries": [
     {"index": 1, "number": "+4930123", "type": 145, "text": "Alice"},
     {"index": 3, "number": "0301", "type": 129, "text": "Bob, Office"}]},
  "ME": {"capacity": 2, "text_length": 4, "entries": [
     {"index": 2, "number": "555", "type": 129, "text": "Dave"}]}
})";

// Lines as the program splits a reply: at CR, LF or CR LF.
std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out.push_back(line);
            line.clear();
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += bytes[i];
        }
    }
    if (!line.empty()) {
        out.push_back(line);
    }
    return out;
}

class PhonesimAtPhone : public ::testing::Test {
  protected:
    explicit PhonesimAtPhone(PhoneOptions options = {}) : phone_(options, store_) {}

    // The reply to one command as the program sends it (CR LF), echo switched off first.
    std::string quiet(const std::string& command) {
        if (phone_.echo()) {
            phone_.receive("ATE0\r\n");
        }
        return phone_.receive(command + "\r\n");
    }

    PhonebookStore store_ = PhonebookStore::fromJson(kBook);
    AtPhone phone_;
};

TEST_F(PhonesimAtPhone, EchoingPhoneGivesEchoEmptyInfoEmptyOk) {
    const std::string reply = phone_.receive("AT+CGMI\r\n");
    EXPECT_EQ(reply, "AT+CGMI\r\r\nPhonesim\r\n\r\nOK\r\n");
    EXPECT_EQ(lines(reply), (std::vector<std::string>{"AT+CGMI", "", "Phonesim", "", "OK"}));
    EXPECT_EQ(phone_.receive("AT\r\n"), "AT\r\r\nOK\r\n");
}

TEST_F(PhonesimAtPhone, EchoSwitchesAndCommandsArriveInPieces) {
    EXPECT_EQ(phone_.receive("ATE0\r\n"), "ATE0\r\r\nOK\r\n") << "echoed before it takes effect";
    EXPECT_EQ(phone_.receive("AT\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("at+cg"), "");
    EXPECT_EQ(phone_.receive("mm\r"), "\r\nPS-100\r\n\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("\n"), "") << "LF of the CR LF is swallowed";
    EXPECT_EQ(phone_.receive("ATE1\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("ATE\r"), "ATE\r\r\nOK\r\n");
    EXPECT_FALSE(phone_.echo());
}

TEST_F(PhonesimAtPhone, LineNoiseBackspaceAndOverlongLines) {
    EXPECT_EQ(quiet("hello"), "") << "text without AT is not answered";
    EXPECT_EQ(quiet(""), "");
    EXPECT_EQ(quiet("  AT"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CSX\bQ"), "\r\n+CSQ: 15,99\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT" + std::string(5000, 'X')), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT"), "\r\nOK\r\n") << "the overflow does not spill into the next line";
}

TEST_F(PhonesimAtPhone, AnswersTheIdentificationAndStatusQueries) {
    const struct {
        const char* command;
        const char* answer;
    } queries[] = {
        {"AT+CGMI", "Phonesim"},        {"AT+CGMM", "PS-100"},
        {"AT+CGMR", "PS-100 V1.02"},    {"AT+CGSN", "490154203237518"},
        {"AT+CIMI", "262019876543210"}, {"AT+GMI", "Phonesim"},
        {"AT+GMM", "PS-100"},           {"AT+GMR", "PS-100 V1.02"},
        {"AT+GSN", "490154203237518"},  {"AT+CSCA?", "+CSCA: \"+491710760000\",145"},
        {"AT+CBC", "+CBC: 0,80"},       {"AT+CSQ", "+CSQ: 15,99"},
        {"AT+CREG?", "+CREG: 0,1"},     {"AT+COPS?", "+COPS: 0,0,\"Phonesim Net\""},
        {"AT+CPIN?", "+CPIN: READY"},   {"ATI", "Phonesim PS-100"},
    };
    for (const auto& q : queries) {
        EXPECT_EQ(quiet(q.command), std::string("\r\n") + q.answer + "\r\n\r\nOK\r\n") << q.command;
    }
    EXPECT_EQ(quiet("AT+CGMI=?"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CSCA=\"+4917\",145"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CSCA"), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT+CSQ?"), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT+XYZ"), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("ATDT123"), "\r\nERROR\r\n") << "a phone in this mode does not dial";
}

TEST_F(PhonesimAtPhone, StorageSelection) {
    EXPECT_EQ(phone_.storage(), "SM");
    EXPECT_EQ(quiet("AT+CPBS=?"), "\r\n+CPBS: (\"ME\",\"SM\")\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBS?"), "\r\n+CPBS: \"SM\",2,5\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+cpbs=\"me\""), "\r\nOK\r\n");
    EXPECT_EQ(phone_.storage(), "ME");
    EXPECT_EQ(quiet("AT+CPBR=1,2"), "\r\n+CPBR: 2,\"555\",129,\"Dave\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBS=\"XX\""), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT+CMEE=1"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBS=\"XX\""), "\r\n+CME ERROR: 3\r\n");
    EXPECT_EQ(quiet("AT+CPBS="), "\r\nERROR\r\n");
    EXPECT_EQ(phone_.storage(), "ME");
}

TEST_F(PhonesimAtPhone, PhonebookRead) {
    EXPECT_EQ(quiet("AT+cpbr=?"), "\r\n+CPBR: (1-5),40,18\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+cpbr=1,5"),
              "\r\n+CPBR: 1,\"+4930123\",145,\"Alice\"\r\n"
              "+CPBR: 3,\"0301\",129,\"Bob, Office\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=3"), "\r\n+CPBR: 3,\"0301\",129,\"Bob, Office\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=4,5"), "\r\nOK\r\n") << "an empty range is OK alone";
    EXPECT_EQ(quiet("AT+CPBR=2"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR="), "\r\nERROR\r\n") << "the program's read without a range";
    EXPECT_EQ(quiet("AT+CPBR"), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT+CPBR=1,x"), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT+CMEE=1"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=0,5"), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(quiet("AT+CPBR=1,6"), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(quiet("AT+CPBR=4,2"), "\r\n+CME ERROR: 21\r\n");
}

TEST_F(PhonesimAtPhone, PhonebookWriteDeleteAndFirstFree) {
    EXPECT_EQ(quiet("AT+CPBW=?"), "\r\n+CPBW: (1-5),40,(129,145),18\r\n\r\nOK\r\n");
    // The update sends a card line, that is a read's entry line, back unchanged.
    EXPECT_EQ(quiet("AT+cpbw=1,\"+4930999\",145,\"Alice, new\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+cpbw=3"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+cpbw=,\"0302\",129,\"Carol\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+cpbw=,\"+1555\",,\"Eve\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=5,\"0303\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=1,5"),
              "\r\n+CPBR: 1,\"+4930999\",145,\"Alice, new\"\r\n"
              "+CPBR: 2,\"0302\",129,\"Carol\"\r\n"
              "+CPBR: 3,\"+1555\",145,\"Eve\"\r\n"
              "+CPBR: 5,\"0303\",129,\"\"\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=5,\"\",129,\"\""), "\r\nOK\r\n") << "nothing to write deletes";
    EXPECT_EQ(store_.memory("SM")->entries.count(5), 0u);
}

TEST_F(PhonesimAtPhone, PhonebookWriteErrors) {
    const struct {
        const char* command;
        const char* plain;
        const char* numeric;
    } cases[] = {
        {"AT+CPBW=", "ERROR", "ERROR"},
        {"AT+CPBW", "ERROR", "ERROR"},
        {"AT+CPBW=x", "ERROR", "ERROR"},
        {"AT+CPBW=1,\"1\",abc,\"A\"", "ERROR", "ERROR"},
        {"AT+CPBW=1,\"1\",129,\"A\",9", "ERROR", "ERROR"},
        {"AT+CPBW=1,\"1\",129,\"A", "ERROR", "ERROR"},
        {"AT+CPBW=6,\"1\",129,\"A\"", "ERROR", "+CME ERROR: 21"},
        {"AT+CPBW=1,\"1\",129,\"Nineteen characters\"", "ERROR", "+CME ERROR: 24"},
        {"AT+CPBW=1,\"12-34\",129,\"A\"", "ERROR", "+CME ERROR: 27"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quiet(c.command), std::string("\r\n") + c.plain + "\r\n") << c.command;
    }
    quiet("AT+CMEE=1");
    for (const auto& c : cases) {
        EXPECT_EQ(quiet(c.command), std::string("\r\n") + c.numeric + "\r\n") << c.command;
    }
    quiet("AT+CPBS=\"ME\"");
    EXPECT_EQ(quiet("AT+CPBW=,\"1\",129,\"A\""), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBW=,\"2\",129,\"B\""), "\r\n+CME ERROR: 20\r\n");
    EXPECT_EQ(store_.memory("SM")->entries.size(), 2u) << "failed writes change nothing";
}

TEST_F(PhonesimAtPhone, ErrorReportModes) {
    EXPECT_EQ(quiet("AT+CMEE?"), "\r\n+CMEE: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CMEE=?"), "\r\n+CMEE: (0-2)\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CMEE=2"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CPBR=9"), "\r\n+CME ERROR: invalid index\r\n");
    EXPECT_EQ(quiet("AT+CMEE=3"), "\r\nERROR\r\n");
    EXPECT_EQ(quiet("AT+CMEE?"), "\r\n+CMEE: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("ATZ"), "\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CMEE?"), "\r\n+CMEE: 0\r\n\r\nOK\r\n") << "ATZ resets it";
}

class PhonesimLockedSim : public PhonesimAtPhone {
  protected:
    static PhoneOptions locked() {
        PhoneOptions o;
        o.forcedCme = 11;
        return o;
    }
    PhonesimLockedSim() : PhonesimAtPhone(locked()) {}
};

TEST_F(PhonesimLockedSim, EveryPhonebookCommandFailsWithTheCode) {
    for (const char* command : {"AT+cpbs=\"SM\"", "AT+cpbr=?", "AT+cpbr=1,5", "AT+cpbw=1"}) {
        EXPECT_EQ(quiet(command), "\r\n+CME ERROR: 11\r\n") << command;
    }
    EXPECT_EQ(quiet("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
    EXPECT_EQ(quiet("AT+CGMI"), "\r\nPhonesim\r\n\r\nOK\r\n");
    quiet("AT+CMEE=2");
    EXPECT_EQ(quiet("AT+cpbr=?"), "\r\n+CME ERROR: SIM PIN required\r\n");
    EXPECT_EQ(store_.memory("SM")->entries.size(), 2u);
}

class PhonesimModem : public PhonesimAtPhone {
  protected:
    static PhoneOptions modem(bool echo) {
        PhoneOptions o;
        o.modem = true;
        o.echo = echo;
        return o;
    }
    explicit PhonesimModem(bool echo = true) : PhonesimAtPhone(modem(echo)) {}
};

TEST_F(PhonesimModem, DialsUntilALoneCr) {
    EXPECT_EQ(phone_.receive("ATZ\r"), "ATZ\r\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("ATE1\r"), "ATE1\r\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("ATDT0 216 555\r"), "ATDT0 216 555\r");
    EXPECT_TRUE(phone_.dialing());
    EXPECT_EQ(phone_.receive("\r"), "\r\nNO CARRIER\r\n");
    EXPECT_FALSE(phone_.dialing());
    EXPECT_EQ(phone_.receive("ATDP\r"), "ATDP\r") << "an empty number is dialed too";
    EXPECT_EQ(phone_.receive("x"), "\r\nNO CARRIER\r\n") << "any character ends a call";
    EXPECT_EQ(phone_.receive("AT+CPBR=?\r"), "AT+CPBR=?\r\r\nERROR\r\n");
    EXPECT_EQ(phone_.receive("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("ATZ\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("AT\r"), "AT\r\r\nOK\r\n") << "ATZ restores echo";
}

class PhonesimModemWithoutEcho : public PhonesimModem {
  protected:
    PhonesimModemWithoutEcho() : PhonesimModem(false) {}
};

TEST_F(PhonesimModemWithoutEcho, NeverEchoesTheDialCommand) {
    EXPECT_EQ(phone_.receive("ATZ\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("ATE1\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone_.receive("ATDT123\r"), "");
    EXPECT_EQ(phone_.receive("\r"), "\r\nNO CARRIER\r\n");
}

}  // namespace
}  // namespace tabellan::phonesim
