#include "pc_commands.h"

#include <cctype>
#include <initializer_list>

namespace sim {

namespace {

constexpr std::size_t kMaxNumberLength = 20;

std::string answer_lines(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (const std::string_view line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string on_off(bool on) {
    return on ? "ON" : "OFF";
}

std::string input_line(const Pc_board& board) {
    return "IN1=" + std::to_string(static_cast<int>(board.inputs[0])) +
           " IN2=" + std::to_string(static_cast<int>(board.inputs[1]));
}

std::string output_line(const Pc_board& board) {
    return "OUT1=" + on_off(board.outputs[0]) + " OUT2=" + on_off(board.outputs[1]);
}

// "1" or "2": which of the two inputs, outputs or numbers; -1 for anything else.
int channel_index(char c) {
    return (c == '1' || c == '2') ? c - '1' : -1;
}

bool valid_phone_number(std::string_view number) {
    if (number.empty() || number.size() > kMaxNumberLength) return false;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const bool plus = number[i] == '+' && i == 0;
        if (!plus && std::isdigit(static_cast<unsigned char>(number[i])) == 0) return false;
    }
    return true;
}

// "o1 1": output 1 on.
std::string set_output(std::string_view args, Pc_board& board) {
    if (args.size() != 3 || args[1] != ' ' || (args[2] != '0' && args[2] != '1')) {
        return answer_lines({"ERROR"});
    }
    const int index = channel_index(args[0]);
    if (index < 0) return answer_lines({"ERROR"});
    board.outputs[static_cast<std::size_t>(index)] = args[2] == '1';
    return answer_lines({output_line(board), "OK"});
}

std::string number_line(const Pc_board& board, std::size_t index) {
    return "NUM" + std::to_string(index + 1) + "=" + board.alarm_numbers[index];
}

// "n" lists the alarm numbers, "n1 +15550100001" sets one.
std::string alarm_numbers(std::string_view args, Pc_board& board) {
    if (args.empty()) return answer_lines({number_line(board, 0), number_line(board, 1), "OK"});
    const int index = channel_index(args[0]);
    const std::string_view number = trim_blanks(args.substr(1));
    if (index < 0 || args.size() < 2 || args[1] != ' ' || !valid_phone_number(number)) {
        return answer_lines({"ERROR"});
    }
    const auto slot = static_cast<std::size_t>(index);
    board.alarm_numbers[slot] = std::string(number);
    return answer_lines({number_line(board, slot), "OK"});
}

}  // namespace

std::string answer_pc_command(std::string_view raw_line, Pc_board& board) {
    const std::string_view line = trim_blanks(raw_line);
    const std::size_t blank = line.find(' ');
    if (line.substr(0, blank) != kAccessCode) return answer_lines({"ACCESS DENIED"});
    if (blank == std::string_view::npos) return answer_lines({"UNKNOWN CMD"});
    const std::string_view command = trim_blanks(line.substr(blank + 1));
    if (command.empty()) return answer_lines({"UNKNOWN CMD"});
    const std::string_view args = trim_blanks(command.substr(1));

    switch (command.front()) {
        case 's':
            if (!args.empty()) break;
            return answer_lines({"STATUS: " + input_line(board) + " " + output_line(board),
                                 "GSM: REGISTERED  SIGNAL 21", "POWER: 12.3V", "OK"});
        case '?':
            if (!args.empty()) break;
            return answer_lines({"s        STATUS", "i        INPUTS", "o<n> <0|1> SET OUTPUT",
                                 "n[<n> <number>] ALARM NUMBERS", "v        VERSION",
                                 "?        HELP", "OK"});
        case 'v':
            if (!args.empty()) break;
            return answer_lines({"VERSION SIM 1.0", "OK"});
        case 'i':
            if (!args.empty()) break;
            return answer_lines({input_line(board), "OK"});
        case 'o':
            return set_output(command.substr(1), board);
        case 'n':
            return alarm_numbers(command.substr(1), board);
        default:
            break;
    }
    return answer_lines({"UNKNOWN CMD"});
}

}  // namespace sim
