#include "dump_line.h"

#include <cctype>
#include <numeric>

#include "byte_text.h"

namespace sim {

std::uint8_t dump_sum(std::span<const std::uint8_t, kDumpLineBytes> bytes) {
    const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0U);
    return static_cast<std::uint8_t>(sum & 0xFFU);
}

std::string format_dump_line(std::span<const std::uint8_t, kDumpLineBytes> bytes,
                             const Dump_line_damage& damage) {
    std::string line = "#";
    for (const std::uint8_t b : bytes) line += hex_byte(b);
    std::uint8_t sum = dump_sum(bytes);
    if (damage.wrong_checksum) sum = static_cast<std::uint8_t>(sum + 1);
    line += hex_byte(sum);
    if (damage.lower_case) {
        for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (damage.non_hex) line[kNonHexPosition] = ':';
    if (damage.cut_short) line.resize(kShortDumpLineChars);
    return line;
}

}  // namespace sim
