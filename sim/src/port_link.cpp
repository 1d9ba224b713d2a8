#include "port_link.h"

#include <unistd.h>

#include <system_error>

namespace sim {

Port_link::Port_link(const std::filesystem::path& dir, int port)
    : path_(dir / ("com" + std::to_string(port))) {}

void Port_link::point_to(const std::string& target) {
    std::filesystem::create_directories(path_.parent_path());
    // A fresh link under a temporary name, then renamed over the old one: the name never
    // disappears in between, and a stale link or file of that name is simply replaced.
    std::filesystem::path temporary = path_;
    temporary += ".new" + std::to_string(getpid());
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    std::filesystem::create_symlink(target, temporary);
    std::filesystem::rename(temporary, path_);
    target_ = target;
}

void Port_link::remove() {
    if (target_.empty()) return;
    std::error_code error;
    if (std::filesystem::read_symlink(path_, error) == target_ && !error) {
        std::filesystem::remove(path_, error);
    }
    target_.clear();
}

}  // namespace sim
