#include "byte_text.h"

namespace sim {

namespace {
constexpr std::string_view kUpperDigits = "0123456789ABCDEF";
}  // namespace

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int upper_hex_value(char c) {
    return (c >= 'a' && c <= 'f') ? -1 : hex_value(c);
}

Decoded decode_escapes(std::string_view text) {
    Decoded out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            out.bytes.push_back(c);
            continue;
        }
        if (i + 1 >= text.size()) return {{}, "backslash at end of text"};
        const char kind = text[++i];
        switch (kind) {
            case 'r':
                out.bytes.push_back('\r');
                break;
            case 'n':
                out.bytes.push_back('\n');
                break;
            case 't':
                out.bytes.push_back('\t');
                break;
            case '\\':
                out.bytes.push_back('\\');
                break;
            case 'x': {
                if (i + 2 >= text.size()) return {{}, "\\x needs two hex digits"};
                const int hi = hex_value(text[i + 1]);
                const int lo = hex_value(text[i + 2]);
                if (hi < 0 || lo < 0) return {{}, "\\x needs two hex digits"};
                out.bytes.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                break;
            }
            default:
                return {{}, std::string("unknown escape \\") + kind};
        }
    }
    return out;
}

std::string printable(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u >= 0x20 && u < 0x7F) {
            out.push_back(c);
        } else {
            out += "\\x" + hex_byte(u);
        }
    }
    return out;
}

Decoded parse_hex_bytes(std::string_view text) {
    Decoded out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) return {{}, "odd number of hex digits"};
        const int hi = hex_value(text[i]);
        const int lo = hex_value(text[i + 1]);
        if (hi < 0 || lo < 0) return {{}, "not a hex pair: " + std::string(text.substr(i, 2))};
        out.bytes.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

std::string hex_byte(std::uint8_t value) {
    return {kUpperDigits[value >> 4], kUpperDigits[value & 0x0F]};
}

}  // namespace sim
