#include "options.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "byte_text.h"
#include "eeprom_image.h"

namespace sim {

const char* const kUsage =
    "usage: vimbo_sim --dir DIR --port N [--eeprom-size 1024|2048|4096] [--eeprom-image FILE]\n"
    "                 [--hwid ID] [--sign-on-byte HH] [--upload-out FILE] [--upload-lines N]\n"
    "                 [--delay-ms T] [--stay] [--quiet-lines] [--fault NAME[=ARGS]]...\n";

namespace {

std::optional<int> to_int(std::string_view text, int min, int max) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

bool printable_word(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c > ' ' && c < 0x7F; });
}

// Applies one option that takes a value; returns an error text, empty on success.
std::string apply(Options& o, std::string_view name, const std::string& value) {
    if (name == "--dir") {
        if (value.empty()) return "--dir needs a folder";
        o.dir = value;
    } else if (name == "--port") {
        const auto port = to_int(value, 0, 9999);
        if (!port) return "--port needs a number from 0 to 9999";
        o.port = *port;
    } else if (name == "--eeprom-size") {
        const auto size = to_int(value, 0, 1 << 20);
        if (!size || !valid_eeprom_size(static_cast<std::size_t>(*size))) {
            return "--eeprom-size must be 1024, 2048 or 4096";
        }
        o.eeprom_size = static_cast<std::size_t>(*size);
        o.eeprom_size_given = true;
    } else if (name == "--eeprom-image") {
        o.eeprom_image = value;
    } else if (name == "--hwid") {
        if (!printable_word(value)) return "--hwid needs an id without blanks";
        o.hardware_id = value;
    } else if (name == "--sign-on-byte") {
        const Decoded byte = parse_hex_bytes(value);
        if (!byte.ok() || byte.bytes.size() != 1) return "--sign-on-byte needs two hex digits";
        o.sign_on_byte = static_cast<std::uint8_t>(byte.bytes[0]);
    } else if (name == "--upload-out") {
        o.upload_out = value;
    } else if (name == "--upload-lines") {
        const auto lines = to_int(value, 0, 1 << 30);
        if (!lines) return "--upload-lines needs a count";
        o.upload_lines = *lines;
    } else if (name == "--delay-ms") {
        const auto ms = to_int(value, 0, 600000);
        if (!ms) return "--delay-ms needs milliseconds from 0 to 600000";
        o.delay_ms = *ms;
    } else if (name == "--fault") {
        o.faults.push_back(value);
    } else {
        return "unknown option " + std::string(name);
    }
    return {};
}

}  // namespace

Parsed_options parse_options(const std::vector<std::string>& args) {
    Parsed_options parsed;
    Options& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('=');
            name.starts_with("--") && equals != std::string_view::npos) {
            value = std::string(name.substr(equals + 1));
            name = name.substr(0, equals);
        }
        if (name == "--stay" || name == "--quiet-lines" || name == "--help" || name == "-h") {
            if (value) return {o, std::string(name) + " takes no value"};
            (name == "--stay" ? o.stay : name == "--quiet-lines" ? o.quiet_lines : o.help) = true;
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) return {o, std::string(name) + " needs a value"};
            value = args[++i];
        }
        if (std::string error = apply(o, name, *value); !error.empty()) return {o, error};
    }
    if (o.help) return parsed;
    if (o.dir.empty()) return {o, "--dir is required"};
    if (o.port < 0) return {o, "--port is required"};
    return parsed;
}

}  // namespace sim
