#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

// The board simulator as a child process: started in a folder with its comN link, driven
// by control lines on its stdin, watched through the event lines on its stdout.
class Sim_process {
  public:
    ~Sim_process();
    // Starts the simulator and waits for its READY line. False if it did not come.
    bool start(const QString& dir, int port, const QStringList& extra = {});
    // Sends one control line and waits for its "ok"; false on "error" or no answer.
    bool command(const QString& line);
    // Waits (running the application's events meanwhile) for an output line starting with
    // prefix; the timeout only guards against a hang.
    bool wait_for_line(const QString& prefix, int timeout_ms = 10000);
    // Without waiting: whether any output line so far starts with prefix. For use in the
    // callbacks of a scenario that runs while the window waits in one of its own loops.
    bool saw(const QString& prefix);
    QStringList lines() const { return lines_; }
    QString slave_path() const { return slave_; }
    void stop();

  private:
    void read_lines();
    QProcess process_;
    QStringList lines_;
    int seen_ = 0;
    QString slave_;
};
