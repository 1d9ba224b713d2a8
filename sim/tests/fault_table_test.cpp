#include "fault_table.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(FaultTable, ArmsLineFaults) {
    Fault_table faults;
    EXPECT_EQ(faults.arm("eeprom-checksum", "3"), "");
    EXPECT_TRUE(faults.at(Fault_kind::eeprom_checksum, 3));
    EXPECT_FALSE(faults.at(Fault_kind::eeprom_checksum, 2));
    EXPECT_FALSE(faults.at(Fault_kind::eeprom_checksum, 4));
    EXPECT_FALSE(faults.at(Fault_kind::eeprom_lowercase, 3));
}

TEST(FaultTable, FromMeansThisLineAndAllAfter) {
    Fault_table faults;
    ASSERT_EQ(faults.arm("eeprom-silent", "5"), "");
    EXPECT_FALSE(faults.from(Fault_kind::eeprom_silent, 4));
    EXPECT_TRUE(faults.from(Fault_kind::eeprom_silent, 5));
    EXPECT_TRUE(faults.from(Fault_kind::eeprom_silent, 64));
}

TEST(FaultTable, LoaderSilentZeroSilencesTheHardwareId) {
    Fault_table faults;
    ASSERT_EQ(faults.arm("loader-silent", "1"), "");
    EXPECT_FALSE(faults.from(Fault_kind::loader_silent, 0));
    faults.clear();
    ASSERT_EQ(faults.arm("loader-silent", "0"), "");
    EXPECT_TRUE(faults.from(Fault_kind::loader_silent, 0));
    // Zero only makes sense for the loader.
    EXPECT_NE(faults.arm("eeprom-silent", "0"), "");
}

TEST(FaultTable, DelaysTakeLineAndMilliseconds) {
    Fault_table faults;
    ASSERT_EQ(faults.arm("eeprom-delay", "2 1500"), "");
    ASSERT_EQ(faults.arm("loader-delay", "4,250"), "");
    EXPECT_EQ(faults.delay_ms(Fault_kind::eeprom_delay, 2), 1500);
    EXPECT_EQ(faults.delay_ms(Fault_kind::eeprom_delay, 3), 0);
    EXPECT_EQ(faults.delay_ms(Fault_kind::loader_delay, 4), 250);
    EXPECT_EQ(faults.delay_ms(Fault_kind::loader_delay, 2), 0);
}

TEST(FaultTable, LoaderReplyKeepsTrailingBlanksAndDecodesEscapes) {
    Fault_table faults;
    ASSERT_EQ(faults.arm("loader-reply", "3 #$ "), "");
    ASSERT_EQ(faults.arm("loader-reply", "4 #\\x21"), "");
    EXPECT_EQ(faults.reply_for(3), "#$ ");
    EXPECT_EQ(faults.reply_for(4), "#!");
    EXPECT_FALSE(faults.reply_for(5).has_value());
}

TEST(FaultTable, CommandLineForm) {
    Fault_table faults;
    EXPECT_EQ(faults.arm_option("hwid-none"), "");
    EXPECT_EQ(faults.arm_option("eeprom-delay=7,100"), "");
    EXPECT_EQ(faults.arm_option("loader-reply=2,#?"), "");
    EXPECT_TRUE(faults.has(Fault_kind::hwid_none));
    EXPECT_EQ(faults.delay_ms(Fault_kind::eeprom_delay, 7), 100);
    EXPECT_EQ(faults.reply_for(2), "#?");
    EXPECT_EQ(faults.armed().size(), 3U);
}

TEST(FaultTable, RejectsBadNamesAndArguments) {
    Fault_table faults;
    EXPECT_NE(faults.arm("eeprom-frobnicate", "1"), "");
    EXPECT_NE(faults.arm("eeprom-checksum", ""), "");
    EXPECT_NE(faults.arm("eeprom-checksum", "x"), "");
    EXPECT_NE(faults.arm("eeprom-checksum", "-1"), "");
    EXPECT_NE(faults.arm("eeprom-checksum", "1 2"), "");
    EXPECT_NE(faults.arm("eeprom-delay", "1"), "");
    EXPECT_NE(faults.arm("eeprom-delay", "1 -5"), "");
    EXPECT_NE(faults.arm("loader-reply", "1"), "");
    EXPECT_NE(faults.arm("loader-reply", "1 \\q"), "");
    EXPECT_NE(faults.arm("hwid-none", "1"), "");
    EXPECT_NE(faults.arm("loader-stuck", ""), "");
    EXPECT_NE(faults.arm("loader-stuck", "12G"), "");
    EXPECT_NE(faults.arm("loader-stuck", "10000"), "");
    EXPECT_NE(faults.arm("loader-stuck", "1 2"), "");
    EXPECT_TRUE(faults.empty());
}

TEST(FaultTable, StuckBytesTakeAHexadecimalAddress) {
    Fault_table faults;
    ASSERT_EQ(faults.arm_option("loader-stuck=0123"), "");
    ASSERT_EQ(faults.arm("loader-stuck", " 3ff "), "");
    EXPECT_EQ(faults.stuck_addresses(), (std::vector<unsigned>{0x123, 0x3FF}));
}

TEST(FaultTable, SeveralFaultsAtOnceAndClear) {
    Fault_table faults;
    ASSERT_EQ(faults.arm("eeprom-checksum", "1"), "");
    ASSERT_EQ(faults.arm("eeprom-lowercase", "1"), "");
    ASSERT_EQ(faults.arm("eeprom-unplug", "2"), "");
    EXPECT_TRUE(faults.at(Fault_kind::eeprom_checksum, 1));
    EXPECT_TRUE(faults.at(Fault_kind::eeprom_lowercase, 1));
    EXPECT_TRUE(faults.at(Fault_kind::eeprom_unplug, 2));
    faults.clear();
    EXPECT_FALSE(faults.at(Fault_kind::eeprom_checksum, 1));
    EXPECT_FALSE(faults.at(Fault_kind::eeprom_unplug, 2));
}

}  // namespace
}  // namespace sim
