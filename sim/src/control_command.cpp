#include "control_command.h"

#include <charconv>

#include "byte_text.h"

namespace sim {

namespace {

// "garbage 10 7" -> word "garbage", rest "10 7". The rest keeps its trailing blanks.
std::pair<std::string_view, std::string_view> split_word(std::string_view line) {
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos) return {line, {}};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

template <typename Number>
bool parse_number(std::string_view text, Number& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

Control_command parse_garbage(std::string_view args) {
    const auto [count_text, seed_text] = split_word(trim(args));
    control::Garbage garbage;
    if (!parse_number(count_text, garbage.count) || garbage.count < 0 ||
        garbage.count > kMaxGarbage) {
        return control::Invalid{"usage: garbage N [SEED]"};
    }
    if (!trim(seed_text).empty() && !parse_number(trim(seed_text), garbage.seed)) {
        return control::Invalid{"usage: garbage N [SEED]"};
    }
    return garbage;
}

Control_command parse_fault(std::string_view args) {
    const auto [name, rest] = split_word(args);
    if (name == "clear" && trim(rest).empty()) return control::Clear_faults{};
    if (name.empty()) return control::Invalid{"usage: fault NAME ARGS | fault clear"};
    // "fault eeprom-delay=3,500" as on the command line is fine too.
    if (const auto equals = name.find('='); equals != std::string_view::npos && rest.empty()) {
        return control::Arm_fault{std::string(name.substr(0, equals)),
                                  std::string(name.substr(equals + 1))};
    }
    return control::Arm_fault{std::string(name), std::string(rest)};
}

}  // namespace

Control_command parse_control(std::string_view line) {
    if (trim(line).empty()) return control::Invalid{"empty command"};
    const auto [word, args] = split_word(line);
    if (word == "send") {
        Decoded text = decode_escapes(args);
        if (!text.ok()) return control::Invalid{text.error};
        return control::Send{text.bytes + "\r\n"};
    }
    if (word == "raw") {
        Decoded bytes = parse_hex_bytes(args);
        if (!bytes.ok()) return control::Invalid{bytes.error};
        return control::Send{std::move(bytes.bytes)};
    }
    if (word == "garbage") return parse_garbage(args);
    if (word == "silent") {
        if (trim(args) == "on") return control::Silent{true};
        if (trim(args) == "off") return control::Silent{false};
        return control::Invalid{"usage: silent on|off"};
    }
    if (word == "fault") return parse_fault(args);
    const bool bare = trim(args).empty();
    if (word == "unplug" && bare) return control::Unplug{};
    if (word == "replug" && bare) return control::Replug{};
    if (word == "status" && bare) return control::Status{};
    if (word == "unplug" || word == "replug" || word == "status") {
        return control::Invalid{std::string(word) + " takes no arguments"};
    }
    return control::Invalid{"unknown command " + std::string(word)};
}

std::string garbage_bytes(int count, std::uint64_t seed) {
    // splitmix64: tiny, and the same bytes for a seed on every platform.
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(count));
    std::uint64_t state = seed;
    for (int i = 0; i < count; ++i) {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        z ^= z >> 31U;
        bytes.push_back(static_cast<char>(z >> 56U));
    }
    return bytes;
}

}  // namespace sim
