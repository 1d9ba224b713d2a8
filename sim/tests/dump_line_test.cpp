#include "dump_line.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>

#include "eeprom_image.h"

namespace sim {
namespace {

std::array<std::uint8_t, 16> counting() {
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

TEST(DumpLine, CountingBytesGiveTheirHexAndPlainSum) {
    EXPECT_EQ(format_dump_line(counting()), "#000102030405060708090A0B0C0D0E0F78");
}

TEST(DumpLine, SumIsPlainModulo256NotTwosComplement) {
    std::array<std::uint8_t, 16> ff{};
    ff.fill(0xFF);
    EXPECT_EQ(format_dump_line(ff), "#FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0");
    std::array<std::uint8_t, 16> one{};
    one[15] = 0x01;
    EXPECT_EQ(format_dump_line(one), "#0000000000000000000000000000000101");
}

TEST(DumpLine, WrongChecksumIsSumPlusOne) {
    EXPECT_EQ(format_dump_line(counting(), {.wrong_checksum = true}),
              "#000102030405060708090A0B0C0D0E0F79");
    std::array<std::uint8_t, 16> ff{};
    ff.fill(0xFF);
    ff[0] = 0x0E;  // sum 0xFF: +1 wraps to 00
    EXPECT_EQ(format_dump_line(ff, {.wrong_checksum = true}).substr(33), "00");
}

TEST(DumpLine, LowerCaseTouchesEveryDigit) {
    EXPECT_EQ(format_dump_line(counting(), {.lower_case = true}),
              "#000102030405060708090a0b0c0d0e0f78");
    std::array<std::uint8_t, 16> ab{};
    ab.fill(0xAB);  // sum 0xB0
    EXPECT_EQ(format_dump_line(ab, {.lower_case = true}), "#ababababababababababababababababb0");
}

TEST(DumpLine, NonHexReplacesOneDataDigit) {
    const std::string line = format_dump_line(counting(), {.non_hex = true});
    EXPECT_EQ(line, "#0001:2030405060708090A0B0C0D0E0F78");
    EXPECT_EQ(line.size(), 35U);
}

TEST(DumpLine, ShortIsCutToTwentyCharacters) {
    EXPECT_EQ(format_dump_line(counting(), {.cut_short = true}), "#0001020304050607080");
}

TEST(EepromImage, PatternIsDeterministicWithMarker) {
    const auto image = make_pattern_image(2048);
    ASSERT_EQ(image.size(), 2048U);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 9), "SIM BOARD");
    EXPECT_EQ(image[9], (9 * 7 + 3) & 0xFF);
    EXPECT_EQ(image[100], (100 * 7 + 3) & 0xFF);
    EXPECT_EQ(image[2047], (2047 * 7 + 3) & 0xFF);
}

TEST(EepromImage, OnlyTheBoardsSizes) {
    EXPECT_TRUE(valid_eeprom_size(1024));
    EXPECT_TRUE(valid_eeprom_size(2048));
    EXPECT_TRUE(valid_eeprom_size(4096));
    EXPECT_FALSE(valid_eeprom_size(512));
    EXPECT_FALSE(valid_eeprom_size(1025));
    EXPECT_THROW(load_image("/nonexistent/image.bin"), std::runtime_error);
}

TEST(EepromImage, LoadsARawFileAndRefusesOddSizes) {
    const std::string path = ::testing::TempDir() + "/eeprom_image_test.bin";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 4096; ++i) out.put(static_cast<char>(255 - (i & 0xFF)));
    }
    const auto image = load_image(path);
    ASSERT_EQ(image.size(), 4096U);
    EXPECT_EQ(image[0], 0xFF);
    EXPECT_EQ(image[4095], 0x00);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "too short";
    }
    EXPECT_THROW(load_image(path), std::runtime_error);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace sim
