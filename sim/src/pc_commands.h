#pragma once
// The board's own command mode: lines like "6157 s", an access code, a blank, a command
// letter and its arguments.
#include <array>
#include <string>
#include <string_view>

namespace sim {

inline constexpr std::string_view kAccessCode = "6157";

// What the PC commands can look at and change.
struct Pc_board {
    std::array<bool, 2> inputs{false, true};
    std::array<bool, 2> outputs{false, false};
    std::array<std::string, 2> alarm_numbers{"+15550100001", ""};
};

// The answer lines (each ended with CR LF) for one command line.
std::string answer_pc_command(std::string_view line, Pc_board& board);

}  // namespace sim
