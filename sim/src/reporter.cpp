#include "reporter.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace sim {

void Reporter::line(std::string_view text) const {
    // One write per line: lines never interleave, whoever else writes to the same pipe.
    std::string out(text);
    out.push_back('\n');
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::write(fd_, out.data() + done, out.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // the harness has gone; stdin EOF will end us soon
        }
    }
}

void Reporter::event(std::string_view text) const {
    line("event " + std::string(text));
}

}  // namespace sim
