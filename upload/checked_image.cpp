#include "upload/checked_image.h"

#include <QFileInfo>

#include "serial/failures.h"

void Checked_image::arm(const QString& name, const QByteArray& content) {
    clear();
    armed_ = true;
    name_ = name;
    content_ = content;
}

void Checked_image::clear() {
    buffer_.close();
    buffer_.setData(QByteArray());
    armed_ = false;
    name_.clear();
    content_.clear();
    stop_reason_.clear();
}

QIODevice& Checked_image::source(QIODevice& opened, const QString& name) {
    const QString shown = QFileInfo(name).fileName();
    if (name != name_) {
        stop(shown + QStringLiteral(" is not the file checked (") + QFileInfo(name_).fileName() +
             QStringLiteral("); nothing was sent."));
    }
    // One byte more than was checked tells a file that has grown.
    const QByteArray now = opened.read(content_.size() + 1);
    if (now != content_) {
        stop(shown + QStringLiteral(" changed after its check; nothing was sent."));
    }
    buffer_.setData(content_);
    buffer_.open(QIODevice::ReadOnly);
    return buffer_;
}

void Checked_image::stop(const QString& why) {
    stop_reason_ = why;
    throw Runtime_failure("the file sent is not the file checked");
}

QString Checked_image::verify_hint() const {
    return QStringLiteral("To verify: right-click Write EEP to compare the board with ") +
           QFileInfo(name_).fileName() + QStringLiteral(".");
}
