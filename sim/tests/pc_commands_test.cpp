#include "pc_commands.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(PcCommands, StatusLinesThenOk) {
    Pc_board board;
    EXPECT_EQ(answer_pc_command("6157 s", board),
              "STATUS: IN1=0 IN2=1 OUT1=OFF OUT2=OFF\r\nGSM: REGISTERED  SIGNAL 21\r\n"
              "POWER: 12.3V\r\nOK\r\n");
}

TEST(PcCommands, VersionAndHelp) {
    Pc_board board;
    EXPECT_EQ(answer_pc_command("6157 v", board), "VERSION SIM 1.0\r\nOK\r\n");
    const std::string help = answer_pc_command("6157 ?", board);
    for (const char* letter : {"\r\ns ", "\r\ni ", "\r\no", "\r\nn", "\r\nv ", "\r\n? "}) {
        EXPECT_NE(("\r\n" + help).find(letter), std::string::npos) << letter;
    }
    EXPECT_TRUE(help.ends_with("OK\r\n"));
}

TEST(PcCommands, OutputsSwitchAndShowInStatus) {
    Pc_board board;
    EXPECT_EQ(answer_pc_command("6157 o1 1", board), "OUT1=ON OUT2=OFF\r\nOK\r\n");
    EXPECT_EQ(answer_pc_command("6157 o2 1", board), "OUT1=ON OUT2=ON\r\nOK\r\n");
    EXPECT_EQ(answer_pc_command("6157 o1 0", board), "OUT1=OFF OUT2=ON\r\nOK\r\n");
    EXPECT_TRUE(
        answer_pc_command("6157 s", board).starts_with("STATUS: IN1=0 IN2=1 OUT1=OFF OUT2=ON"));
    EXPECT_EQ(answer_pc_command("6157 o3 1", board), "ERROR\r\n");
    EXPECT_EQ(answer_pc_command("6157 o1 2", board), "ERROR\r\n");
}

TEST(PcCommands, AlarmNumbers) {
    Pc_board board;
    EXPECT_EQ(answer_pc_command("6157 n", board), "NUM1=+15550100001\r\nNUM2=\r\nOK\r\n");
    EXPECT_EQ(answer_pc_command("6157 n2 +15550100777", board), "NUM2=+15550100777\r\nOK\r\n");
    EXPECT_EQ(answer_pc_command("6157 n", board),
              "NUM1=+15550100001\r\nNUM2=+15550100777\r\nOK\r\n");
    EXPECT_EQ(answer_pc_command("6157 n2 12ab", board), "ERROR\r\n");
}

TEST(PcCommands, WrongCodeAndUnknownLetter) {
    Pc_board board;
    EXPECT_EQ(answer_pc_command("1234 s", board), "ACCESS DENIED\r\n");
    EXPECT_EQ(answer_pc_command("61570 s", board), "ACCESS DENIED\r\n");
    EXPECT_EQ(answer_pc_command("AT", board), "ACCESS DENIED\r\n");
    EXPECT_EQ(answer_pc_command("6157 x", board), "UNKNOWN CMD\r\n");
    EXPECT_EQ(answer_pc_command("6157", board), "UNKNOWN CMD\r\n");
    EXPECT_EQ(answer_pc_command("6157 sx", board), "UNKNOWN CMD\r\n");
}

}  // namespace
}  // namespace sim
