#include "hex_record.h"

#include <cstdint>
#include <numeric>
#include <vector>

#include "byte_text.h"

namespace sim {

namespace {
constexpr std::size_t kFixedBytes = 5;  // count, two address bytes, type, checksum
constexpr std::uint8_t kTypeData = 0x00;
constexpr std::uint8_t kTypeEnd = 0x01;

// The bytes of a "#" line, LL through CC; a verdict when the line is no well-formed record.
std::optional<Record_verdict> decode(std::string_view line, std::vector<std::uint8_t>& bytes) {
    if (line.empty() || line.front() != '#') return Record_verdict::text_line;
    const std::string_view digits = line.substr(1);
    if (digits.size() < 2 * kFixedBytes || digits.size() % 2 != 0) {
        return Record_verdict::bad_header;
    }
    bytes.reserve(digits.size() / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int hi = upper_hex_value(digits[i]);
        const int lo = upper_hex_value(digits[i + 1]);
        if (hi < 0 || lo < 0) return Record_verdict::bad_header;
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    if (bytes.size() != kFixedBytes + bytes[0]) return Record_verdict::bad_header;
    return std::nullopt;
}

Record_verdict verdict_of(const std::vector<std::uint8_t>& bytes) {
    const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0U);
    if ((sum & 0xFFU) != 0) return Record_verdict::bad_checksum;
    switch (bytes[3]) {
        case kTypeData:
            return Record_verdict::data_record;
        case kTypeEnd:
            return Record_verdict::end_record;
        default:
            return Record_verdict::bad_type;
    }
}
}  // namespace

Record_verdict check_record(std::string_view line) {
    std::vector<std::uint8_t> bytes;
    if (const auto early = decode(line, bytes)) return *early;
    return verdict_of(bytes);
}

std::optional<Data_record> data_record_of(std::string_view line) {
    std::vector<std::uint8_t> bytes;
    if (decode(line, bytes) || verdict_of(bytes) != Record_verdict::data_record) {
        return std::nullopt;
    }
    Data_record record;
    record.address = unsigned(bytes[1]) << 8 | bytes[2];
    record.bytes.assign(bytes.begin() + 4, bytes.end() - 1);
    return record;
}

std::string_view loader_reply(Record_verdict verdict) {
    switch (verdict) {
        case Record_verdict::text_line:
        case Record_verdict::data_record:
            return kReplyNext;
        case Record_verdict::end_record:
            return kReplyDone;
        case Record_verdict::bad_header:
            return kReplyHeaderError;
        case Record_verdict::bad_checksum:
            return kReplyChecksumError;
        case Record_verdict::bad_type:
            return kReplyTypeError;
    }
    return kReplyHeaderError;
}

bool reply_ends_loader(std::string_view reply) {
    return reply == kReplyDone || reply == kReplyHeaderError || reply == kReplyChecksumError ||
           reply == kReplyTypeError;
}

}  // namespace sim
