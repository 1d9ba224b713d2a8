#pragma once
#include <QString>
#include <QStringList>

// Starts an external program without waiting for it.
class Editor_launcher {
  public:
    virtual ~Editor_launcher() = default;
    // False when the program could not be started.
    virtual bool start_detached(const QString& program, const QStringList& arguments) = 0;
};

class Process_launcher : public Editor_launcher {
  public:
    bool start_detached(const QString& program, const QStringList& arguments) override;
};
