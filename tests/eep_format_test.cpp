#include <gtest/gtest.h>

#include "eeprom/eep_format.h"
#include "tests/support/qt_printers.h"

using namespace eep;

namespace {
QString repeat(const char* pair, int times) {
    return QString(pair).repeated(times);
}
}  // namespace

TEST(Eep_format, DataRecordsFollowTheChecksumRuleWithLeadingZeros) {
    struct Row {
        int address;
        QString data;
        const char* record;
    };
    const Row rows[] = {
        // S = 0: the checksum is 00, never 100.
        {0x0000, repeat("FF", 16), "#10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00"},
        {0x0010, repeat("FF", 16), "#10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0"},
        {0x0020, "000102030405060708090A0B0C0D0E0F", "#10002000000102030405060708090A0B0C0D0E0F58"},
        // Last records of the three models.
        {0x03F0, repeat("00", 16), "#1003F00000000000000000000000000000000000FD"},
        {0x07F0, repeat("00", 16), "#1007F00000000000000000000000000000000000F9"},
        {0x0FF0, repeat("FF", 16), "#100FF000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01"},
        // A checksum below 16 keeps its leading zero: S = 0x10 + 0xE1 = 0xF1, C = 0F.
        {0x0000, "E1" + repeat("00", 15), "#10000000E10000000000000000000000000000000F"},
        // The high address byte counts: S = 0x10 + 0x0A + 0xB0 + 0x01 = 0xCB, C = 35.
        {0x0AB0, repeat("00", 15) + "01",
         "#100AB00000000000000000000000000000000001"
         "35"},
    };
    for (const Row& r : rows) {
        const QString record = data_record(r.address, r.data);
        EXPECT_EQ(record, r.record) << "address " << r.address;
        EXPECT_EQ(record.size(), 43);
        // The 21 bytes of the record add up to a multiple of 256.
        int sum = 0;
        for (int i = 1; i < record.size(); i += 2) sum += record.mid(i, 2).toInt(nullptr, 16);
        EXPECT_EQ(sum % 256, 0) << r.record;
    }
}

TEST(Eep_format, ModelsComeFromTheFirstTwoCharactersExactly) {
    ASSERT_NE(model_for_name("2418.eep"), nullptr);
    EXPECT_EQ(model_for_name("2418.eep")->bytes, 1024);
    EXPECT_EQ(model_for_name("6428shop.eep")->bytes, 2048);
    EXPECT_EQ(model_for_name("8800.eep")->bytes, 4096);
    EXPECT_EQ(model_for_name("88")->bytes, 4096);
    EXPECT_STREQ(model_for_name("2418.eep")->mcu_line, "Mcu type; 324 / SMS Controller type Rq5");
    EXPECT_STREQ(model_for_name("6418.eep")->mcu_line, "Mcu type; 644 / SMS Controller type RqM5");
    EXPECT_STREQ(model_for_name("8818.eep")->mcu_line,
                 "Mcu type; 1284 / SMS Controller type RqM55");
    for (const char* unknown : {"7428.eep", "2", "", " 24.eep", "4218.eep", "25.eep", "0x24"}) {
        EXPECT_EQ(model_for_name(unknown), nullptr) << unknown;
    }
    EXPECT_EQ(accepted_prefixes(), "24, 64 or 88");
    EXPECT_EQ(kDefaultName, "8800.eep");
}

TEST(Eep_format, TrailerLinesForEachModel) {
    EXPECT_EQ(end_lines(), (QStringList{"#00000001FF", "", ""}));
    EXPECT_EQ(size_line(*model_for_name("24")), "1024 Eeprom bytes.");
    EXPECT_EQ(size_line(*model_for_name("64")), "2048 Eeprom bytes.");
    EXPECT_EQ(size_line(*model_for_name("88")), "4096 Eeprom bytes.");

    const QDateTime when(QDate(2026, 3, 7), QTime(9, 5, 30));
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(date_line(when, german), "Dump date; 07.03.26 at 09:05");
    EXPECT_EQ(model_lines(*model_for_name("64"), when, german),
              (QStringList{"Mcu type; 644 / SMS Controller type RqM5", "2048 Eeprom bytes.",
                           "Dump date; 07.03.26 at 09:05", ""}));
}
