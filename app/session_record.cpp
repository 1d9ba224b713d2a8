#include "app/session_record.h"

#include <QDateTime>
#include <QDir>
#include <utility>

#include "app/record_disk.h"
#include "app/record_lines.h"

Session_record::Session_record(const QString& working_folder, std::function<std::int64_t()> wall_ms,
                               Record_disk& disk, bool on)
    : folder_(QDir(working_folder).filePath(QStringLiteral("logs"))),
      wall_ms_(std::move(wall_ms)),
      disk_(disk),
      on_(on) {}

void Session_record::received(const QString& line) {
    write(record::kReceived, line);
}

void Session_record::sent(const QString& text) {
    if (recording()) write(record::kSent, record::escaped(text));
}

void Session_record::told(const QString& line) {
    if (!transfer_.isEmpty()) transfer_last_ = line;
    write(record::kNoted, line);
}

void Session_record::note(const QString& text) {
    write(record::kNoted, text);
}

void Session_record::transfer_started(const QString& what, const QString& file) {
    transfer_ = what + QStringLiteral(", file ") + file;
    transfer_last_.clear();
    note(QStringLiteral("Transfer start: ") + transfer_);
}

void Session_record::transfer_ended() {
    if (transfer_.isEmpty()) return;
    const QString how = transfer_last_.isEmpty() ? QStringLiteral("stopped") : transfer_last_;
    note(QStringLiteral("Transfer end: ") + std::exchange(transfer_, QString()) +
         QStringLiteral(": ") + how);
    if (recording()) disk_.sync();
}

// A transfer that is still waiting ends with the program; nothing is written after this.
void Session_record::program_exit() {
    if (!transfer_.isEmpty()) transfer_last_ = QStringLiteral("the program is closing");
    transfer_ended();
    note(QStringLiteral("Program exit"));
    if (recording()) disk_.sync();
    disk_.close();
    open_day_ = QDate();
    ended_ = true;
}

void Session_record::set_on(bool on) {
    if (on == recording()) return;
    if (!on) {
        note(QStringLiteral("Session record off"));
        disk_.close();
        open_day_ = QDate();
        on_ = false;
        return;
    }
    on_ = true;
    stopped_ = false;
    note(QStringLiteral("Session record on"));
}

QString Session_record::file_for(const QDate& day) const {
    return QDir(folder_).filePath(record::file_name(day));
}

QString Session_record::today_file() const {
    return file_for(QDateTime::fromMSecsSinceEpoch(wall_ms_()).date());
}

void Session_record::write(char mark, const QString& text) {
    if (!recording() || ended_) return;
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(wall_ms_());
    if (now.date() != open_day_ && !open_for(now.date())) return;
    const QString failed = disk_.write(record::line(now, mark, text));
    if (!failed.isEmpty()) stop(failed);
}

// The folder is made with the first line; after midnight the next line opens the new day.
bool Session_record::open_for(const QDate& day) {
    disk_.close();
    open_day_ = QDate();
    QString failed = disk_.make_folder(folder_);
    if (failed.isEmpty()) failed = disk_.open_for_append(file_for(day));
    if (!failed.isEmpty()) {
        stop(failed);
        return false;
    }
    open_day_ = day;
    return true;
}

void Session_record::stop(const QString& why) {
    stopped_ = true;
    disk_.close();
    open_day_ = QDate();
    if (on_stopped) on_stopped(QStringLiteral("Session record stopped: ") + why + u'.');
}
