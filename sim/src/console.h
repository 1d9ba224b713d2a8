#pragma once
// The board's console: collects CR-ended lines and hands them to the GSM engine (AT mode) or
// to the board's command interpreter (PC mode). "}" selects AT mode, "{" PC mode, "|" asks for
// undecoded AT answers; each only counts as the first byte of a line.
#include <cstdint>
#include <string>
#include <vector>

#include "at_engine.h"
#include "pc_commands.h"

namespace sim {

enum class Console_mode { at, pc, sms_text };

struct Console_output {
    std::string reply;                // bytes for the tool
    std::vector<std::string> events;  // event lines (without "event ")
};

class Console {
  public:
    void reset();
    Console_output receive(std::uint8_t byte);
    Console_mode mode() const { return mode_; }
    bool echo() const { return at_.echo; }
    bool undecoded() const { return undecoded_; }

  private:
    Console_output finish_line();
    Console_output sms_byte(std::uint8_t byte);

    Console_mode mode_ = Console_mode::at;
    std::string line_;
    std::string sms_address_;
    std::string sms_text_;
    bool undecoded_ = false;
    At_session at_;
    Pc_board pc_;
};

}  // namespace sim
