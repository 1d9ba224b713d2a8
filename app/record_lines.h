#pragma once
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

// The text rules of the session record: one line per event, "YYYY-MM-DD HH:MM:SS.mmm",
// a blank, a mark, a blank and the text, ended by CR LF, one byte per character.
namespace record {

constexpr char kReceived = '<';  // a line the receive handler completed
constexpr char kSent = '>';      // the text of one output call
constexpr char kNoted = '*';     // a line of the program itself

// The whole line, CR LF included. Characters beyond 8 bits become "?".
QByteArray line(const QDateTime& when, char mark, const QString& text);

// What was sent, readable: bytes below 0x20 and above 0x7E as <HH> (upper-case hex).
QString escaped(const QString& sent);

// "vimbo-2026-12-10.log": the record of one local day.
QString file_name(const QDate& day);

// "vimbo-log-20261210-105005.txt": the default name for a saved copy of the log.
QString saved_log_name(const QDateTime& when);

// "10:50:05.123": the time of day an entry arrived, to the millisecond.
QString arrival_time(const QDateTime& when);

}  // namespace record
