#include "console.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

// Feeds bytes one by one and collects everything the console answers and reports.
struct Fed {
    std::string reply;
    std::vector<std::string> events;
};

Fed feed(Console& console, std::string_view bytes) {
    Fed fed;
    for (const char c : bytes) {
        Console_output out = console.receive(static_cast<std::uint8_t>(c));
        fed.reply += out.reply;
        fed.events.insert(fed.events.end(), out.events.begin(), out.events.end());
    }
    return fed;
}

TEST(Console, StartsInAtModeAndIgnoresLineFeeds) {
    Console console;
    const Fed fed = feed(console, "A\nT\r\n");
    EXPECT_EQ(fed.reply, "OK\r\n");
    EXPECT_EQ(fed.events, std::vector<std::string>{"console AT"});
}

TEST(Console, AnswersOnlyAtTheCarriageReturn) {
    Console console;
    EXPECT_EQ(feed(console, "AT+CSQ").reply, "");
    EXPECT_EQ(feed(console, "\r").reply, "+CSQ: 21,0\r\nOK\r\n");
}

TEST(Console, EmptyLinesGetNothing) {
    Console console;
    const Fed fed = feed(console, "\r\r\n\r");
    EXPECT_EQ(fed.reply, "");
    EXPECT_TRUE(fed.events.empty());
}

TEST(Console, BracesSwitchModesOnlyAtLineStart) {
    Console console;
    Fed fed = feed(console, "{\r6157 v\r");
    EXPECT_EQ(console.mode(), Console_mode::pc);
    EXPECT_EQ(fed.reply, "VERSION SIM 1.0\r\nOK\r\n");
    fed = feed(console, "}AT\r");  // "}" alone, no CR, then a command
    EXPECT_EQ(console.mode(), Console_mode::at);
    EXPECT_EQ(fed.reply, "OK\r\n");
    fed = feed(console, "AT{\r");
    EXPECT_EQ(console.mode(), Console_mode::at);
    EXPECT_EQ(fed.reply, "ERROR\r\n");
}

TEST(Console, BarIsAcceptedSilently) {
    Console console;
    const Fed fed = feed(console, "|");
    EXPECT_EQ(fed.reply, "");
    EXPECT_TRUE(console.undecoded());
    EXPECT_EQ(feed(console, "AT\r").reply, "OK\r\n");
}

TEST(Console, EchoRepeatsTheLineBeforeTheAnswer) {
    Console console;
    EXPECT_EQ(feed(console, "ATE1\r").reply, "OK\r\n");
    EXPECT_EQ(feed(console, "AT\r").reply, "AT\r\nOK\r\n");
    EXPECT_EQ(feed(console, "ATE0\r").reply, "ATE0\r\nOK\r\n");
    EXPECT_EQ(feed(console, "AT\r").reply, "OK\r\n");
}

TEST(Console, SendsAMessageUpToCtrlZ) {
    Console console;
    Fed fed = feed(console, "AT+CMGS=\"+15550100009\"\r");
    EXPECT_EQ(fed.reply, "> ");
    EXPECT_EQ(console.mode(), Console_mode::sms_text);
    fed = feed(console, "OUT1 ON{}\r");  // braces inside the text are text
    EXPECT_EQ(fed.reply, "");
    fed = feed(console, "\x1A");
    EXPECT_EQ(fed.reply, "+CMGS: 1\r\nOK\r\n");
    EXPECT_EQ(fed.events, std::vector<std::string>{"sms +15550100009 OUT1 ON{}\\r"});
    EXPECT_EQ(console.mode(), Console_mode::at);
}

TEST(Console, EscapeAbandonsTheMessage) {
    Console console;
    feed(console, "AT+CMGS=\"1\"\rtext");
    EXPECT_EQ(feed(console, "\x1B").reply, "OK\r\n");
    EXPECT_EQ(feed(console, "AT\r").reply, "OK\r\n");
}

TEST(Console, LinesAreReportedInPrintableForm) {
    Console console;
    const Fed fed = feed(console, std::string("AT\x01\\x\r", 6));
    EXPECT_EQ(fed.events, std::vector<std::string>{"console AT\\x01\\\\x"});
}

}  // namespace
}  // namespace sim
