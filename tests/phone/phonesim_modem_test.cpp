// The simulated modem's habits: a reset that fails, a modem that keeps talking, and the
// record of what it received.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "phonesim/at_phone.h"
#include "phonesim/phonebook_store.h"
#include "phonesim_process.h"
#include "support/temp_folder.h"

namespace tabellan::phonesim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tabellan::testing::PhonesimProcess;

PhoneOptions Modem() {
    PhoneOptions options;
    options.modem = true;
    return options;
}

TEST(PhonesimModemQuirks, AResetThatFailsLeavesEchoAsItWas) {
    PhonebookStore store = PhonebookStore::builtIn();
    PhoneOptions options = Modem();
    options.resetError = true;
    AtPhone modem(options, store);
    EXPECT_EQ(modem.receive("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(modem.receive("ATZ\r"), "\r\nERROR\r\n");
    EXPECT_EQ(modem.receive("ATE1\r"), "\r\nOK\r\n");
    EXPECT_EQ(modem.receive("ATDT1\r"), "ATDT1\r");
}

TEST(PhonesimModemQuirks, UnsolicitedRingFollowsTheLineEnds) {
    PhonebookStore store = PhonebookStore::builtIn();
    EXPECT_EQ(AtPhone(Modem(), store).unsolicited(), "\r\nRING\r\n");
    PhoneOptions lfOnly = Modem();
    lfOnly.shape.lfOnly = true;
    EXPECT_EQ(AtPhone(lfOnly, store).unsolicited(), "\nRING\n");
}

TEST(PhonesimModemQuirks, TalksOnItsOwnAndLogsWhatItReceives) {
    const test::TempFolder dir("phonesim-modem");
    const fs::path log = dir.File("modem.log");
    PhonesimProcess sim({"--modem", "--talk", "20", "--log", log.string()});
    const std::string path = sim.firstLine();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    ::tcflush(fd, TCIFLUSH);
    // Nothing is asked, and RINGs keep coming.
    std::string heard;
    const auto end = std::chrono::steady_clock::now() + 3s;
    while (heard.size() < 24 && std::chrono::steady_clock::now() < end) {
        if (PhonesimProcess::waitReadable(fd, 100)) {
            char buffer[64];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            heard.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
    }
    EXPECT_NE(heard.find("\r\nRING\r\n\r\nRING\r\n"), std::string::npos) << heard;
    ASSERT_EQ(::write(fd, "ATZ\rATDT5\r\r", 11), 11);
    std::string logged;
    for (int i = 0; i < 100 && logged.size() < 11; ++i) {
        std::this_thread::sleep_for(20ms);
        std::ifstream in(log, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        logged = text.str();
    }
    EXPECT_EQ(logged, "ATZ\rATDT5\r\r");
    ::close(fd);
}

}  // namespace
}  // namespace tabellan::phonesim
