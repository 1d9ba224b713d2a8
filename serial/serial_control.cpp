#include "serial/serial_control.h"

#include <QStringList>
#include <algorithm>
#include <array>

#include "serial/failures.h"
#include "serial/port_names.h"

namespace {
constexpr std::array kUsableRates{110,    300,    600,    1200,   2400,  4800,  9600,
                                  14400,  19200,  28800,  38400,  56000, 57600, 115200,
                                  128000, 230400, 256000, 460800, 921600};
constexpr qsizetype kCompactAfter = 4096;
constexpr int kMaxRun = 256;
}  // namespace

Serial_control::Serial_control(Event_services& events, std::unique_ptr<Port_backend> backend)
    : events_(events), backend_(std::move(backend)) {
    backend_->on_ready_read = [this] { bytes_arrived(); };
    backend_->on_lost = [this] { lost(); };
    return_watch_ = events_.make_timer([this] { look_for_return(); });
    return_watch_->set_interval(kReturnWatchMs);
}

Serial_control::~Serial_control() {
    *alive_ = false;
    backend_->on_ready_read = nullptr;
    backend_->on_lost = nullptr;
    if (backend_->is_open()) backend_->close();
}

bool Serial_control::usable_rate(int baud) {
    return std::find(kUsableRates.begin(), kUsableRates.end(), baud) != kUsableRates.end();
}

void Serial_control::set_Settings(const QString& settings) {
    const QStringList parts = settings.split(QLatin1Char(','));
    bool number = false;
    const int baud = parts.value(0).toInt(&number);
    if (parts.size() != 4 || !number || !usable_rate(baud) ||
        parts[1].compare(QLatin1String("N"), Qt::CaseInsensitive) != 0 || parts[2] != "8" ||
        parts[3] != "1") {
        throw Runtime_failure("invalid serial settings: " + settings.toStdString());
    }
    settings_ = settings;
    baud_ = baud;
}

void Serial_control::set_CommPort(int n) {
    if (open_) throw Runtime_failure("port number changed on an open port");
    if (n < 1 || n > 16) throw Runtime_failure("invalid port number");
    if (n != comm_port_) stop_return_watch();
    comm_port_ = n;
}

void Serial_control::set_PortOpen(bool open) {
    stop_return_watch();
    if (!open) {
        const bool was_open = open_;
        if (open_) backend_->close();
        open_ = false;
        rx_.clear();
        rx_pos_ = 0;
        if (was_open && Closed) Closed();
        return;
    }
    if (open_) throw Runtime_failure("port already open");
    moved_on_return_ = false;
    if (!open_device(device_for_com_port(comm_port_))) {
        throw Runtime_failure("port cannot be opened");
    }
}

bool Serial_control::open_device(const QString& device) {
    device_ = device;
    refusal_ = {};
    if (!backend_->open(device, baud_)) {
        refusal_ = backend_->open_error();
        return false;
    }
    open_ = true;
    opened_device_ = device;
    if (ports_) {
        const std::vector<Port_info> listed = ports_->ports();
        const Port_info* info = find_port(listed, device);
        identity_ = info ? *info : Port_info{};
    }
    loss_pending_ = false;
    opened_via_link_ = com_port_link_present(comm_port_);
    rx_.clear();
    rx_pos_ = 0;
    rx_.append(backend_->read_all());  // anything the device already holds
    if (InBufferCount() > 0) schedule_notification();
    return true;
}

void Serial_control::Output(const QString& text) {
    if (!open_) throw Runtime_failure("send on a closed port");
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) bytes.append(c.unicode() < 256 ? char(c.unicode()) : '?');
    if (!backend_->write(bytes)) throw Runtime_failure("send failed");
    if (Sent) Sent(text);
}

QString Serial_control::Input() {
    if (!open_) throw Runtime_failure("receive on a closed port");
    if (rx_pos_ >= rx_.size()) return {};
    const QChar c{uchar(rx_[rx_pos_++])};  // braces: with parentheses clang reads a declaration
    if (rx_pos_ >= kCompactAfter) {
        rx_.remove(0, rx_pos_);
        rx_pos_ = 0;
    }
    return QString(c);
}

// Called by the device when bytes came in, which is itself an event of the window's loop:
// the first run of notifications goes at once, the rest follow as events of their own.
void Serial_control::bytes_arrived() {
    if (!open_) return;
    rx_.append(backend_->read_all());
    if (InBufferCount() > 0 && !notification_pending_) notify();
}

void Serial_control::schedule_notification() {
    if (notification_pending_) return;
    notification_pending_ = true;
    events_.post([this, alive = alive_] {
        if (*alive) notify();
    });
}

// One notification per waiting character. They run in short runs, one run per event: a
// run ends where EndOfRun says (after each completed line), so that a procedure waiting in
// the pump looks at the mailbox after every line, and after kMaxRun characters at most, so
// that the window stays responsive under a flood.
void Serial_control::notify() {
    notification_pending_ = false;
    for (int n = 0; n < kMaxRun && open_ && InBufferCount() > 0; ++n) {
        if (OnComm) OnComm();
        if (EndOfRun && EndOfRun()) break;
    }
    if (open_ && InBufferCount() > 0) schedule_notification();
}

// The backend may report loss many times in a row; close once, report once, and do it
// outside the backend's own signal.
void Serial_control::lost() {
    if (!open_ || loss_pending_) return;
    loss_pending_ = true;
    events_.post([this, alive = alive_] {
        if (!*alive || !open_ || !loss_pending_) return;
        set_PortOpen(false);
        loss_pending_ = false;
        ++losses_;
        return_watch_->set_enabled(true);
        if (OnPortLost) OnPortLost();
    });
}

void Serial_control::stop_return_watch() {
    if (return_watch_->enabled()) return_watch_->set_enabled(false);
}

// The same COM port must name the device the same way as before the loss: a converter
// reached through a comN link comes back through that link, never as a built-in port.
void Serial_control::look_for_return() {
    if (open_) {
        stop_return_watch();
        return;
    }
    if (com_port_link_present(comm_port_) != opened_via_link_) return;
    const QString before = opened_device_;
    const bool by_serial = ports_ && !identity_.serial_number.isEmpty();
    const QString device = returned_device();
    if (device.isEmpty() || !backend_->present(device) || !open_device(device)) return;
    // Only a converter found by its serial number is told under its new name; a comN link
    // that leads elsewhere now was changed on purpose.
    moved_on_return_ = by_serial && device != before;
    stop_return_watch();
    if (OnPortBack) OnPortBack();
}

// A converter with a serial number is wherever the list shows that serial number now; an
// identical converter at its old name is not it. Anything else comes back at its old name.
QString Serial_control::returned_device() const {
    if (!ports_ || identity_.serial_number.isEmpty()) return device_for_com_port(comm_port_);
    const std::vector<Port_info> listed = ports_->ports();
    const Port_info* same = find_same_converter(listed, identity_);
    return same ? same->device : QString();
}
