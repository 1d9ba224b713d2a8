#include "simulator.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <stdexcept>
#include <type_traits>
#include <variant>

#include "control_command.h"
#include "eeprom_image.h"

namespace sim {

namespace {

// How long an unplug waits for the tool to read what was sent before it; a tool that does
// not read at all loses those bytes, as it would with a real cable pulled.
constexpr Millis kUnplugDrainLimit{2000};
// Bytes written to the master show up in the slave's queue a moment later; the queue only
// counts as empty once nothing has been written for this long.
constexpr Millis kUnplugSettle{20};
constexpr Millis kUnplugCheck{10};
// A tool that has stopped reading (or closed the port) will not read the rest either.
constexpr Millis kUnplugStall{250};

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

Board_config make_board_config(const Options& options) {
    Board_config config;
    if (!options.eeprom_image.empty()) {
        config.eeprom = load_image(options.eeprom_image);
        if (options.eeprom_size_given && config.eeprom.size() != options.eeprom_size) {
            throw std::runtime_error("--eeprom-size does not match the size of --eeprom-image");
        }
    } else {
        config.eeprom = make_pattern_image(options.eeprom_size);
    }
    config.hardware_id = options.hardware_id;
    config.sign_on_byte = options.sign_on_byte;
    config.upload_line_limit = options.upload_lines;
    config.reply_delay = Millis{options.delay_ms};
    return config;
}

Simulator::Simulator(const Options& options, Reporter reporter)
    : stay_(options.stay),
      quiet_lines_(options.quiet_lines),
      reporter_(reporter),
      board_(make_board_config(options), faults_, *this),
      link_(options.dir, options.port) {
    for (std::string fault : options.faults) {
        if (std::string error = faults_.arm_option(fault); !error.empty()) {
            throw std::runtime_error("--fault " + fault.append(": ").append(error));
        }
    }
    if (!options.upload_out.empty()) {
        upload_out_.open(options.upload_out, std::ios::app | std::ios::binary);
        if (!upload_out_) throw std::runtime_error("cannot open " + options.upload_out);
    }
}

int Simulator::run() {
    plug_in();
    for (;;) {
        const Time_point now = Clock::now();
        board_.advance(now);
        timers_.run_due(now);
        if (unplug_requested_) {
            unplug_requested_ = false;
            start_unplug(now, false);
        }
        run_control_lines();
        if (finished()) break;
        wait_and_handle();
    }
    link_.remove();
    pty_.reset();
    return 0;
}

bool Simulator::finished() const {
    if (signalled_) return true;
    // Let commands already received finish first (an unplug in progress, buffered lines).
    return !stdin_open_ && !stay_ && !unplugging_ && stdin_buffer_.empty();
}

int Simulator::poll_timeout(Time_point now) const {
    std::optional<Time_point> due = board_.next_due();
    if (const auto own = timers_.next_due(); own && (!due || *own < *due)) due = own;
    if (!due) return -1;
    if (*due <= now) return 0;
    // Rounded up: waking a little early would only loop round to wait the remainder.
    const auto ms = std::chrono::ceil<Millis>(*due - now).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

void Simulator::wait_and_handle() {
    std::array<pollfd, 3> fds{};
    nfds_t count = 0;
    fds[count++] = {signals_.read_fd(), POLLIN, 0};
    const bool watch_stdin = stdin_open_ && !unplugging_;
    const nfds_t stdin_slot = count;
    if (watch_stdin) fds[count++] = {STDIN_FILENO, POLLIN, 0};
    const nfds_t pty_slot = count;
    if (pty_) {
        const auto events = static_cast<short>(POLLIN | (pty_->has_unwritten() ? POLLOUT : 0));
        fds[count++] = {pty_->master_fd(), events, 0};
    }

    if (poll(fds.data(), count, poll_timeout(Clock::now())) < 0) {
        if (errno == EINTR) return;
        throw std::runtime_error("poll failed");
    }
    if ((fds[0].revents & POLLIN) != 0 && signals_.drain()) signalled_ = true;
    if (watch_stdin && fds[stdin_slot].revents != 0) read_stdin();
    if (pty_ && pty_slot < count) {
        const short revents = fds[pty_slot].revents;
        if ((revents & POLLOUT) != 0) {
            pty_->flush();
            last_output_ = Clock::now();
        }
        if ((revents & POLLIN) != 0) {
            // While an unplug drains, the board is already powered off and ignores this.
            board_.receive(pty_->read_available(), Clock::now());
        }
    }
}

// With --quiet-lines the per-line events stay unwritten: a benchmark's reader of the events
// would otherwise wake once a line in the process it measures.
void Simulator::event(std::string_view text) {
    if (quiet_lines_ && (text.starts_with("eeprom-line ") || text.starts_with("eeprom-request ") ||
                         text.starts_with("loader-line "))) {
        return;
    }
    reporter_.event(text);
}

void Simulator::transmit(std::string_view bytes) {
    if (!pty_) return;
    pty_->write(bytes);
    last_output_ = Clock::now();
}

void Simulator::upload_line(std::string_view line) {
    if (!upload_out_.is_open()) return;
    upload_out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    upload_out_.put('\n');
    upload_out_.flush();
}

void Simulator::plug_in() {
    pty_ = std::make_unique<Pty_endpoint>();
    link_.point_to(pty_->slave_path());
    board_.power_on();
    reporter_.line("READY " + pty_->slave_path());
}

void Simulator::start_unplug(Time_point now, bool answer_ok) {
    board_.power_off();
    unplugging_ = Unplugging{now, answer_ok, pty_->unread_by_tool(), now};
    check_unplug(now);
}

void Simulator::check_unplug(Time_point now) {
    const int unread = pty_->unread_by_tool();
    if (unread < unplugging_->unread) unplugging_->progress = now;
    unplugging_->unread = unread;
    const bool settled = now - unplugging_->started >= kUnplugSettle &&
                         now - last_output_ >= kUnplugSettle && unread == 0;
    const bool stalled = now - unplugging_->progress >= kUnplugStall;
    if (settled || stalled || now - unplugging_->started >= kUnplugDrainLimit) {
        finish_unplug();
        return;
    }
    timers_.schedule(now + kUnplugCheck, [this] { check_unplug(Clock::now()); });
}

void Simulator::finish_unplug() {
    const bool answer_ok = unplugging_->answer_ok;
    unplugging_.reset();
    pty_.reset();
    link_.remove();
    reporter_.event("unplug");
    if (answer_ok) reporter_.line("ok");
}

void Simulator::read_stdin() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (n > 0) {
        stdin_buffer_.append(buffer.data(), static_cast<std::size_t>(n));
        return;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    stdin_open_ = false;
    // A last line without its newline still counts.
    if (!stdin_buffer_.empty() && stdin_buffer_.back() != '\n') stdin_buffer_.push_back('\n');
}

void Simulator::run_control_lines() {
    while (!unplugging_) {
        const auto newline = stdin_buffer_.find('\n');
        if (newline == std::string::npos) return;
        std::string line = stdin_buffer_.substr(0, newline);
        stdin_buffer_.erase(0, newline + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        run_control(line);
    }
}

std::string Simulator::status_line() const {
    const std::string_view mode = pty_ ? mode_name(board_.mode()) : "unplugged";
    return "status mode=" + std::string(mode) +
           " eeprom_lines=" + std::to_string(board_.eeprom_lines()) +
           " upload_lines=" + std::to_string(board_.upload_lines());
}

void Simulator::run_control(std::string_view line) {
    const auto ok = [this] { reporter_.line("ok"); };
    const auto error = [this](const std::string& why) { reporter_.line("error " + why); };
    const bool plugged = pty_ && !unplugging_;
    std::visit(Overloaded{
                   [&](const control::Send& c) {
                       if (!plugged) return error("unplugged");
                       transmit(c.bytes);
                       ok();
                   },
                   [&](const control::Garbage& c) {
                       if (!plugged) return error("unplugged");
                       transmit(garbage_bytes(c.count, c.seed));
                       ok();
                   },
                   [&](const control::Silent& c) {
                       board_.set_silent(c.on);
                       ok();
                   },
                   [&](const control::Unplug&) {
                       if (!plugged) return error("unplugged");
                       start_unplug(Clock::now(), true);
                   },
                   [&](const control::Replug&) {
                       if (pty_) return error("not unplugged");
                       try {
                           plug_in();
                       } catch (const std::exception& e) {
                           pty_.reset();
                           return error(e.what());
                       }
                       ok();
                   },
                   [&](const control::Arm_fault& c) {
                       const std::string why = faults_.arm(c.name, c.args);
                       if (!why.empty()) return error(why);
                       ok();
                   },
                   [&](const control::Clear_faults&) {
                       faults_.clear();
                       ok();
                   },
                   [&](const control::Status&) {
                       reporter_.line(status_line());
                       ok();
                   },
                   [&](const control::Invalid& c) { error(c.why); },
               },
               parse_control(line));
}

}  // namespace sim
