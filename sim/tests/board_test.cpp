#include "board.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "dump_line.h"

namespace sim {
namespace {

const std::string kReset("\x00\x18\x21", 3);
const std::string kSignOn = "SMS CONTROLLER SIM V1.0 READY\r\n#\xBE\r";

struct Recording_io : Board_io {
    void transmit(std::string_view bytes) override { sent += bytes; }
    void event(std::string_view text) override { events.emplace_back(text); }
    void upload_line(std::string_view line) override { uploaded.emplace_back(line); }
    void request_unplug() override { ++unplugs; }

    // What was sent since the last call.
    std::string take() { return std::exchange(sent, {}); }
    bool saw(std::string_view event_text) const {
        return std::find(events.begin(), events.end(), event_text) != events.end();
    }

    std::string sent;
    std::vector<std::string> events;
    std::vector<std::string> uploaded;
    int unplugs = 0;
};

// 00 01 02 ... FF repeated: dump line K starts with byte 16*(K-1) & 0xFF.
std::vector<std::uint8_t> counting_image() {
    std::vector<std::uint8_t> image(1024);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
    return image;
}

class BoardTest : public ::testing::Test {
  protected:
    explicit BoardTest(Board_config config = {counting_image()})
        : board_(std::move(config), faults_, io_) {}

    void send(std::string_view bytes) {
        board_.receive(bytes, now_);
        board_.advance(now_);
    }
    void wait(Millis ms) {
        now_ += ms;
        board_.advance(now_);
    }
    void reset_board() {
        send(kReset);
        ASSERT_EQ(io_.take(), kSignOn);
    }

    Fault_table faults_;
    Recording_io io_;
    Board board_;
    Time_point now_ = Time_point{} + std::chrono::hours(1);
};

TEST_F(BoardTest, ResetBytesMayArriveInSeparateWrites) {
    send(std::string(1, '\0'));
    send("\x18");
    EXPECT_EQ(io_.take(), "");
    send("\x21");
    EXPECT_EQ(io_.take(), kSignOn);
    EXPECT_TRUE(io_.saw("signon"));
    EXPECT_EQ(board_.mode(), Board_mode::boot);
}

TEST_F(BoardTest, ResetWorksInTheMiddleOfAConsoleLine) {
    send("AT+CS");
    send(kReset);
    EXPECT_EQ(io_.take(), kSignOn);
}

TEST_F(BoardTest, BootWindowClosesAfterTenSeconds) {
    reset_board();
    wait(kBootWindow - Millis{1});
    EXPECT_EQ(board_.mode(), Board_mode::boot);
    wait(Millis{1});
    EXPECT_EQ(board_.mode(), Board_mode::console);
    send("\xB3#");
    EXPECT_EQ(io_.take(), "");  // too late for a dump
}

TEST_F(BoardTest, AnyOtherByteInBootGoesToTheConsole) {
    reset_board();
    send("AT\r");
    EXPECT_EQ(board_.mode(), Board_mode::console);
    EXPECT_EQ(io_.take(), "OK\r\n");
}

TEST_F(BoardTest, DumpAnswersEachRequestWithTheNextLine) {
    reset_board();
    send("\xB3");
    EXPECT_TRUE(io_.saw("eeprom-start"));
    EXPECT_EQ(io_.take(), "");
    send("#");
    EXPECT_EQ(io_.take(), "#000102030405060708090A0B0C0D0E0F78\r");
    send("#");
    EXPECT_EQ(io_.take(), "#101112131415161718191A1B1C1D1E1F78\r");
    EXPECT_TRUE(io_.saw("eeprom-line 2"));
    EXPECT_EQ(board_.eeprom_lines(), 2);
}

TEST_F(BoardTest, DumpEndsAfterTheLastLine) {
    reset_board();
    send("\xB3");
    std::string all;
    for (int i = 0; i < 64; ++i) {
        send("#");
        all += io_.take();
    }
    EXPECT_EQ(std::count(all.begin(), all.end(), '\r'), 64);
    EXPECT_TRUE(all.ends_with("#F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF78\r"));
    EXPECT_TRUE(io_.saw("eeprom-done"));
    EXPECT_EQ(board_.mode(), Board_mode::console);
    send("#");
    EXPECT_EQ(io_.take(), "");
}

TEST_F(BoardTest, CancelStopsTheDump) {
    reset_board();
    send("\xB3#");
    io_.take();
    send("\x18");
    EXPECT_TRUE(io_.saw("eeprom-cancel"));
    EXPECT_EQ(board_.mode(), Board_mode::console);
    send("#");
    EXPECT_EQ(io_.take(), "");
}

TEST_F(BoardTest, ResetDuringTheDumpIsNotACancel) {
    reset_board();
    send("\xB3#");
    io_.take();
    send(std::string(1, '\0'));
    send("\x18");
    send("\x21");
    EXPECT_EQ(io_.take(), kSignOn);
    EXPECT_FALSE(io_.saw("eeprom-cancel"));
    EXPECT_EQ(board_.mode(), Board_mode::boot);
}

TEST_F(BoardTest, CancelAfterNulStillCancelsWhenNoResetFollows) {
    reset_board();
    send("\xB3");
    send(std::string("\x00\x18", 2));
    EXPECT_FALSE(io_.saw("eeprom-cancel"));
    wait(kCancelGrace);
    EXPECT_TRUE(io_.saw("eeprom-cancel"));
    EXPECT_EQ(board_.mode(), Board_mode::console);
}

TEST_F(BoardTest, CancelAfterNulIsSettledByTheNextByte) {
    reset_board();
    send("\xB3");
    send(std::string("\x00\x18#", 3));
    EXPECT_TRUE(io_.saw("eeprom-cancel"));
    EXPECT_EQ(io_.take(), "");  // the "#" went to the console
}

TEST_F(BoardTest, DumpLineFaultsSpoilOnlyTheirLine) {
    ASSERT_EQ(faults_.arm("eeprom-checksum", "1"), "");
    ASSERT_EQ(faults_.arm("eeprom-lowercase", "2"), "");
    ASSERT_EQ(faults_.arm("eeprom-nonhex", "3"), "");
    ASSERT_EQ(faults_.arm("eeprom-short", "4"), "");
    reset_board();
    send("\xB3");
    send("#");
    EXPECT_EQ(io_.take(), "#000102030405060708090A0B0C0D0E0F79\r");
    send("#");
    EXPECT_EQ(io_.take(), "#101112131415161718191a1b1c1d1e1f78\r");
    send("#");
    EXPECT_EQ(io_.take(), "#2021:2232425262728292A2B2C2D2E2F78\r");
    send("#");
    EXPECT_EQ(io_.take(), "#3031323334353637383\r");
    send("#");
    EXPECT_EQ(io_.take(), "#404142434445464748494A4B4C4D4E4F78\r");
}

TEST_F(BoardTest, DelayedDumpLineKeepsItsPlaceInTheQueue) {
    ASSERT_EQ(faults_.arm("eeprom-delay", "1 500"), "");
    reset_board();
    send("\xB3#");
    EXPECT_EQ(io_.take(), "");
    send("#");  // asked for early: still must come second
    wait(Millis{499});
    EXPECT_EQ(io_.take(), "");
    wait(Millis{1});
    EXPECT_EQ(io_.take(),
              "#000102030405060708090A0B0C0D0E0F78\r#101112131415161718191A1B1C1D1E1F78\r");
}

TEST_F(BoardTest, SilentDumpAnswersNothingFromLineKOn) {
    ASSERT_EQ(faults_.arm("eeprom-silent", "2"), "");
    reset_board();
    send("\xB3###");
    EXPECT_EQ(io_.take(), "#000102030405060708090A0B0C0D0E0F78\r");
    EXPECT_EQ(board_.mode(), Board_mode::eeprom);
    // Each request is told as it arrives, also those left unanswered.
    const std::vector<std::string> told(io_.events.begin() + 1, io_.events.end());
    EXPECT_EQ(told, (std::vector<std::string>{"eeprom-start", "eeprom-request 1", "eeprom-line 1",
                                              "eeprom-request 2", "eeprom-request 3"}));
}

TEST_F(BoardTest, UnplugFaultComesRightAfterItsLine) {
    ASSERT_EQ(faults_.arm("eeprom-unplug", "2"), "");
    reset_board();
    send("\xB3#");
    EXPECT_EQ(io_.unplugs, 0);
    send("###");  // the rest of this chunk is never received
    EXPECT_EQ(io_.take(),
              "#000102030405060708090A0B0C0D0E0F78\r#101112131415161718191A1B1C1D1E1F78\r");
    EXPECT_EQ(io_.unplugs, 1);
    EXPECT_EQ(board_.mode(), Board_mode::unplugged);
}

class LoaderTest : public BoardTest {
  protected:
    void start_loader() {
        reset_board();
        send("\xB2");
        ASSERT_EQ(io_.take(), "#2418\r#$\r");
        ASSERT_TRUE(io_.saw("loader-start"));
    }
};

TEST_F(LoaderTest, AcceptsRecordsAndFinishesOnTheEndRecord) {
    start_loader();
    send("#10002000000102030405060708090A0B0C0D0E0F58\r");
    EXPECT_EQ(io_.take(), "#$\r");
    send("; a comment\r\r");
    EXPECT_EQ(io_.take(), "#$\r#$\r");
    send("#00000001FF\r");
    EXPECT_EQ(io_.take(), "#@\r");
    EXPECT_TRUE(io_.saw("loader-done"));
    EXPECT_TRUE(io_.saw("loader-line 4"));
    EXPECT_EQ(board_.mode(), Board_mode::console);
    EXPECT_EQ(io_.uploaded, (std::vector<std::string>{"#10002000000102030405060708090A0B0C0D0E0F58",
                                                      "; a comment", "", "#00000001FF"}));
}

TEST_F(LoaderTest, IgnoresLineFeedsAndSplitWrites) {
    start_loader();
    send("#0000");
    send("0001FF\r\n");
    EXPECT_EQ(io_.take(), "#@\r");
    EXPECT_EQ(io_.uploaded, std::vector<std::string>{"#00000001FF"});
}

TEST_F(LoaderTest, ErrorsSendTheBoardBackToTheConsole) {
    for (const auto& [line, reply] :
         {std::pair{"#00000001FE\r", "#!\r"}, std::pair{"#00000001ff\r", "#?\r"},
          std::pair{"#000000\r", "#?\r"}, std::pair{"#020000020000FC\r", "#*\r"}}) {
        start_loader();
        send(line);
        EXPECT_EQ(io_.take(), reply) << line;
        EXPECT_EQ(board_.mode(), Board_mode::console) << line;
    }
}

TEST_F(LoaderTest, ForcedRepliesAreActedOn) {
    ASSERT_EQ(faults_.arm("loader-reply", "1 #$ "), "");
    ASSERT_EQ(faults_.arm("loader-reply", "2 #?"), "");
    start_loader();
    send("#00000001FF\r");
    EXPECT_EQ(io_.take(), "#$ \r");
    EXPECT_EQ(board_.mode(), Board_mode::loader);
    EXPECT_FALSE(io_.saw("loader-done"));
    send("#10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r");
    EXPECT_EQ(io_.take(), "#?\r");
    EXPECT_EQ(board_.mode(), Board_mode::console);
}

TEST_F(LoaderTest, DelayedReply) {
    ASSERT_EQ(faults_.arm("loader-delay", "1 300"), "");
    start_loader();
    send("#00000001FF\r");
    EXPECT_EQ(io_.take(), "");
    EXPECT_FALSE(io_.saw("loader-done"));
    wait(Millis{300});
    EXPECT_EQ(io_.take(), "#@\r");
    EXPECT_TRUE(io_.saw("loader-done"));
}

TEST_F(LoaderTest, SilentFromLineK) {
    ASSERT_EQ(faults_.arm("loader-silent", "2"), "");
    start_loader();
    send("x\ry\rz\r");
    EXPECT_EQ(io_.take(), "#$\r");
    EXPECT_EQ(io_.uploaded.size(), 3U);
}

TEST_F(LoaderTest, SilentZeroAndMissingHardwareId) {
    ASSERT_EQ(faults_.arm("loader-silent", "0"), "");
    reset_board();
    send("\xB2");
    EXPECT_EQ(io_.take(), "");
    faults_.clear();
    ASSERT_EQ(faults_.arm("hwid-none", ""), "");
    reset_board();
    send("\xB2");
    EXPECT_EQ(io_.take(), "#$\r");
}

TEST_F(LoaderTest, UnplugRightAfterLineK) {
    ASSERT_EQ(faults_.arm("loader-unplug", "2"), "");
    start_loader();
    send("a\rb\rc\r");
    EXPECT_EQ(io_.take(), "#$\r");
    EXPECT_EQ(io_.unplugs, 1);
    EXPECT_EQ(io_.uploaded, (std::vector<std::string>{"a", "b"}));
}

// A data record as the tool sends it: "#10", address, "00", 16 bytes, checksum.
std::string data_record(unsigned address, const std::vector<std::uint8_t>& bytes) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string out = "#";
    unsigned sum = 0;
    auto put = [&](unsigned byte) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
        sum += byte;
    };
    put(unsigned(bytes.size()));
    put(address >> 8);
    put(address & 0xFF);
    put(0);
    for (const std::uint8_t b : bytes) put(b);
    put((256 - (sum & 0xFF)) & 0xFF);
    return out;
}

// The lines that write image into the EEPROM, then the end record, each with CR.
std::string write_of(const std::vector<std::uint8_t>& image, std::size_t upto) {
    std::string lines;
    for (std::size_t a = 0; a < upto; a += 16) {
        lines += data_record(unsigned(a), {image.begin() + long(a), image.begin() + long(a) + 16});
        lines += '\r';
    }
    return lines + "#00000001FF\r";
}

TEST_F(LoaderTest, AWriteOfTheWholeEepromIsKeptAndServedByTheNextDump) {
    std::vector<std::uint8_t> image(1024);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = std::uint8_t(255 - i % 251);

    // Part of the EEPROM only (as a firmware update of a few records): nothing changes.
    start_loader();
    send(write_of(image, 768));
    EXPECT_TRUE(io_.take().ends_with("#@\r"));
    EXPECT_EQ(board_.eeprom(), counting_image());
    EXPECT_FALSE(io_.saw("eeprom-written"));

    // A record beyond the EEPROM makes the whole write no EEPROM write.
    start_loader();
    send(data_record(0x400, std::vector<std::uint8_t>(16, 1)) + "\r" + write_of(image, 1024));
    EXPECT_TRUE(io_.take().ends_with("#@\r"));
    EXPECT_EQ(board_.eeprom(), counting_image());

    // An error before the end: nothing is kept.
    start_loader();
    std::string spoiled = write_of(image, 1024);
    spoiled.replace(spoiled.size() - 3, 2, "FE");  // the end record's checksum
    send(spoiled);
    EXPECT_TRUE(io_.take().ends_with("#!\r"));
    EXPECT_EQ(board_.eeprom(), counting_image());

    // The whole EEPROM and "#@": kept, and the dump serves it.
    start_loader();
    send(write_of(image, 1024));
    EXPECT_TRUE(io_.take().ends_with("#@\r"));
    EXPECT_TRUE(io_.saw("eeprom-written"));
    EXPECT_EQ(board_.eeprom(), image);
    reset_board();
    send("\xB3#");
    const std::span<const std::uint8_t, 16> first(image.data(), 16);
    EXPECT_EQ(io_.take(), format_dump_line(first) + "\r");

    // A stuck byte keeps its old value; the loader still answers "#@".
    ASSERT_EQ(faults_.arm("loader-stuck", "0123"), "");
    std::vector<std::uint8_t> second(1024, 0x5A);
    start_loader();
    send(write_of(second, 1024));
    EXPECT_TRUE(io_.take().ends_with("#@\r"));
    std::vector<std::uint8_t> expected = second;
    expected[0x123] = image[0x123];
    EXPECT_EQ(board_.eeprom(), expected);
}

class ConfiguredBoardTest : public BoardTest {
  protected:
    ConfiguredBoardTest() : BoardTest(config()) {}
    static Board_config config() {
        Board_config c{counting_image()};
        c.hardware_id = "7777";
        c.sign_on_byte = 0xD0;
        c.upload_line_limit = 2;
        c.reply_delay = Millis{50};
        return c;
    }
};

TEST_F(ConfiguredBoardTest, EveryReplyIsDelayedAndSettingsShow) {
    send(kReset);
    EXPECT_EQ(io_.take(), "");
    wait(Millis{50});
    EXPECT_EQ(io_.take(), "SMS CONTROLLER SIM V1.0 READY\r\n#\xD0\r");
    send("\xB2");
    wait(Millis{50});
    EXPECT_EQ(io_.take(), "#7777\r#$\r");
    send("a\r");
    wait(Millis{50});
    EXPECT_EQ(io_.take(), "#$\r");
    send("b\r");  // the line limit ends the upload
    wait(Millis{50});
    EXPECT_EQ(io_.take(), "#@\r");
    EXPECT_EQ(board_.mode(), Board_mode::console);
}

TEST_F(ConfiguredBoardTest, AResetDropsRepliesNotYetSent) {
    send("AT\r");
    send(kReset);
    wait(Millis{50});
    EXPECT_EQ(io_.take(), "SMS CONTROLLER SIM V1.0 READY\r\n#\xD0\r");
}

TEST_F(BoardTest, SilentBoardIgnoresEverything) {
    board_.set_silent(true);
    send(kReset);
    send("AT\r");
    EXPECT_EQ(io_.take(), "");
    board_.set_silent(false);
    send("AT\r");
    EXPECT_EQ(io_.take(), "OK\r\n");
}

TEST_F(BoardTest, PowerOffUntilPowerOn) {
    board_.power_off();
    send(kReset);
    EXPECT_EQ(io_.take(), "");
    board_.power_on();
    send(kReset);
    EXPECT_EQ(io_.take(), kSignOn);
}

}  // namespace
}  // namespace sim
