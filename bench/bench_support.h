#pragma once
#include <sys/resource.h>

#include <QByteArray>
#include <QFile>
#include <chrono>
#include <ctime>

#include "serial/port_backend.h"

// The user and the system part of the process CPU time, in seconds.
struct Cpu_split {
    double user = 0, system = 0;
    long voluntary_switches = 0;  // sleeps: each wait that gave up the core
};
inline Cpu_split process_cpu_split() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6,
            double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6, usage.ru_nvcsw};
}

// Process CPU time (user + system), in seconds.
inline double process_cpu_seconds() {
    const Cpu_split cpu = process_cpu_split();
    return cpu.user + cpu.system;
}

// CPU time of this process to the microsecond, in seconds: time spent waiting for a core
// does not count.
inline double fine_cpu_seconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

inline double wall_seconds() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

// Resident memory of this process, in bytes.
inline long resident_bytes() {
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4096 : 0;
}

// A device in memory: what the benchmark hands it arrives as received bytes.
class Memory_port : public Port_backend {
  public:
    bool open(const QString&, int) override { return open_ = true; }
    void close() override { open_ = false; }
    bool is_open() const override { return open_; }
    bool write(const QByteArray&) override { return open_; }
    bool present(const QString&) const override { return true; }
    QByteArray read_all() override {
        QByteArray all;
        all.swap(pending_);
        return all;
    }
    void deliver(const QByteArray& bytes) {
        pending_.append(bytes);
        if (on_ready_read) on_ready_read();
    }

  private:
    bool open_ = false;
    QByteArray pending_;
};
