#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "serial/event_services.h"
#include "serial/port_backend.h"
#include "serial/port_list.h"

// The serial control of the window. Every failure (bad port number, bad settings, port in
// use, send or receive on a closed port) throws Runtime_failure, which the calling handler
// turns into its own failure path.
class Serial_control {
  public:
    Serial_control(Event_services& events, std::unique_ptr<Port_backend> backend);

    bool PortOpen() const { return open_; }
    // Opens (true) or closes (false). Opening an open port is a failure.
    void set_PortOpen(bool open);
    // "9600,N,8,1": the rate in decimal, no parity, 8 data bits, 1 stop bit.
    void set_Settings(const QString& settings);
    QString Settings() const { return settings_; }
    void set_CommPort(int n);
    int CommPort() const { return comm_port_; }
    // Each character goes out as one byte equal to its code; nothing is added.
    void Output(const QString& text);
    // The next received byte as a one-character text, or an empty text.
    QString Input();
    int InBufferCount() const { return int(rx_.size() - rx_pos_); }

    // Raised with the text of each output call once it has gone to the device, and when
    // an open port is closed (by the user, an opening or its loss): the session record.
    std::function<void(const QString&)> Sent;
    std::function<void()> Closed;
    // Raised on the window thread while at least one received character waits.
    std::function<void()> OnComm;
    // Asked after each notification: true ends the current run of notifications, so that
    // the event loop (and a procedure waiting in it) looks at the state before the next.
    std::function<bool()> EndOfRun;
    // Raised once when the device disappears under the open port; the port is closed then.
    std::function<void()> OnPortLost;
    // Raised when the lost device came back and was opened again with the same settings.
    // Until then it is looked for once a watch interval; any open, close or port change
    // by the user ends the watch. Nothing is sent on the reopening.
    std::function<void()> OnPortBack;
    static constexpr int kReturnWatchMs = 1000;
    // How often the device has gone away under the open port since the window started: a
    // procedure compares it to tell a loss from a silent board, also when the port is
    // already back.
    int Losses() const { return losses_; }

    static bool usable_rate(int baud);

    // The device the last opening tried and, when the device refused it, why.
    QString Device() const { return device_; }
    Open_error Refusal() const { return refusal_; }
    // With a port list, a lost converter that has a USB serial number is followed by it:
    // found again under a new device name, never confused with an identical converter.
    void set_port_list(const Port_list* ports) { ports_ = ports; }
    // What the list says about the open device (empty when it is not listed).
    const Port_info& Identity() const { return identity_; }
    // The last return found the converter under another device name than before its loss.
    bool Moved_on_return() const { return moved_on_return_; }

  private:
    void bytes_arrived();
    void schedule_notification();
    void notify();
    void lost();
    bool open_device(const QString& device);
    void stop_return_watch();
    void look_for_return();
    QString returned_device() const;

    Event_services& events_;
    std::unique_ptr<Port_backend> backend_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QString settings_ = QStringLiteral("9600,N,8,1");
    int baud_ = 9600;
    int comm_port_ = 1;
    bool open_ = false;
    bool notification_pending_ = false;
    bool loss_pending_ = false;
    bool opened_via_link_ = false;
    bool moved_on_return_ = false;
    QString device_;
    QString opened_device_;
    Open_error refusal_;
    const Port_list* ports_ = nullptr;
    Port_info identity_;
    int losses_ = 0;
    std::unique_ptr<Window_timer> return_watch_;
    QByteArray rx_;
    qsizetype rx_pos_ = 0;

  public:
    ~Serial_control();
    Serial_control(const Serial_control&) = delete;
    Serial_control& operator=(const Serial_control&) = delete;
};
