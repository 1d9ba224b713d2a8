#include "control_command.h"

#include <gtest/gtest.h>

#include <set>

namespace sim {
namespace {

template <typename T>
T as(const Control_command& command) {
    const T* value = std::get_if<T>(&command);
    EXPECT_NE(value, nullptr);
    return value != nullptr ? *value : T{};
}

bool invalid(std::string_view line) {
    return std::holds_alternative<control::Invalid>(parse_control(line));
}

TEST(ControlCommand, SendDecodesEscapesAndAddsCrLf) {
    EXPECT_EQ(as<control::Send>(parse_control(R"(send +CMTI: "SM",3\x7C)")).bytes,
              "+CMTI: \"SM\",3|\r\n");
    EXPECT_EQ(as<control::Send>(parse_control("send")).bytes, "\r\n");
    EXPECT_EQ(as<control::Send>(parse_control("send  two blanks ")).bytes, " two blanks \r\n");
    EXPECT_TRUE(invalid("send bad\\"));
}

TEST(ControlCommand, RawSendsTheBytesAlone) {
    EXPECT_EQ(as<control::Send>(parse_control("raw 23 BE 0d")).bytes, "#\xBE\r");
    EXPECT_TRUE(invalid("raw 2"));
}

TEST(ControlCommand, Garbage) {
    const auto g = as<control::Garbage>(parse_control("garbage 100 42"));
    EXPECT_EQ(g.count, 100);
    EXPECT_EQ(g.seed, 42U);
    EXPECT_EQ(as<control::Garbage>(parse_control("garbage 5")).count, 5);
    EXPECT_TRUE(invalid("garbage"));
    EXPECT_TRUE(invalid("garbage -1"));
    EXPECT_TRUE(invalid("garbage 10 x"));
}

TEST(ControlCommand, GarbageCoversEveryByteAndRepeatsForASeed) {
    const std::string bytes = garbage_bytes(20000, 7);
    const std::set<char> seen(bytes.begin(), bytes.end());
    EXPECT_EQ(seen.size(), 256U);
    EXPECT_EQ(garbage_bytes(64, 7), bytes.substr(0, 64));
    EXPECT_NE(garbage_bytes(64, 8), bytes.substr(0, 64));
}

TEST(ControlCommand, SilentUnplugReplugStatus) {
    EXPECT_TRUE(as<control::Silent>(parse_control("silent on")).on);
    EXPECT_FALSE(as<control::Silent>(parse_control("silent off")).on);
    EXPECT_TRUE(invalid("silent maybe"));
    EXPECT_TRUE(std::holds_alternative<control::Unplug>(parse_control("unplug")));
    EXPECT_TRUE(std::holds_alternative<control::Replug>(parse_control("replug")));
    EXPECT_TRUE(std::holds_alternative<control::Status>(parse_control("status")));
    EXPECT_TRUE(invalid("status now"));
    EXPECT_TRUE(invalid("frobnicate"));
    EXPECT_TRUE(invalid(""));
}

TEST(ControlCommand, FaultKeepsItsArgumentsAsWritten) {
    const auto f = as<control::Arm_fault>(parse_control("fault loader-reply 3 #$ "));
    EXPECT_EQ(f.name, "loader-reply");
    EXPECT_EQ(f.args, "3 #$ ");
    const auto g = as<control::Arm_fault>(parse_control("fault eeprom-delay=2,700"));
    EXPECT_EQ(g.name, "eeprom-delay");
    EXPECT_EQ(g.args, "2,700");
    EXPECT_TRUE(std::holds_alternative<control::Clear_faults>(parse_control("fault clear")));
    EXPECT_TRUE(invalid("fault"));
}

}  // namespace
}  // namespace sim
