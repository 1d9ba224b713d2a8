#include "hex_record.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

constexpr std::string_view kGoodData = "#10002000000102030405060708090A0B0C0D0E0F58";

TEST(HexRecord, EndRecordIsGood) {
    EXPECT_EQ(check_record("#00000001FF"), Record_verdict::end_record);
    EXPECT_EQ(loader_reply(check_record("#00000001FF")), "#@");
}

TEST(HexRecord, DataRecordsAreGood) {
    EXPECT_EQ(check_record("#10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00"),
              Record_verdict::data_record);
    EXPECT_EQ(check_record(kGoodData), Record_verdict::data_record);
    EXPECT_EQ(check_record("#0100000041BE"), Record_verdict::data_record);
    EXPECT_EQ(loader_reply(check_record(kGoodData)), "#$");
}

TEST(HexRecord, AnyChangedDigitBreaksTheChecksum) {
    for (std::size_t i = 3; i < kGoodData.size(); ++i) {  // all but the count
        std::string line(kGoodData);
        line[i] = line[i] == '0' ? '1' : '0';
        EXPECT_EQ(check_record(line), Record_verdict::bad_checksum) << line;
    }
    EXPECT_EQ(loader_reply(Record_verdict::bad_checksum), "#!");
}

TEST(HexRecord, LowerCaseIsAHeaderError) {
    EXPECT_EQ(check_record("#10002000000102030405060708090a0b0c0d0e0f58"),
              Record_verdict::bad_header);
    EXPECT_EQ(loader_reply(Record_verdict::bad_header), "#?");
    // Either digit of a pair, even where the sum would come out right.
    EXPECT_EQ(check_record("#01000000AB54"), Record_verdict::data_record);
    EXPECT_EQ(check_record("#01000000aB54"), Record_verdict::bad_header);
    EXPECT_EQ(check_record("#01000000Ab54"), Record_verdict::bad_header);
}

TEST(HexRecord, WrongLengthIsAHeaderError) {
    EXPECT_EQ(check_record(kGoodData.substr(0, kGoodData.size() - 2)), Record_verdict::bad_header);
    EXPECT_EQ(check_record(std::string(kGoodData) + "00"), Record_verdict::bad_header);
    EXPECT_EQ(check_record(std::string(kGoodData) + " "), Record_verdict::bad_header);
    EXPECT_EQ(check_record("#"), Record_verdict::bad_header);
    EXPECT_EQ(check_record("#0000000"), Record_verdict::bad_header);
    EXPECT_EQ(check_record("#00000001F"), Record_verdict::bad_header);
}

TEST(HexRecord, NonHexIsAHeaderError) {
    EXPECT_EQ(check_record("#0000000:FF"), Record_verdict::bad_header);
    EXPECT_EQ(check_record(":00000001FF"), Record_verdict::text_line);
}

TEST(HexRecord, OtherTypesAreChipTypeErrors) {
    EXPECT_EQ(check_record("#020000020000FC"), Record_verdict::bad_type);
    EXPECT_EQ(check_record("#0400000500000000F7"), Record_verdict::bad_type);
    EXPECT_EQ(loader_reply(Record_verdict::bad_type), "#*");
    // The checksum is looked at first.
    EXPECT_EQ(check_record("#020000020000FD"), Record_verdict::bad_checksum);
}

TEST(HexRecord, LinesWithoutHashAreText) {
    EXPECT_EQ(check_record(""), Record_verdict::text_line);
    EXPECT_EQ(check_record("; firmware 1.2"), Record_verdict::text_line);
    EXPECT_EQ(loader_reply(Record_verdict::text_line), "#$");
}

TEST(HexRecord, RepliesThatEndTheLoader) {
    EXPECT_TRUE(reply_ends_loader("#@"));
    EXPECT_TRUE(reply_ends_loader("#?"));
    EXPECT_TRUE(reply_ends_loader("#!"));
    EXPECT_TRUE(reply_ends_loader("#*"));
    EXPECT_FALSE(reply_ends_loader("#$"));
    EXPECT_FALSE(reply_ends_loader("#$ "));
}

}  // namespace
}  // namespace sim
