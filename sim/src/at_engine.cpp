#include "at_engine.h"

#include <cctype>
#include <initializer_list>

namespace sim {

namespace {

constexpr std::string_view kOk = "OK";
constexpr std::string_view kError = "ERROR";
constexpr std::string_view kImei = "350000112345679";
constexpr std::string_view kImsi = "001010123456789";
constexpr std::string_view kSmsPrompt = "> ";

std::string answer_lines(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (const std::string_view line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

At_answer plain(std::initializer_list<std::string_view> lines) {
    return {answer_lines(lines), false, {}};
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string_view strip_quotes(std::string_view s) {
    s = trim_blanks(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

At_answer message_list() {
    return plain({"+CMGL: 1,\"REC READ\",\"+15550100001\",,\"26/12/08,09:15:00+04\"", "IN1 ALARM",
                  "+CMGL: 2,\"REC UNREAD\",\"+15550100002\",,\"26/12/09,11:30:00+04\"", "6157 s",
                  kOk});
}

At_answer active_profile(const At_session& session) {
    const std::string echo = session.echo ? "E1" : "E0";
    const std::string format = "+CMGF: " + std::to_string(session.message_format);
    return plain({"ACTIVE PROFILE:", echo + " Q0 V1 X4 &C1 &D1", format, kOk});
}

}  // namespace

At_answer answer_at_command(std::string_view raw_line, At_session& session) {
    const std::string_view line = trim_blanks(raw_line);
    const std::string command = upper(line);
    if (!command.starts_with("AT")) return {};

    if (command == "AT") return plain({kOk});
    if (command == "ATI") return plain({"DEMO GSM ENGINE", "Revision: SIM01", kOk});
    if (command == "ATE0" || command == "ATE" || command == "ATE1") {
        session.echo = command == "ATE1";
        return plain({kOk});
    }
    if (command == "AT&V") return active_profile(session);
    if (command == "AT+CSQ") return plain({"+CSQ: 21,0", kOk});
    if (command == "AT+CREG?") return plain({"+CREG: 0,1", kOk});
    if (command == "AT+COPS?") return plain({"+COPS: 0,0,\"DEMO NET\"", kOk});
    if (command == "AT+CGSN" || command == "AT+GSN") return plain({kImei, kOk});
    if (command == "AT+CIMI") return plain({kImsi, kOk});
    if (command == "AT+CMGF=0" || command == "AT+CMGF=1") {
        session.message_format = command.back() - '0';
        return plain({kOk});
    }
    if (command == "AT+CMGF?") {
        return plain({"+CMGF: " + std::to_string(session.message_format), kOk});
    }
    if (command == "AT+CMGF=?") return plain({"+CMGF: (0,1)", kOk});
    if (command == "AT+CPIN?") return plain({"+CPIN: READY", kOk});
    if (command == "AT+CBC") return plain({"+CBC: 0,85,4100", kOk});
    if (command == "AT+CCLK?") return plain({"+CCLK: \"26/12/09,12:00:00+04\"", kOk});
    if (command == "AT+CSCA?") return plain({"+CSCA: \"+15550100000\",145", kOk});
    if (command == "AT+CMGL" || command.starts_with("AT+CMGL=")) return message_list();
    if (command.starts_with("AT+CMGD=")) return plain({kOk});
    if (command.starts_with("AT+CMGS=")) {
        const std::string_view address =
            strip_quotes(line.substr(std::string_view("AT+CMGS=").size()));
        if (address.empty()) return plain({kError});
        return {std::string(kSmsPrompt), true, std::string(address)};
    }
    return plain({kError});
}

std::string answer_sms_sent(At_session& session) {
    const std::string reference = "+CMGS: " + std::to_string(session.next_message_reference++);
    return answer_lines({reference, kOk});
}

std::string answer_sms_abandoned() {
    return answer_lines({kOk});
}

}  // namespace sim
