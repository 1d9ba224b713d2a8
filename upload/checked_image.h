#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QString>

class QIODevice;

// The backup Write EEP checked before anything went on the wire. When the transfer opens
// the file it sends these bytes, not a second read that might have changed in between:
// the file must still hold exactly them, else nothing is sent and the reason is told.
class Checked_image {
  public:
    void arm(const QString& name, const QByteArray& content);
    void clear();
    bool armed() const { return armed_; }

    // The device the transfer reads its lines from, given the file it has just opened under
    // name. Fails (Runtime_failure) when it is not the file checked or no longer holds the
    // bytes checked; stop_reason() then says which.
    QIODevice& source(QIODevice& opened, const QString& name);
    const QString& stop_reason() const { return stop_reason_; }

    // The log line after the board took the image: how to verify it.
    QString verify_hint() const;

  private:
    [[noreturn]] void stop(const QString& why);

    bool armed_ = false;
    QString name_;
    QByteArray content_;
    QBuffer buffer_;
    QString stop_reason_;
};
