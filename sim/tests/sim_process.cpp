#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <stdexcept>

// POSIX leaves declaring it to the program; glibc may have done so already.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace sim::testing {

namespace {

using Steady = std::chrono::steady_clock;

// Milliseconds left until `deadline`, never negative, for poll().
int remaining_ms(Steady::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

}  // namespace

Sim_process::Sim_process(const std::vector<std::string>& args) {
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    if (pipe(in.data()) != 0 || pipe(out.data()) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    for (const int fd : {in[0], in[1], out[0], out[1]})
        posix_spawn_file_actions_addclose(&actions, fd);

    std::vector<std::string> all{VIMBO_SIM_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(all.size() + 1);
    std::ranges::transform(all, std::back_inserter(argv), [](std::string& a) { return a.data(); });
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, VIMBO_SIM_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    to_child_ = in[1];
    from_child_ = out[0];
    if (rc != 0) throw std::runtime_error("cannot start " VIMBO_SIM_BINARY);
    signal(SIGPIPE, SIG_IGN);
}

Sim_process::~Sim_process() {
    if (to_child_ >= 0) close(to_child_);
    if (from_child_ >= 0) close(from_child_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

void Sim_process::command(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(to_child_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("cannot write to the simulator");
    }
}

std::optional<std::string> Sim_process::next_line(std::chrono::milliseconds patience) {
    const auto deadline = Steady::now() + patience;
    for (;;) {
        if (const auto newline = buffer_.find('\n'); newline != std::string::npos) {
            std::string line = buffer_.substr(0, newline);
            buffer_.erase(0, newline + 1);
            return line;
        }
        pollfd fd{from_child_, POLLIN, 0};
        if (poll(&fd, 1, remaining_ms(deadline)) <= 0) return std::nullopt;
        std::array<char, 4096> chunk{};
        const ssize_t n = ::read(from_child_, chunk.data(), chunk.size());
        if (n <= 0) {
            eof_ = true;
            return std::nullopt;
        }
        buffer_.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

bool Sim_process::wait_for(const std::string& line, std::chrono::milliseconds patience) {
    const auto deadline = Steady::now() + patience;
    for (;;) {
        const auto next = next_line(std::chrono::milliseconds(remaining_ms(deadline)));
        if (!next) return false;
        if (*next == line) return true;
    }
}

int Sim_process::close_stdin_and_wait() {
    close(to_child_);
    to_child_ = -1;
    // The simulator's stdout closes when it exits; that is the event to wait for.
    while (next_line()) {
    }
    if (!eof_) return -1;
    int status = 0;
    if (waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Serial_end::Serial_end(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return;
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd_, TCSANOW, &tio);
}

Serial_end::~Serial_end() {
    if (fd_ >= 0) close(fd_);
}

void Serial_end::write(const std::string& bytes) {
    if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("cannot write to the port");
    }
}

std::string Serial_end::read_exactly(std::size_t count, std::chrono::milliseconds patience) {
    const auto deadline = Steady::now() + patience;
    std::string got;
    while (got.size() < count) {
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, remaining_ms(deadline)) <= 0 || (fd.revents & POLLIN) == 0) break;
        char c = 0;
        if (::read(fd_, &c, 1) != 1) break;
        got.push_back(c);
    }
    return got;
}

std::string Serial_end::read_until(char terminator, std::chrono::milliseconds patience) {
    const auto deadline = Steady::now() + patience;
    std::string got;
    while (got.empty() || got.back() != terminator) {
        const std::string c = read_exactly(1, std::chrono::milliseconds(remaining_ms(deadline)));
        if (c.empty()) break;
        got += c;
    }
    return got;
}

bool Serial_end::hung_up(std::chrono::milliseconds patience) {
    pollfd fd{fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(patience.count())) <= 0) return false;
    if ((fd.revents & (POLLHUP | POLLERR)) != 0) return true;
    char c = 0;
    const ssize_t n = ::read(fd_, &c, 1);
    return n == 0 || (n < 0 && errno == EIO);
}

Scratch_dir::Scratch_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/vimbo_sim_test.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

Scratch_dir::~Scratch_dir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace sim::testing
