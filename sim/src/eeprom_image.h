#pragma once
// The contents the simulated EEPROM serves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

bool valid_eeprom_size(std::size_t size);

// A deterministic image: byte i = (i*7+3) & 0xFF, with a readable marker at address 0 so a
// dump is easy to recognise in a log.
std::vector<std::uint8_t> make_pattern_image(std::size_t size);

inline constexpr std::string_view kPatternMarker = "SIM BOARD";

// Reads a raw image file; throws std::runtime_error when it cannot be read or has a size the
// board does not come in.
std::vector<std::uint8_t> load_image(const std::string& path);

}  // namespace sim
