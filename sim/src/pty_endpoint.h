#pragma once
// The board's end of the serial line: a pseudo-terminal master, plus a descriptor of the
// slave that we hold ourselves so the master never sees a hang-up while the tool closes and
// reopens the port. Closing both is what makes the tool's port go away.
#include <string>
#include <string_view>

namespace sim {

class Pty_endpoint {
  public:
    // Opens a new pair and sets the slave raw, 8 bits, no echo. Throws std::system_error.
    Pty_endpoint();
    Pty_endpoint(const Pty_endpoint&) = delete;
    Pty_endpoint& operator=(const Pty_endpoint&) = delete;
    ~Pty_endpoint();

    int master_fd() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }

    // Queues bytes for the tool and writes what the pty takes now.
    void write(std::string_view bytes);
    bool has_unwritten() const { return !unwritten_.empty(); }
    // Writes more of the queue; call when poll() reports the master writable.
    void flush();
    // Everything the tool has sent that is waiting now (non-blocking).
    std::string read_available();
    // Bytes written to the master that the tool has not read yet, as far as the slave's input
    // queue shows; the pty moves written bytes there a moment after the write.
    int unread_by_tool() const;

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
    std::string unwritten_;
};

}  // namespace sim
