#include "pty_endpoint.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace sim {

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void make_raw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) fail("tcgetattr");
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) fail("tcsetattr");
}

}  // namespace

Pty_endpoint::Pty_endpoint() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) fail("posix_openpt");
    try {
        if (grantpt(master_) != 0) fail("grantpt");
        if (unlockpt(master_) != 0) fail("unlockpt");
        const char* name = ptsname(master_);
        if (name == nullptr) fail("ptsname");
        slave_path_ = name;
        slave_ = open(slave_path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) fail("open pty slave");
        make_raw(slave_);
        const int flags = fcntl(master_, F_GETFL);
        if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) fail("fcntl");
        if (fcntl(master_, F_SETFD, FD_CLOEXEC) != 0) fail("fcntl");
    } catch (...) {
        if (slave_ >= 0) close(slave_);
        close(master_);
        throw;
    }
}

Pty_endpoint::~Pty_endpoint() {
    close(slave_);
    close(master_);
}

void Pty_endpoint::write(std::string_view bytes) {
    unwritten_.append(bytes);
    flush();
}

void Pty_endpoint::flush() {
    while (!unwritten_.empty()) {
        const ssize_t n = ::write(master_, unwritten_.data(), unwritten_.size());
        if (n > 0) {
            unwritten_.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // full for now (EAGAIN); poll() tells when to go on
        }
    }
}

std::string Pty_endpoint::read_available() {
    std::string bytes;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return bytes;
        }
    }
}

int Pty_endpoint::unread_by_tool() const {
    int waiting = 0;
    if (ioctl(slave_, FIONREAD, &waiting) != 0) return 0;
    return waiting + static_cast<int>(unwritten_.size());
}

}  // namespace sim
