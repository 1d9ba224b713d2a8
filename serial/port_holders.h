#pragma once
#include <QHash>
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

// The serial lock files (LCK..ttyUSB0) of live processes, read once: cheap enough for a
// port list refreshed every second.
class Lock_files {
  public:
    Lock_files();
    std::optional<Port_holder> holder(const QString& device) const;

  private:
    QHash<QString, Port_holder> held_;  // lock file name -> its live holder
};
