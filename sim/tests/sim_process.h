#pragma once
// Test helpers: the vimbo_sim binary as a child process with its stdin and stdout on pipes,
// and the tool's end of the serial line. Every wait has a deadline and reports a timeout as
// a failure; none of them measures how long anything took.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace sim::testing {

inline constexpr std::chrono::milliseconds kPatience{5000};

class Sim_process {
  public:
    explicit Sim_process(const std::vector<std::string>& args);
    Sim_process(const Sim_process&) = delete;
    Sim_process& operator=(const Sim_process&) = delete;
    ~Sim_process();

    void command(const std::string& line);
    // The next line on stdout, or nullopt on timeout or EOF.
    std::optional<std::string> next_line(std::chrono::milliseconds patience = kPatience);
    // Skips lines until one equals `line`; false if it never came.
    bool wait_for(const std::string& line, std::chrono::milliseconds patience = kPatience);
    // Closes stdin and waits for the exit; the exit status, or -1 if it did not end in time.
    int close_stdin_and_wait();

  private:
    pid_t pid_ = -1;
    int to_child_ = -1;
    int from_child_ = -1;
    std::string buffer_;
    bool eof_ = false;
};

// The tool's side of the port: the slave opened raw, as the tool would.
class Serial_end {
  public:
    explicit Serial_end(const std::string& path);
    Serial_end(const Serial_end&) = delete;
    Serial_end& operator=(const Serial_end&) = delete;
    ~Serial_end();
    bool is_open() const { return fd_ >= 0; }
    void write(const std::string& bytes);
    // Reads until `count` bytes have come; fewer on timeout or hang-up.
    std::string read_exactly(std::size_t count, std::chrono::milliseconds patience = kPatience);
    // Reads up to and including `terminator`; what came so far on timeout or hang-up.
    std::string read_until(char terminator, std::chrono::milliseconds patience = kPatience);
    // True when the port has gone away: poll reports a hang-up or an error, or read ends.
    bool hung_up(std::chrono::milliseconds patience = kPatience);

  private:
    int fd_ = -1;
};

// A fresh folder under TMPDIR, removed with everything in it at the end.
class Scratch_dir {
  public:
    Scratch_dir();
    Scratch_dir(const Scratch_dir&) = delete;
    Scratch_dir& operator=(const Scratch_dir&) = delete;
    ~Scratch_dir();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace sim::testing
