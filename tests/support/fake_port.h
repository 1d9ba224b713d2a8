#pragma once
#include <QByteArray>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

#include "serial/port_backend.h"
#include "tests/support/virtual_clock.h"

// A serial device on the virtual clock: it records every write with its time and plays a
// scripted board through on_write.
class Fake_port : public Port_backend {
  public:
    struct Write {
        std::int64_t at_ms;
        QByteArray bytes;
    };
    struct Shared {
        QSet<QString> devices;  // devices that exist and can be opened
        Open_error refusal;     // when set, every opening fails with it
        QString opened_device;
        int opened_baud = 0;
        int open_count = 0;
        bool open = false;
        bool fail_writes = false;
        std::vector<Write> writes;
        QByteArray pending;                               // received, not yet read by the control
        std::function<void(const QByteArray&)> on_write;  // the board's reaction
        Fake_port* port = nullptr;
    };

    Fake_port(Virtual_clock& clock, Shared& shared) : clock_(clock), s_(shared) { s_.port = this; }
    ~Fake_port() override { s_.port = nullptr; }

    bool open(const QString& device, int baud) override {
        if (s_.refusal.kind != Open_error::Kind::none) {
            error_ = s_.refusal;
            return false;
        }
        if (!s_.devices.contains(device)) {
            error_ = {Open_error::Kind::no_device, QStringLiteral("No such file or directory")};
            return false;
        }
        s_.opened_device = device;
        s_.opened_baud = baud;
        ++s_.open_count;
        s_.open = true;
        return true;
    }
    void close() override { s_.open = false; }
    bool is_open() const override { return s_.open; }
    bool write(const QByteArray& bytes) override {
        if (!s_.open || s_.fail_writes) return false;
        s_.writes.push_back({clock_.now_ms(), bytes});
        if (s_.on_write) s_.on_write(bytes);
        return true;
    }
    bool present(const QString& device) const override { return s_.devices.contains(device); }
    Open_error open_error() const override { return error_; }
    QByteArray read_all() override {
        QByteArray all;
        all.swap(s_.pending);
        return all;
    }

    // The board sends bytes now.
    void deliver(const QByteArray& bytes) {
        if (!s_.open) return;
        s_.pending.append(bytes);
        if (on_ready_read) on_ready_read();
    }
    // The board sends bytes after ms.
    void deliver_after(std::int64_t ms, const QByteArray& bytes) {
        clock_.after(ms, [this, bytes] { deliver(bytes); });
    }
    void unplug() {
        if (on_lost) on_lost();
    }

  private:
    Virtual_clock& clock_;
    Shared& s_;
    Open_error error_;
};
