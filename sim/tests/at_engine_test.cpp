#include "at_engine.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

std::string answer(std::string_view line, At_session& session) {
    return answer_at_command(line, session).text;
}

TEST(AtEngine, BasicAnswersEndWithOkAndCrLf) {
    At_session s;
    EXPECT_EQ(answer("AT", s), "OK\r\n");
    EXPECT_EQ(answer("at", s), "OK\r\n");
    EXPECT_EQ(answer("ATI", s), "DEMO GSM ENGINE\r\nRevision: SIM01\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CSQ", s), "+CSQ: 21,0\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CREG?", s), "+CREG: 0,1\r\nOK\r\n");
    EXPECT_EQ(answer("AT+COPS?", s), "+COPS: 0,0,\"DEMO NET\"\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CPIN?", s), "+CPIN: READY\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CBC", s), "+CBC: 0,85,4100\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CCLK?", s), "+CCLK: \"26/12/09,12:00:00+04\"\r\nOK\r\n");
}

TEST(AtEngine, IdentitiesAreFifteenDigits) {
    At_session s;
    for (const char* command : {"AT+CGSN", "AT+GSN", "AT+CIMI"}) {
        const std::string text = answer(command, s);
        ASSERT_EQ(text.size(), 15U + 2 + 4) << command;
        EXPECT_EQ(text.find_first_not_of("0123456789"), 15U) << command;
        EXPECT_EQ(text.substr(15), "\r\nOK\r\n");
    }
    EXPECT_EQ(answer("AT+CGSN", s), answer("AT+GSN", s));
}

TEST(AtEngine, MessageFormatIsRemembered) {
    At_session s;
    EXPECT_EQ(answer("AT+CMGF?", s), "+CMGF: 0\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CMGF=1", s), "OK\r\n");
    EXPECT_EQ(answer("AT+CMGF?", s), "+CMGF: 1\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CMGF=0", s), "OK\r\n");
    EXPECT_EQ(answer("AT+CMGF?", s), "+CMGF: 0\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CMGF=7", s), "ERROR\r\n");
}

TEST(AtEngine, EchoSwitches) {
    At_session s;
    EXPECT_FALSE(s.echo);
    EXPECT_EQ(answer("ATE1", s), "OK\r\n");
    EXPECT_TRUE(s.echo);
    EXPECT_EQ(answer("ATE0", s), "OK\r\n");
    EXPECT_FALSE(s.echo);
}

TEST(AtEngine, SendMessagePromptsAndAnswersWithReference) {
    At_session s;
    const At_answer prompt = answer_at_command("AT+CMGS=\"+15550100009\"", s);
    EXPECT_EQ(prompt.text, "> ");
    EXPECT_TRUE(prompt.wants_sms);
    EXPECT_EQ(prompt.sms_address, "+15550100009");
    EXPECT_EQ(answer_sms_sent(s), "+CMGS: 1\r\nOK\r\n");
    EXPECT_EQ(answer_sms_sent(s), "+CMGS: 2\r\nOK\r\n");
    EXPECT_EQ(answer("AT+CMGS=", s), "ERROR\r\n");
}

TEST(AtEngine, StoredMessagesAndServiceCentre) {
    At_session s;
    const std::string list = answer("AT+CMGL=\"ALL\"", s);
    EXPECT_EQ(list.find("+CMGL: 1,"), 0U);
    EXPECT_NE(list.find("\r\n+CMGL: 2,"), std::string::npos);
    EXPECT_TRUE(list.ends_with("\r\nOK\r\n"));
    EXPECT_TRUE(answer("AT+CSCA?", s).starts_with("+CSCA: \""));
}

TEST(AtEngine, UnknownAtIsErrorAndOtherLinesGetNothing) {
    At_session s;
    EXPECT_EQ(answer("AT+FROB", s), "ERROR\r\n");
    EXPECT_EQ(answer("atx9", s), "ERROR\r\n");
    EXPECT_EQ(answer("hello", s), "");
    EXPECT_EQ(answer("", s), "");
}

}  // namespace
}  // namespace sim
