#include "tests/support/sim_process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <algorithm>

#ifndef VIMBO_SIM_PATH
#define VIMBO_SIM_PATH "vimbo_sim"
#endif

Sim_process::~Sim_process() {
    stop();
}

bool Sim_process::start(const QString& dir, int port, const QStringList& extra) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(VIMBO_SIM_PATH),
                   QStringList{"--dir", dir, "--port", QString::number(port)} + extra);
    if (!process_.waitForStarted(5000)) return false;
    if (!wait_for_line(QStringLiteral("READY "))) return false;
    slave_ = lines_.last().mid(6);
    return true;
}

void Sim_process::read_lines() {
    while (process_.canReadLine()) {
        lines_ << QString::fromLatin1(process_.readLine()).trimmed();
    }
}

bool Sim_process::saw(const QString& prefix) {
    read_lines();
    return std::any_of(lines_.cbegin(), lines_.cend(),
                       [&](const QString& line) { return line.startsWith(prefix); });
}

bool Sim_process::wait_for_line(const QString& prefix, int timeout_ms) {
    const QDeadlineTimer deadline(timeout_ms);
    for (;;) {
        read_lines();
        for (; seen_ < lines_.size(); ++seen_) {
            if (lines_[seen_].startsWith(prefix)) {
                ++seen_;
                return true;
            }
        }
        if (deadline.hasExpired() || process_.state() != QProcess::Running) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        process_.waitForReadyRead(5);
    }
}

bool Sim_process::command(const QString& line) {
    process_.write(line.toLatin1() + '\n');
    process_.waitForBytesWritten(2000);
    const QDeadlineTimer deadline(10000);
    for (;;) {
        read_lines();
        for (; seen_ < lines_.size(); ++seen_) {
            if (lines_[seen_] == QLatin1String("ok")) {
                ++seen_;
                return true;
            }
            if (lines_[seen_].startsWith(QLatin1String("error"))) {
                ++seen_;
                return false;
            }
        }
        if (deadline.hasExpired() || process_.state() != QProcess::Running) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        process_.waitForReadyRead(5);
    }
}

void Sim_process::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.closeWriteChannel();
    process_.terminate();
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(1000);
}
