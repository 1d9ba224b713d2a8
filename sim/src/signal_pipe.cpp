#include "signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <system_error>

namespace sim {

namespace {

volatile std::sig_atomic_t g_write_fd = -1;

extern "C" void on_signal(int /*signal*/) {
    const int saved = errno;
    const char byte = 1;
    if (g_write_fd >= 0) (void)::write(g_write_fd, &byte, 1);
    errno = saved;
}

void set_flags(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 ||
        fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "fcntl");
    }
}

}  // namespace

Signal_pipe::Signal_pipe() {
    std::array<int, 2> fds{};
    if (pipe(fds.data()) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    read_fd_ = fds[0];
    write_fd_ = fds[1];
    set_flags(read_fd_);
    set_flags(write_fd_);
    g_write_fd = write_fd_;

    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

Signal_pipe::~Signal_pipe() {
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &fallback, nullptr);
    g_write_fd = -1;
    close(read_fd_);
    close(write_fd_);
}

bool Signal_pipe::drain() const {
    bool any = false;
    std::array<char, 64> buffer{};
    while (::read(read_fd_, buffer.data(), buffer.size()) > 0) any = true;
    return any;
}

}  // namespace sim
