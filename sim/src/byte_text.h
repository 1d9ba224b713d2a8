#pragma once
// Conversions between raw line bytes and the text used on the control channel.
#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

// Bytes decoded from control text, or the reason they could not be.
struct Decoded {
    std::string bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Value of one hex digit of either case, -1 for anything else.
int hex_value(char c);

// Value of one upper-case hex digit, -1 for anything else (the board's own hex is upper case).
int upper_hex_value(char c);

// "\r \n \t \\ \xHH" become bytes; anything else after a backslash is an error.
Decoded decode_escapes(std::string_view text);

// The inverse of decode_escapes for event lines: printable ASCII stays as it is,
// a backslash doubles, CR LF TAB use their short escapes and any other byte is \xHH.
std::string printable(std::string_view bytes);

// "00 18 21" or "001821": hex pairs, blanks allowed between pairs, either case.
Decoded parse_hex_bytes(std::string_view text);

// Two upper-case hex digits.
std::string hex_byte(std::uint8_t value);

}  // namespace sim
