#pragma once
// One line of the EEPROM dump as the board sends it: "#", 16 bytes as 32 upper-case hex
// digits, then their plain sum modulo 256 as two more digits (no CR here).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace sim {

inline constexpr std::size_t kDumpLineBytes = 16;

// Ways a dump line can be spoiled on purpose, to see the tool reject it.
struct Dump_line_damage {
    bool wrong_checksum = false;  // sum + 1
    bool lower_case = false;      // a-f instead of A-F everywhere
    bool non_hex = false;         // one data digit becomes ':'
    bool cut_short = false;       // only the first 20 characters
};

inline constexpr std::size_t kShortDumpLineChars = 20;
inline constexpr std::size_t kNonHexPosition = 5;  // a data digit, well inside the line

std::uint8_t dump_sum(std::span<const std::uint8_t, kDumpLineBytes> bytes);

std::string format_dump_line(std::span<const std::uint8_t, kDumpLineBytes> bytes,
                             const Dump_line_damage& damage = {});

}  // namespace sim
