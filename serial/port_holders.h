#pragma once
#include <QString>
#include <optional>

// A program that holds a device open.
struct Port_holder {
    QString program;  // its command name, "minicom"
    qint64 pid = 0;
};

// Who holds device open, as far as this machine tells (Linux: the open files under /proc,
// then the lock files serial programs leave). Reads every process's files: for a failure,
// not for a list refreshed every second.
std::optional<Port_holder> find_port_holder(const QString& device);

// The holder named by a serial lock file (LCK..ttyUSB0) of a live process: cheap enough
// for every row of the port list.
std::optional<Port_holder> lock_file_holder(const QString& device);
