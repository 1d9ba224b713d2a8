#pragma once
// The simulator's command line.
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct Options {
    std::string dir;
    int port = -1;
    std::size_t eeprom_size = 1024;
    bool eeprom_size_given = false;
    std::string eeprom_image;
    std::string hardware_id = "2418";
    std::uint8_t sign_on_byte = 0xBE;
    std::string upload_out;
    int upload_lines = 0;
    int delay_ms = 0;
    bool stay = false;
    bool quiet_lines = false;         // no event per dump or loader line
    std::vector<std::string> faults;  // NAME or NAME=ARGS, checked when armed
    bool help = false;
};

struct Parsed_options {
    Options options;
    std::string error;  // empty when the command line was good
};

Parsed_options parse_options(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace sim
