#include "options.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

Parsed_options parse(const std::vector<std::string>& args) {
    return parse_options(args);
}

TEST(Options, Defaults) {
    const auto p = parse({"--dir", "/tmp/x", "--port", "3"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.dir, "/tmp/x");
    EXPECT_EQ(p.options.port, 3);
    EXPECT_EQ(p.options.eeprom_size, 1024U);
    EXPECT_EQ(p.options.hardware_id, "2418");
    EXPECT_EQ(p.options.sign_on_byte, 0xBE);
    EXPECT_EQ(p.options.delay_ms, 0);
    EXPECT_FALSE(p.options.stay);
    EXPECT_FALSE(p.options.quiet_lines);
}

TEST(Options, EverythingSet) {
    const auto p =
        parse({"--dir=/d", "--port=7", "--eeprom-size", "4096", "--hwid", "1234", "--sign-on-byte",
               "d0", "--upload-out", "/tmp/u", "--upload-lines", "12", "--delay-ms", "40", "--stay",
               "--quiet-lines", "--fault", "eeprom-delay=3,500", "--fault=hwid-none"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.port, 7);
    EXPECT_EQ(p.options.eeprom_size, 4096U);
    EXPECT_EQ(p.options.hardware_id, "1234");
    EXPECT_EQ(p.options.sign_on_byte, 0xD0);
    EXPECT_EQ(p.options.upload_out, "/tmp/u");
    EXPECT_EQ(p.options.upload_lines, 12);
    EXPECT_EQ(p.options.delay_ms, 40);
    EXPECT_TRUE(p.options.stay);
    EXPECT_TRUE(p.options.quiet_lines);
    EXPECT_EQ(p.options.faults, (std::vector<std::string>{"eeprom-delay=3,500", "hwid-none"}));
}

TEST(Options, Errors) {
    EXPECT_NE(parse({"--port", "3"}).error, "");
    EXPECT_NE(parse({"--dir", "/d"}).error, "");
    EXPECT_NE(parse({"--dir", "/d", "--port", "x"}).error, "");
    EXPECT_NE(parse({"--dir", "/d", "--port", "3", "--eeprom-size", "1000"}).error, "");
    EXPECT_NE(parse({"--dir", "/d", "--port", "3", "--sign-on-byte", "1FF"}).error, "");
    EXPECT_NE(parse({"--dir", "/d", "--port", "3", "--hwid", "12 34"}).error, "");
    EXPECT_NE(parse({"--dir", "/d", "--port", "3", "--delay-ms"}).error, "");
    EXPECT_NE(parse({"--dir", "/d", "--port", "3", "--stay=1"}).error, "");
    EXPECT_NE(parse({"--dir", "/d", "--port", "3", "--colour", "red"}).error, "");
}

}  // namespace
}  // namespace sim
