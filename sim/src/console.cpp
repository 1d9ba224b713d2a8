#include "console.h"

#include "byte_text.h"

namespace sim {

namespace {
// Longer lines are cut: nothing the tool sends to the console comes near this.
constexpr std::size_t kMaxLine = 1024;
constexpr std::size_t kMaxSms = 1024;
}  // namespace

void Console::reset() {
    mode_ = Console_mode::at;
    line_.clear();
    sms_address_.clear();
    sms_text_.clear();
    undecoded_ = false;
    at_ = At_session{};
}

Console_output Console::receive(std::uint8_t byte) {
    if (mode_ == Console_mode::sms_text) return sms_byte(byte);
    if (byte == '\r') return finish_line();
    if (byte == '\n') return {};
    if (line_.empty() && (byte == '{' || byte == '}' || byte == '|')) {
        if (byte == '{') {
            mode_ = Console_mode::pc;
            return {{}, {"console-mode pc"}};
        }
        if (byte == '}') {
            mode_ = Console_mode::at;
            return {{}, {"console-mode at"}};
        }
        undecoded_ = true;
        return {{}, {"console-mode undecoded"}};
    }
    if (line_.size() < kMaxLine) line_.push_back(static_cast<char>(byte));
    return {};
}

Console_output Console::finish_line() {
    const std::string line = std::move(line_);
    line_.clear();
    if (line.empty()) return {};
    Console_output out{{}, {"console " + printable(line)}};
    if (mode_ == Console_mode::pc) {
        out.reply = answer_pc_command(line, pc_);
        return out;
    }
    if (at_.echo) out.reply = line + "\r\n";
    At_answer answer = answer_at_command(line, at_);
    out.reply += answer.text;
    if (answer.wants_sms) {
        mode_ = Console_mode::sms_text;
        sms_address_ = std::move(answer.sms_address);
        sms_text_.clear();
    }
    return out;
}

Console_output Console::sms_byte(std::uint8_t byte) {
    if (byte == kCtrlZ) {
        mode_ = Console_mode::at;
        return {answer_sms_sent(at_),
                {"sms " + printable(sms_address_) + " " + printable(sms_text_)}};
    }
    if (byte == kEscape) {
        mode_ = Console_mode::at;
        return {answer_sms_abandoned(), {"sms-abandoned"}};
    }
    if (sms_text_.size() < kMaxSms) sms_text_.push_back(static_cast<char>(byte));
    return {};
}

}  // namespace sim
