#include "byte_text.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(DecodeEscapes, TurnsEachEscapeIntoItsByte) {
    const Decoded d = decode_escapes(R"(a\rb\nc\td\\e\x00\xfF\x7C)");
    ASSERT_TRUE(d.ok()) << d.error;
    EXPECT_EQ(d.bytes, std::string("a\rb\nc\td\\e\x00\xFF|", 12));
}

TEST(DecodeEscapes, LeavesPlainTextAlone) {
    const Decoded d = decode_escapes("AT+CMGS=\"+15550100001\"");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.bytes, "AT+CMGS=\"+15550100001\"");
}

TEST(DecodeEscapes, RejectsBrokenEscapes) {
    EXPECT_FALSE(decode_escapes("abc\\").ok());
    EXPECT_FALSE(decode_escapes("\\q").ok());
    EXPECT_FALSE(decode_escapes("\\x4").ok());
    EXPECT_FALSE(decode_escapes("\\x").ok());
    EXPECT_FALSE(decode_escapes("\\xG0").ok());
}

TEST(Printable, EscapesWhatIsNotPrintable) {
    EXPECT_EQ(printable(std::string("#\xBE\r\n\t\\ ok\x00", 10)), R"(#\xBE\r\n\t\\ ok\x00)");
}

TEST(Printable, IsUndoneByDecodeEscapes) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    const Decoded back = decode_escapes(printable(all));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, all);
}

TEST(ParseHexBytes, AcceptsPairsWithOrWithoutBlanks) {
    const Decoded d = parse_hex_bytes("00 18 21b3Ff");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.bytes, std::string("\x00\x18\x21\xB3\xFF", 5));
    EXPECT_TRUE(parse_hex_bytes("").ok());
}

TEST(ParseHexBytes, RejectsOddCountsAndNonHex) {
    EXPECT_FALSE(parse_hex_bytes("001").ok());
    EXPECT_FALSE(parse_hex_bytes("0 0").ok());
    EXPECT_FALSE(parse_hex_bytes("zz").ok());
}

TEST(HexDigits, UpperCaseOnlyWhenAsked) {
    EXPECT_EQ(hex_value('a'), 10);
    EXPECT_EQ(hex_value('F'), 15);
    EXPECT_EQ(hex_value('g'), -1);
    EXPECT_EQ(upper_hex_value('a'), -1);
    EXPECT_EQ(upper_hex_value('A'), 10);
    EXPECT_EQ(upper_hex_value('9'), 9);
    EXPECT_EQ(hex_byte(0x0A), "0A");
    EXPECT_EQ(hex_byte(0xF0), "F0");
}

}  // namespace
}  // namespace sim
