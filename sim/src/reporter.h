#pragma once
// The simulator's stdout: whole lines only, each flushed at once, so a harness reading the
// pipe sees every answer and event as soon as it happens.
#include <string_view>

namespace sim {

class Reporter {
  public:
    explicit Reporter(int fd) : fd_(fd) {}
    void line(std::string_view text) const;
    void event(std::string_view text) const;

  private:
    int fd_;
};

}  // namespace sim
