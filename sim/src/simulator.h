#pragma once
// The running simulator: one poll() loop over the signal pipe, the control channel on stdin
// and the pty master, sleeping until the next timer is due.
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "board.h"
#include "fault_table.h"
#include "options.h"
#include "port_link.h"
#include "pty_endpoint.h"
#include "reporter.h"
#include "signal_pipe.h"
#include "timer_queue.h"

namespace sim {

// The board's settings from the command line; throws std::runtime_error on bad ones.
Board_config make_board_config(const Options& options);

class Simulator final : private Board_io {
  public:
    // Arms the command-line faults and opens the upload file; throws std::runtime_error.
    Simulator(const Options& options, Reporter reporter);
    // Plugs in, announces READY and serves until a signal or the end of stdin.
    int run();

  private:
    void transmit(std::string_view bytes) override;
    void event(std::string_view text) override;
    void upload_line(std::string_view line) override;
    void request_unplug() override { unplug_requested_ = true; }

    void plug_in();
    void start_unplug(Time_point now, bool answer_ok);
    void check_unplug(Time_point now);
    void finish_unplug();

    void read_stdin();
    void run_control_lines();
    void run_control(std::string_view line);
    std::string status_line() const;
    bool finished() const;
    int poll_timeout(Time_point now) const;
    void wait_and_handle();

    bool stay_;
    bool quiet_lines_;
    Reporter reporter_;
    Fault_table faults_;
    Board board_;
    Port_link link_;
    Signal_pipe signals_;
    std::unique_ptr<Pty_endpoint> pty_;
    std::ofstream upload_out_;
    Timer_queue timers_;

    std::string stdin_buffer_;
    bool stdin_open_ = true;
    bool signalled_ = false;
    bool unplug_requested_ = false;
    Time_point last_output_{};

    // An unplug waits (a little) until the tool has read what the board sent: closing the
    // master throws away whatever the slave still holds.
    struct Unplugging {
        Time_point started;
        bool answer_ok;
        int unread;           // what the tool had still to read at the last check
        Time_point progress;  // when it last read some of it
    };
    std::optional<Unplugging> unplugging_;
};

}  // namespace sim
