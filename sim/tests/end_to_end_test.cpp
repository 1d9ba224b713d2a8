// Runs the real vimbo_sim binary and talks to it the way the tool does: over the pty slave
// named in its READY line, with the control channel on its stdin and stdout.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "sim_process.h"

namespace sim::testing {
namespace {

namespace fs = std::filesystem;

const std::string kReset("\x00\x18\x21", 3);
const std::string kGreeting = "SMS CONTROLLER SIM V1.0 READY\r\n";

class EndToEnd : public ::testing::Test {
  protected:
    // Starts the simulator and returns the slave path it announced.
    std::string start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"--dir", dir_.path(), "--port", "4"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim_ = std::make_unique<Sim_process>(args);
        const auto ready = sim_->next_line();
        if (!ready || !ready->starts_with("READY /")) {
            ADD_FAILURE() << "no READY line: " << ready.value_or("(none)");
            return {};
        }
        return ready->substr(6);
    }

    std::string link() const { return dir_.path() + "/com4"; }

    void expect_ok(const std::string& command) {
        sim_->command(command);
        EXPECT_EQ(sim_->next_line(), "ok") << command;
    }

    // An image whose dump lines are easy to write down: byte i is i & 0xFF.
    std::string counting_image() const {
        std::string path = dir_.path() + "/counting.bin";
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 2048; ++i) out.put(static_cast<char>(i & 0xFF));
        return path;
    }

    // Reset, then the greeting and the sign-on line exactly.
    void sign_on(Serial_end& port, char sign_on_byte = '\xBE') {
        port.write(kReset);
        EXPECT_EQ(port.read_exactly(kGreeting.size()), kGreeting);
        const std::string sign_on_line{'#', sign_on_byte, '\r'};
        EXPECT_EQ(port.read_exactly(3), sign_on_line);
        EXPECT_TRUE(sim_->wait_for("event signon"));
    }

    Scratch_dir dir_;
    std::unique_ptr<Sim_process> sim_;
};

TEST_F(EndToEnd, SignOnDumpAndUnplug) {
    const std::string slave = start({"--eeprom-image", counting_image()});
    ASSERT_FALSE(slave.empty());
    EXPECT_EQ(fs::read_symlink(link()), slave);
    Serial_end port(link());
    ASSERT_TRUE(port.is_open());

    // The reset may come in pieces, as it does from a tool writing byte by byte.
    port.write(std::string(1, '\0'));
    port.write("\x18");
    port.write("\x21");
    EXPECT_EQ(port.read_exactly(kGreeting.size()), kGreeting);
    EXPECT_EQ(port.read_exactly(3), "#\xBE\r");
    EXPECT_TRUE(sim_->wait_for("event signon"));

    port.write("\xB3");
    EXPECT_TRUE(sim_->wait_for("event eeprom-start"));
    port.write("#");
    EXPECT_EQ(port.read_until('\r'), "#000102030405060708090A0B0C0D0E0F78\r");
    port.write("#");
    EXPECT_EQ(port.read_until('\r'), "#101112131415161718191A1B1C1D1E1F78\r");
    EXPECT_TRUE(sim_->wait_for("event eeprom-line 2"));

    sim_->command("status");
    EXPECT_EQ(sim_->next_line(), "status mode=eeprom eeprom_lines=2 upload_lines=0");
    EXPECT_EQ(sim_->next_line(), "ok");

    sim_->command("unplug");
    EXPECT_EQ(sim_->next_line(), "event unplug");
    EXPECT_EQ(sim_->next_line(), "ok");
    EXPECT_TRUE(port.hung_up());
    EXPECT_FALSE(fs::exists(fs::symlink_status(link())));
}

TEST_F(EndToEnd, PortIsRawBeforeTheToolSetsItUp) {
    ASSERT_FALSE(start().empty());
    // Opened without touching the settings, unlike Serial_end.
    termios tio{};
    const int fd = open(link().c_str(), O_RDWR | O_NOCTTY);
    const int got = fd >= 0 ? tcgetattr(fd, &tio) : -1;
    if (fd >= 0) close(fd);
    ASSERT_EQ(got, 0);
    EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0U);
    EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | IXON | ISTRIP), 0U);
    EXPECT_EQ(tio.c_oflag & OPOST, 0U);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & PARENB, 0U);
}

TEST_F(EndToEnd, DefaultImageStartsWithItsMarker) {
    ASSERT_FALSE(start({"--sign-on-byte", "D0"}).empty());
    Serial_end port(link());
    sign_on(port, '\xD0');
    port.write("\xB3#");
    EXPECT_EQ(port.read_until('\r'), "#53494D20424F415244424950575E656CD2\r");
    port.write("#");
    EXPECT_EQ(port.read_until('\r'), "#737A81888F969DA4ABB2B9C0C7CED5DC78\r");
}

TEST_F(EndToEnd, LoaderAnswersAndRecordsWhatItGets) {
    const std::string upload = dir_.path() + "/upload.txt";
    ASSERT_FALSE(start({"--hwid", "1234", "--upload-out", upload}).empty());
    Serial_end port(link());
    sign_on(port);
    port.write("\xB2");
    EXPECT_EQ(port.read_until('\r'), "#1234\r");
    EXPECT_EQ(port.read_until('\r'), "#$\r");
    port.write("#10002000000102030405060708090A0B0C0D0E0F58\r");
    EXPECT_EQ(port.read_until('\r'), "#$\r");
    port.write("#10002000000102030405060708090A0B0C0D0E0F59\r");
    EXPECT_EQ(port.read_until('\r'), "#!\r");
    EXPECT_TRUE(sim_->wait_for("event loader-line 2"));

    std::ifstream in(upload);
    const std::string recorded{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(recorded,
              "#10002000000102030405060708090A0B0C0D0E0F58\n"
              "#10002000000102030405060708090A0B0C0D0E0F59\n");

    // Back at the console after the error.
    port.write("AT+CSQ\r");
    EXPECT_EQ(port.read_until('\n'), "+CSQ: 21,0\r\n");
    EXPECT_EQ(port.read_until('\n'), "OK\r\n");
}

TEST_F(EndToEnd, ControlChannelSendsBytesAndRejectsNonsense) {
    ASSERT_FALSE(start().empty());
    Serial_end port(link());
    expect_ok(R"(send +CMTI: "SM",\x33)");
    EXPECT_EQ(port.read_until('\n'), "+CMTI: \"SM\",3\r\n");
    expect_ok("raw 23 be 0D");
    EXPECT_EQ(port.read_exactly(3), "#\xBE\r");
    expect_ok("garbage 300 9");
    EXPECT_EQ(port.read_exactly(300).size(), 300U);
    sim_->command("frobnicate");
    EXPECT_EQ(sim_->next_line(), "error unknown command frobnicate");
    sim_->command("fault eeprom-checksum");
    const auto answer = sim_->next_line();
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->starts_with("error ")) << *answer;
}

TEST_F(EndToEnd, UnplugFaultDeliversItsLineFirstAndReplugWorks) {
    const std::string first = start({"--fault", "eeprom-unplug=1"});
    ASSERT_FALSE(first.empty());
    {
        Serial_end port(link());
        sign_on(port);
        port.write("\xB3#");
        EXPECT_EQ(port.read_until('\r'), "#53494D20424F415244424950575E656CD2\r");
        EXPECT_TRUE(sim_->wait_for("event unplug"));
        EXPECT_TRUE(port.hung_up());
    }
    sim_->command("replug");
    const auto ready = sim_->next_line();
    ASSERT_TRUE(ready);
    ASSERT_TRUE(ready->starts_with("READY /")) << *ready;
    EXPECT_EQ(sim_->next_line(), "ok");
    EXPECT_EQ(fs::read_symlink(link()), ready->substr(6));

    expect_ok("fault clear");
    Serial_end port(link());
    sign_on(port);
    port.write("\xB3##");
    EXPECT_EQ(port.read_until('\r'), "#53494D20424F415244424950575E656CD2\r");
    EXPECT_EQ(port.read_until('\r'), "#737A81888F969DA4ABB2B9C0C7CED5DC78\r");
}

TEST_F(EndToEnd, EndOfStdinEndsTheSimulatorAndRemovesTheLink) {
    ASSERT_FALSE(start().empty());
    ASSERT_TRUE(fs::is_symlink(link()));
    EXPECT_EQ(sim_->close_stdin_and_wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link())));
}

TEST_F(EndToEnd, BadCommandLineIsRefused) {
    sim_ = std::make_unique<Sim_process>(std::vector<std::string>{"--port", "1"});
    EXPECT_EQ(sim_->close_stdin_and_wait(), 2);
}

}  // namespace
}  // namespace sim::testing
