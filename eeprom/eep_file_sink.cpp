#include "eeprom/eep_file_sink.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>

#include "eeprom/image_file.h"
#include "transfer/transfer_steps.h"
#include "transfer/transfer_view.h"

namespace {
const QString kCannotCreate = QStringLiteral("EEPROM read stopped: the file cannot be created.");
const QString kCannotWrite =
    QStringLiteral("EEPROM read stopped: the file cannot be written (disk full?).");
}  // namespace

Eep_file_sink::Eep_file_sink(Open_files& files, const QString& name, Transfer_view& view)
    : files_(files), name_(name), view_(view) {}

Eep_file_sink::~Eep_file_sink() = default;

// The image goes to a temporary file until it is complete.
void Eep_file_sink::open() {
    image_ = std::make_unique<Image_file>(files_, name_);
    if (!image_->create()) stop_transfer(kCannotCreate);
}

void Eep_file_sink::take(int address, QStringView data) {
    const QString record = eep::data_record(address, data);
    write_lines({record});
    ++records_;
    view_.set_hint(record);
}

// The trailer, then the finished image takes the name.
void Eep_file_sink::finish(const eep::Model& model) {
    write_lines(eep::end_lines());
    view_.log(QStringLiteral("Saving; ") + QString::number(model.bytes) +
              QStringLiteral(" Bytes to Disk File."));
    write_lines(eep::model_lines(model, QDateTime::currentDateTime(), QLocale::system()));
    if (!image_->commit()) {
        stop_transfer(QStringLiteral("EEPROM read stopped: the backup cannot be saved as ") +
                      name_ + QStringLiteral("."));
    }
    image_.reset();
    const QString done = QStringLiteral("Done and saved to; ") + name_;
    view_.set_hint(done);
    view_.told(done);  // the record keeps it with the log's lines
}

void Eep_file_sink::abandon() {
    if (!image_) return;
    const std::unique_ptr<Image_file> image = std::move(image_);
    const QString kept = image->keep_partial();
    if (!kept.isEmpty()) {
        view_.log(QString::number(records_) +
                  (records_ == 1 ? QStringLiteral(" record kept in; ")
                                 : QStringLiteral(" records kept in; ")) +
                  kept);
    }
}

void Eep_file_sink::write_lines(const QStringList& lines) {
    const bool written =
        image_ && std::all_of(lines.begin(), lines.end(),
                              [this](const QString& line) { return image_->write_line(line); });
    if (!written) stop_transfer(kCannotWrite);
}
