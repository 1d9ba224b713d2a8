#pragma once
// The board as the tool sees it over the serial line: console, the short boot window after a
// reset, the EEPROM dump responder and the loader. Driven by received bytes and by time;
// everything it sends goes out through Board_io, in order, after the configured delay.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "fault_table.h"
#include "timer_queue.h"

namespace sim {

enum class Board_mode { console, boot, eeprom, loader, unplugged };
std::string_view mode_name(Board_mode mode);

struct Board_config {
    std::vector<std::uint8_t> eeprom;
    std::string hardware_id = "2418";
    std::uint8_t sign_on_byte = 0xBE;
    int upload_line_limit = 0;  // the loader finishes after this many lines; 0 for no limit
    Millis reply_delay{0};
};

// What the board needs from its surroundings.
class Board_io {
  public:
    Board_io() = default;
    Board_io(const Board_io&) = delete;
    Board_io& operator=(const Board_io&) = delete;
    virtual ~Board_io() = default;
    virtual void transmit(std::string_view bytes) = 0;
    virtual void event(std::string_view text) = 0;
    virtual void upload_line(std::string_view line) = 0;
    // Called from inside the board: only take note, and take the port away afterwards.
    virtual void request_unplug() = 0;
};

inline constexpr std::uint8_t kResetFirst = 0x00;
inline constexpr std::uint8_t kResetSecond = 0x18;
inline constexpr std::uint8_t kResetThird = 0x21;
inline constexpr std::uint8_t kCancel = 0x18;
inline constexpr std::uint8_t kStartDump = 0xB3;
inline constexpr std::uint8_t kStartLoader = 0xB2;
inline constexpr char kDumpRequest = '#';
inline constexpr std::string_view kGreeting = "SMS CONTROLLER SIM V1.0 READY";

// After a reset the board waits this long for a transfer to start.
inline constexpr Millis kBootWindow{10000};
// A CAN right after a NUL may be the middle of a reset; it waits this long for the 0x21.
inline constexpr Millis kCancelGrace{100};

class Board {
  public:
    Board(Board_config config, const Fault_table& faults, Board_io& io);

    void receive(std::string_view bytes, Time_point now);
    std::optional<Time_point> next_due() const { return timers_.next_due(); }
    void advance(Time_point now) { timers_.run_due(now); }

    // As after being plugged in: console in AT mode, nothing pending.
    void power_on();
    // Unplugged: deaf and dumb until power_on.
    void power_off();
    // Silent: ignores what it receives and drops replies still waiting to go out.
    void set_silent(bool silent);
    bool silent() const { return silent_; }

    Board_mode mode() const { return mode_; }
    const Console& console() const { return console_; }
    int eeprom_lines() const { return dump_lines_sent_; }  // since the last dump started
    int upload_lines() const { return loader_lines_; }     // since the loader last started
    const std::vector<std::uint8_t>& eeprom() const { return config_.eeprom; }

  private:
    void handle_byte(std::uint8_t byte, Time_point now);
    void reset(Time_point now);
    void boot_byte(std::uint8_t byte, Time_point now);
    void console_byte(std::uint8_t byte, Time_point now);
    void eeprom_byte(std::uint8_t byte, std::uint8_t previous, Time_point now);
    void loader_byte(std::uint8_t byte, Time_point now);

    void start_dump();
    void answer_dump_request(Time_point now);
    void cancel_dump();
    void settle_held_cancel();
    void start_loader(Time_point now);
    void answer_loader_line(Time_point now);
    void stage_record(std::string_view line);
    void keep_written_eeprom();
    void unplug_now();

    void leave_boot();
    void send(std::string bytes, Time_point now, Millis extra = Millis{0},
              std::function<void()> after_sending = {});
    void drop_pending_replies();
    void forget_running_work();
    void event(const std::string& text) { io_.event(text); }

    Board_config config_;
    const Fault_table& faults_;
    Board_io& io_;
    Timer_queue timers_;

    Board_mode mode_ = Board_mode::console;
    Console console_;
    bool silent_ = false;
    std::uint8_t before_last_byte_ = 0xFF;
    std::uint8_t last_byte_ = 0xFF;

    std::optional<Timer_queue::Id> boot_timer_;
    std::optional<Timer_queue::Id> cancel_timer_;

    int dump_requests_ = 0;
    int dump_lines_sent_ = 0;
    int loader_lines_ = 0;
    std::string loader_line_;
    // What the loader's data records wrote since it started, byte by byte, until its "#@".
    std::vector<std::uint8_t> staged_;
    std::vector<bool> staged_at_;
    bool staged_outside_ = false;  // a record beyond the EEPROM: this is no EEPROM write

    // Replies go out in order: each is due no earlier than the one before it. Dropping them
    // bumps the generation, so replies already in the timer queue fall silent when they fire.
    unsigned reply_generation_ = 0;
    int pending_replies_ = 0;
    Time_point last_reply_due_{};
};

}  // namespace sim
