#pragma once
// The loader's view of one received line: "#" then hex pairs LL AAAA TT data CC, where all
// bytes from LL through CC add up to 0 modulo 256. Lines not starting with "#" are text.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sim {

enum class Record_verdict {
    text_line,     // not a record: accepted and skipped
    data_record,   // type 00
    end_record,    // type 01
    bad_header,    // wrong length or a character that is not upper-case hex
    bad_checksum,  // well formed, but the bytes do not add up to 0
    bad_type,      // well formed and summing to 0, but neither 00 nor 01
};

Record_verdict check_record(std::string_view line);

// The address and bytes of a line that check_record finds a data record.
struct Data_record {
    unsigned address = 0;
    std::vector<std::uint8_t> bytes;
};
std::optional<Data_record> data_record_of(std::string_view line);

// What the loader answers for a verdict (without the CR).
std::string_view loader_reply(Record_verdict verdict);

// Replies after which the loader stops and the board returns to its console.
bool reply_ends_loader(std::string_view reply);

inline constexpr std::string_view kReplyNext = "#$";
inline constexpr std::string_view kReplyDone = "#@";
inline constexpr std::string_view kReplyHeaderError = "#?";
inline constexpr std::string_view kReplyChecksumError = "#!";
inline constexpr std::string_view kReplyTypeError = "#*";

}  // namespace sim
