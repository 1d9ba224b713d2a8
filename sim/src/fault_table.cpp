#include "fault_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>

#include "byte_text.h"

namespace sim {

namespace {

// What each fault takes after its name.
enum class Args { none, line, line_ms, line_reply, address };

struct Fault_name {
    std::string_view name;
    Fault_kind kind;
    Args args;
    int min_line;
};

constexpr std::array kNames{
    Fault_name{"eeprom-checksum", Fault_kind::eeprom_checksum, Args::line, 1},
    Fault_name{"eeprom-lowercase", Fault_kind::eeprom_lowercase, Args::line, 1},
    Fault_name{"eeprom-nonhex", Fault_kind::eeprom_nonhex, Args::line, 1},
    Fault_name{"eeprom-short", Fault_kind::eeprom_short, Args::line, 1},
    Fault_name{"eeprom-delay", Fault_kind::eeprom_delay, Args::line_ms, 1},
    Fault_name{"eeprom-silent", Fault_kind::eeprom_silent, Args::line, 1},
    Fault_name{"eeprom-unplug", Fault_kind::eeprom_unplug, Args::line, 1},
    Fault_name{"loader-reply", Fault_kind::loader_reply, Args::line_reply, 1},
    Fault_name{"loader-delay", Fault_kind::loader_delay, Args::line_ms, 1},
    Fault_name{"loader-silent", Fault_kind::loader_silent, Args::line, 0},
    Fault_name{"loader-unplug", Fault_kind::loader_unplug, Args::line, 1},
    Fault_name{"hwid-none", Fault_kind::hwid_none, Args::none, 0},
    Fault_name{"loader-stuck", Fault_kind::loader_stuck, Args::address, 0},
};

constexpr int kMaxAddress = 0xFFFF;

constexpr int kMaxDelayMs = 600000;

bool is_separator(char c) {
    return c == ' ' || c == ',' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_separator(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_separator(s.back())) s.remove_suffix(1);
    return s;
}

// Takes the leading number off `args` (and the one separator after it).
std::optional<int> take_number(std::string_view& args) {
    while (!args.empty() && is_separator(args.front())) args.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(args.data(), args.data() + args.size(), value);
    if (ec != std::errc() || end == args.data()) return std::nullopt;
    args.remove_prefix(static_cast<std::size_t>(end - args.data()));
    if (!args.empty()) {
        if (!is_separator(args.front())) return std::nullopt;
        args.remove_prefix(1);
    }
    return value;
}

std::string usage_of(const Fault_name& entry) {
    switch (entry.args) {
        case Args::none:
            return std::string(entry.name) + " (no arguments)";
        case Args::line:
            return std::string(entry.name) + " K";
        case Args::line_ms:
            return std::string(entry.name) + " K MS";
        case Args::line_reply:
            return std::string(entry.name) + " K TEXT";
        case Args::address:
            return std::string(entry.name) + " ADDRESS (hexadecimal)";
    }
    return std::string(entry.name);
}

// A plain loop: with find_if, cppcheck loses track of the members read through the result.
const Fault_name* find_name(std::string_view name) {
    for (const Fault_name& entry : kNames) {
        // cppcheck-suppress useStlAlgorithm
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

}  // namespace

std::string Fault_table::arm(std::string_view name, std::string_view args) {
    const Fault_name* entry = find_name(name);
    if (entry == nullptr) return "unknown fault " + std::string(name);

    Fault fault{entry->kind, 0, 0, {}};
    std::string usage = "usage: " + usage_of(*entry);
    if (entry->args == Args::none) {
        if (!trim(args).empty()) return usage;
        faults_.push_back(fault);
        return {};
    }
    if (entry->args == Args::address) {
        const std::string_view text = trim(args);
        int address = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), address, 16);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size() || address < 0 ||
            address > kMaxAddress) {
            return usage;
        }
        fault.line = address;
        faults_.push_back(fault);
        return {};
    }
    const auto line = take_number(args);
    if (!line || *line < entry->min_line) return usage;
    fault.line = *line;
    if (entry->args == Args::line_ms) {
        const auto ms = take_number(args);
        if (!ms || *ms < 0 || *ms > kMaxDelayMs) return usage;
        fault.delay_ms = *ms;
    }
    if (entry->args == Args::line_reply) {
        // The text is taken as it is, trailing blanks included: they are the point of some tests.
        Decoded reply = decode_escapes(args);
        if (!reply.ok()) return reply.error;
        if (reply.bytes.empty()) return usage;
        fault.reply = std::move(reply.bytes);
    } else if (!trim(args).empty()) {
        return usage;
    }
    faults_.push_back(std::move(fault));
    return {};
}

std::string Fault_table::arm_option(std::string_view option) {
    const auto equals = option.find('=');
    if (equals == std::string_view::npos) return arm(option, {});
    return arm(option.substr(0, equals), option.substr(equals + 1));
}

bool Fault_table::at(Fault_kind kind, int line) const {
    return std::ranges::any_of(faults_,
                               [&](const Fault& f) { return f.kind == kind && f.line == line; });
}

bool Fault_table::from(Fault_kind kind, int line) const {
    return std::ranges::any_of(faults_,
                               [&](const Fault& f) { return f.kind == kind && f.line <= line; });
}

int Fault_table::delay_ms(Fault_kind kind, int line) const {
    return std::accumulate(faults_.begin(), faults_.end(), 0, [&](int total, const Fault& f) {
        return f.kind == kind && f.line == line ? total + f.delay_ms : total;
    });
}

std::optional<std::string> Fault_table::reply_for(int line) const {
    // The one armed last wins.
    const auto found = std::find_if(faults_.rbegin(), faults_.rend(), [&](const Fault& f) {
        return f.kind == Fault_kind::loader_reply && f.line == line;
    });
    if (found == faults_.rend()) return std::nullopt;
    return found->reply;
}

bool Fault_table::has(Fault_kind kind) const {
    return std::ranges::any_of(faults_, [&](const Fault& f) { return f.kind == kind; });
}

std::vector<unsigned> Fault_table::stuck_addresses() const {
    std::vector<unsigned> out;
    for (const Fault& f : faults_) {
        if (f.kind == Fault_kind::loader_stuck) out.push_back(unsigned(f.line));
    }
    return out;
}

}  // namespace sim
