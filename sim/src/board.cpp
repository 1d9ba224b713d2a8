#include "board.h"

#include <algorithm>
#include <span>

#include "dump_line.h"
#include "hex_record.h"

namespace sim {

namespace {
// Nothing the tool sends the loader is anywhere near this; the rest of a longer line is lost.
constexpr std::size_t kMaxLoaderLine = 4096;
}  // namespace

std::string_view mode_name(Board_mode mode) {
    switch (mode) {
        case Board_mode::console:
            return "console";
        case Board_mode::boot:
            return "boot";
        case Board_mode::eeprom:
            return "eeprom";
        case Board_mode::loader:
            return "loader";
        case Board_mode::unplugged:
            return "unplugged";
    }
    return "console";
}

Board::Board(Board_config config, const Fault_table& faults, Board_io& io)
    : config_(std::move(config)), faults_(faults), io_(io) {}

void Board::receive(std::string_view bytes, Time_point now) {
    for (const char c : bytes) {
        // An unplug fault may strike in the middle of a chunk: the rest is never received.
        if (mode_ == Board_mode::unplugged || silent_) return;
        handle_byte(static_cast<std::uint8_t>(c), now);
    }
}

void Board::handle_byte(std::uint8_t byte, Time_point now) {
    const std::uint8_t previous = last_byte_;
    const bool is_reset =
        byte == kResetThird && last_byte_ == kResetSecond && before_last_byte_ == kResetFirst;
    before_last_byte_ = last_byte_;
    last_byte_ = byte;
    if (is_reset) {
        reset(now);
        return;
    }
    // Whatever follows a held CAN other than the 0x21 of a reset makes it a real cancel.
    if (cancel_timer_) settle_held_cancel();

    switch (mode_) {
        case Board_mode::console:
            console_byte(byte, now);
            break;
        case Board_mode::boot:
            boot_byte(byte, now);
            break;
        case Board_mode::eeprom:
            eeprom_byte(byte, previous, now);
            break;
        case Board_mode::loader:
            loader_byte(byte, now);
            break;
        case Board_mode::unplugged:
            break;
    }
}

void Board::reset(Time_point now) {
    forget_running_work();
    mode_ = Board_mode::boot;
    send(std::string(kGreeting) + "\r\n", now);
    send(std::string{'#', static_cast<char>(config_.sign_on_byte), '\r'}, now, Millis{0},
         [this] { event("signon"); });
    // The window opens when the sign-on is actually out, however late the replies are.
    boot_timer_ = timers_.schedule(last_reply_due_ + kBootWindow, [this] {
        boot_timer_.reset();
        if (mode_ == Board_mode::boot) mode_ = Board_mode::console;
    });
}

void Board::leave_boot() {
    if (boot_timer_) timers_.cancel(*boot_timer_);
    boot_timer_.reset();
}

void Board::boot_byte(std::uint8_t byte, Time_point now) {
    leave_boot();
    if (byte == kStartDump) {
        start_dump();
    } else if (byte == kStartLoader) {
        start_loader(now);
    } else {
        mode_ = Board_mode::console;
        console_byte(byte, now);
    }
}

void Board::console_byte(std::uint8_t byte, Time_point now) {
    Console_output out = console_.receive(byte);
    for (const std::string& text : out.events) event(text);
    if (!out.reply.empty()) send(std::move(out.reply), now);
}

void Board::start_dump() {
    mode_ = Board_mode::eeprom;
    dump_requests_ = 0;
    dump_lines_sent_ = 0;
    event("eeprom-start");
}

void Board::eeprom_byte(std::uint8_t byte, std::uint8_t previous, Time_point now) {
    if (byte == kDumpRequest) {
        answer_dump_request(now);
    } else if (byte == kCancel && previous == kResetFirst) {
        cancel_timer_ = timers_.schedule(now + kCancelGrace, [this] {
            cancel_timer_.reset();
            cancel_dump();
        });
    } else if (byte == kCancel) {
        cancel_dump();
    }
}

void Board::settle_held_cancel() {
    timers_.cancel(*cancel_timer_);
    cancel_timer_.reset();
    cancel_dump();
}

void Board::cancel_dump() {
    if (mode_ != Board_mode::eeprom) return;
    drop_pending_replies();
    mode_ = Board_mode::console;
    event("eeprom-cancel");
}

void Board::answer_dump_request(Time_point now) {
    const int line = ++dump_requests_;
    // Told at once, answered or not: a test can see that the tool is waiting for line K.
    event("eeprom-request " + std::to_string(line));
    if (faults_.from(Fault_kind::eeprom_silent, line)) return;
    const auto total = static_cast<int>(config_.eeprom.size() / kDumpLineBytes);
    if (line > total) return;
    const std::span<const std::uint8_t, kDumpLineBytes> bytes(
        config_.eeprom.data() + static_cast<std::size_t>(line - 1) * kDumpLineBytes,
        kDumpLineBytes);
    const Dump_line_damage damage{faults_.at(Fault_kind::eeprom_checksum, line),
                                  faults_.at(Fault_kind::eeprom_lowercase, line),
                                  faults_.at(Fault_kind::eeprom_nonhex, line),
                                  faults_.at(Fault_kind::eeprom_short, line)};
    const bool last = line == total;
    const bool unplug = faults_.at(Fault_kind::eeprom_unplug, line);
    // Once the last line is on its way the board is back at its console.
    if (last) mode_ = Board_mode::console;
    send(format_dump_line(bytes, damage) + "\r", now,
         Millis{faults_.delay_ms(Fault_kind::eeprom_delay, line)}, [this, line, last, unplug] {
             ++dump_lines_sent_;
             event("eeprom-line " + std::to_string(line));
             if (last) event("eeprom-done");
             if (unplug) unplug_now();
         });
}

void Board::start_loader(Time_point now) {
    mode_ = Board_mode::loader;
    loader_lines_ = 0;
    loader_line_.clear();
    staged_.assign(config_.eeprom.size(), 0);
    staged_at_.assign(config_.eeprom.size(), false);
    staged_outside_ = false;
    event("loader-start");
    if (faults_.from(Fault_kind::loader_silent, 0)) return;
    if (!faults_.has(Fault_kind::hwid_none)) send("#" + config_.hardware_id + "\r", now);
    send(std::string(kReplyNext) + "\r", now);
}

void Board::loader_byte(std::uint8_t byte, Time_point now) {
    if (byte == '\r') {
        answer_loader_line(now);
    } else if (byte != '\n' && loader_line_.size() < kMaxLoaderLine) {
        loader_line_.push_back(static_cast<char>(byte));
    }
}

void Board::answer_loader_line(Time_point now) {
    const std::string line = std::move(loader_line_);
    loader_line_.clear();
    const int number = ++loader_lines_;
    io_.upload_line(line);
    event("loader-line " + std::to_string(number));
    if (faults_.at(Fault_kind::loader_unplug, number)) {
        unplug_now();
        return;
    }
    if (faults_.from(Fault_kind::loader_silent, number)) return;

    stage_record(line);
    std::string reply(loader_reply(check_record(line)));
    if (reply == kReplyNext && number == config_.upload_line_limit) reply = kReplyDone;
    if (auto forced = faults_.reply_for(number)) reply = std::move(*forced);
    // The board acts on what it answers, forced or not: after "#?" it is back at the console.
    const bool done = reply == kReplyDone;
    if (done) keep_written_eeprom();
    if (reply_ends_loader(reply)) mode_ = Board_mode::console;
    send(reply + "\r", now, Millis{faults_.delay_ms(Fault_kind::loader_delay, number)},
         [this, done] {
             if (done) event("loader-done");
         });
}

void Board::stage_record(std::string_view line) {
    const std::optional<Data_record> record = data_record_of(line);
    if (!record) return;
    if (record->address + record->bytes.size() > staged_.size()) {
        staged_outside_ = true;
        return;
    }
    for (std::size_t i = 0; i < record->bytes.size(); ++i) {
        staged_[record->address + i] = record->bytes[i];
        staged_at_[record->address + i] = true;
    }
}

// A write that filled the whole EEPROM, and nothing beyond it, is a parameter restore: its
// bytes are the EEPROM from now on. Anything else (a firmware update) leaves it alone.
void Board::keep_written_eeprom() {
    if (staged_outside_ || staged_.empty()) return;
    if (std::find(staged_at_.begin(), staged_at_.end(), false) != staged_at_.end()) return;
    for (const unsigned address : faults_.stuck_addresses()) {
        if (address < staged_.size()) staged_[address] = config_.eeprom[address];
    }
    config_.eeprom = staged_;
    event("eeprom-written");
}

void Board::unplug_now() {
    power_off();
    io_.request_unplug();
}

// Timers, replies still to go out, the console line and the loader line: what a reset or a
// power cycle throws away.
void Board::forget_running_work() {
    timers_.clear();
    boot_timer_.reset();
    cancel_timer_.reset();
    drop_pending_replies();
    console_.reset();
    loader_line_.clear();
}

void Board::power_on() {
    forget_running_work();
    before_last_byte_ = last_byte_ = 0xFF;
    mode_ = Board_mode::console;
}

void Board::power_off() {
    power_on();
    mode_ = Board_mode::unplugged;
}

void Board::set_silent(bool silent) {
    silent_ = silent;
    if (silent) drop_pending_replies();
}

void Board::send(std::string bytes, Time_point now, Millis extra,
                 std::function<void()> after_sending) {
    Time_point due = now + config_.reply_delay + extra;
    if (due < last_reply_due_) due = last_reply_due_;
    last_reply_due_ = due;
    if (pending_replies_ == 0 && due <= now) {
        io_.transmit(bytes);
        if (after_sending) after_sending();
        return;
    }
    ++pending_replies_;
    timers_.schedule(due, [this, bytes = std::move(bytes), after = std::move(after_sending),
                           generation = reply_generation_] {
        if (generation != reply_generation_) return;
        --pending_replies_;
        io_.transmit(bytes);
        if (after) after();
    });
}

void Board::drop_pending_replies() {
    ++reply_generation_;
    pending_replies_ = 0;
    last_reply_due_ = Time_point{};
}

}  // namespace sim
