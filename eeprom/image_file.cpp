#include "eeprom/image_file.h"

#include <filesystem>
#include <system_error>

namespace {
std::filesystem::path fs_path(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

// Puts from in place of to in one step: at every moment one of the two is there.
bool replace_file(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(fs_path(from), fs_path(to), ec);
    return !ec;
}
}  // namespace

Image_file::Image_file(Open_files& files, const QString& name)
    : name_(name), file_(files, temp_name(name)) {}

Image_file::~Image_file() {
    if (!settled_) keep_partial();
}

bool Image_file::create() {
    created_ = file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    return created_;
}

bool Image_file::write_line(const QString& text) {
    if (!file_.isOpen()) return false;
    const QByteArray bytes = text.toLatin1() + "\r\n";
    if (file_.write(bytes) != bytes.size()) {
        file_.resize(whole_lines_size_);
        return false;
    }
    whole_lines_size_ += bytes.size();
    ++lines_;
    return true;
}

bool Image_file::commit() {
    if (!file_.isOpen()) return false;
    file_.close();
    if (file_.error() != QFileDevice::NoError) return false;
    if (!replace_file(file_.fileName(), name_)) return false;
    settled_ = true;
    return true;
}

QString Image_file::keep_partial() {
    if (settled_ || !created_) return {};
    file_.close();
    settled_ = true;
    if (lines_ == 0) {
        file_.remove();
        return {};
    }
    const QString partial = partial_name(name_);
    return replace_file(file_.fileName(), partial) ? partial : file_.fileName();
}
