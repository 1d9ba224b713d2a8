#pragma once
// The name the tool opens, DIR/comN, as a symbolic link to the current pty slave.
#include <filesystem>
#include <string>

namespace sim {

class Port_link {
  public:
    Port_link(const std::filesystem::path& dir, int port);
    const std::filesystem::path& path() const { return path_; }
    // Points the link at `target`, replacing whatever is there in one step. Throws on failure.
    void point_to(const std::string& target);
    // Removes the link if it is still ours (another simulator may have taken the name since).
    void remove();

  private:
    std::filesystem::path path_;
    std::string target_;
};

}  // namespace sim
