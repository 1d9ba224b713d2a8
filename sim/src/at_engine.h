#pragma once
// The GSM engine behind the board's AT mode: one command line in, the engine's answer out.
#include <string>
#include <string_view>

namespace sim {

struct At_session {
    bool echo = false;       // ATE1 / ATE0; the engine starts with echo off
    int message_format = 0;  // AT+CMGF: 0 PDU, 1 text
    int next_message_reference = 1;
};

struct At_answer {
    std::string text;         // bytes to send, every line ended with CR LF
    bool wants_sms = false;   // text is the "> " prompt: collect the message up to Ctrl-Z
    std::string sms_address;  // as given to AT+CMGS, quotes removed
};

// Answers one line; a line that does not start with "AT" gets no answer at all.
At_answer answer_at_command(std::string_view line, At_session& session);

// Answer once the message text has been ended with Ctrl-Z.
std::string answer_sms_sent(At_session& session);

// Answer when the message text is abandoned with ESC.
std::string answer_sms_abandoned();

inline constexpr char kCtrlZ = 0x1A;
inline constexpr char kEscape = 0x1B;

}  // namespace sim
