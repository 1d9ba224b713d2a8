#pragma once
// Commands the test harness writes to the simulator's stdin, one a line.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace sim {

namespace control {
struct Send {  // send TEXT: TEXT (escapes decoded) and CR LF; raw HEX: the bytes alone
    std::string bytes;
};
struct Garbage {
    int count = 0;
    std::uint64_t seed = 1;
};
struct Silent {
    bool on = false;
};
struct Unplug {};
struct Replug {};
struct Arm_fault {
    std::string name;
    std::string args;
};
struct Clear_faults {};
struct Status {};
struct Invalid {
    std::string why;
};
}  // namespace control

using Control_command =
    std::variant<control::Send, control::Garbage, control::Silent, control::Unplug, control::Replug,
                 control::Arm_fault, control::Clear_faults, control::Status, control::Invalid>;

Control_command parse_control(std::string_view line);

// The bytes of `garbage N SEED`: any of the 256 values, the same for the same seed.
std::string garbage_bytes(int count, std::uint64_t seed);

inline constexpr int kMaxGarbage = 1 << 20;

}  // namespace sim
