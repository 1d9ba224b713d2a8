#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a readable descriptor, so the main loop learns of
// them in the same poll() that waits for everything else. SIGPIPE is ignored: a harness that
// went away shows up as EOF on stdin instead.
namespace sim {

class Signal_pipe {
  public:
    Signal_pipe();
    Signal_pipe(const Signal_pipe&) = delete;
    Signal_pipe& operator=(const Signal_pipe&) = delete;
    ~Signal_pipe();
    int read_fd() const { return read_fd_; }
    // Empties the pipe; true when a signal had arrived.
    bool drain() const;

  private:
    int read_fd_ = -1;
    int write_fd_ = -1;
};

}  // namespace sim
