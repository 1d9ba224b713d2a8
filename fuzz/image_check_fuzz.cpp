// Reading a .eep backup back and the diff of two images.
//
// Input: an option byte (model and line ends), then any bytes. They are read as a backup
// file's content; a sound one must hold exactly the model's records in order, and must
// read back unchanged when written again. The bytes also become an image that is written
// as the read writes it, which must read back sound and unchanged, and they are diffed
// against that image with one byte changed and against a shortened copy.
#include <QByteArray>
#include <algorithm>

#include "eeprom/eep_format.h"
#include "eeprom/image_check.h"
#include "eeprom/image_diff.h"
#include "fuzz/fuzz_check.h"

namespace {

const char* const kNames[] = {"2418.eep", "6418.eep", "8800.eep", "7428.eep"};

QByteArray written(const eep::Model& model, const QByteArray& bytes, bool lf_only) {
    const QByteArray end = lf_only ? "\n" : "\r\n";
    QByteArray out;
    for (int a = 0; a < model.bytes; a += eep::kRecordBytes) {
        const QString data = QString::fromLatin1(bytes.mid(a, eep::kRecordBytes).toHex().toUpper());
        out += eep::data_record(a, data).toLatin1() + end;
    }
    return out + eep::kEndRecord.toLatin1() + end + end + end + model.mcu_line + end;
}

// The diff as a plain reading: every index where the bytes differ or only one has a byte.
void check_diff(const QByteArray& a, const QByteArray& b) {
    const eep::Image_diff diff = eep::diff_images(a, b);
    const qsizetype longer = std::max(a.size(), b.size());
    FUZZ_CHECK(diff.compared == longer);
    int bytes = 0;
    int records = 0;
    int last_record = -1;
    std::vector<bool> differs(std::size_t(longer), false);
    for (qsizetype i = 0; i < longer; ++i) {
        if (i < a.size() && i < b.size() && a[i] == b[i]) continue;
        differs[std::size_t(i)] = true;
        ++bytes;
        if (i / 16 != last_record) ++records;
        last_record = int(i / 16);
    }
    FUZZ_CHECK(diff.bytes == bytes);
    FUZZ_CHECK(diff.records == records);
    int in_runs = 0;
    int previous_end = -1;
    for (const eep::Diff_run& run : diff.runs) {
        FUZZ_CHECK(run.length > 0);
        FUZZ_CHECK(run.start > previous_end);  // apart, with an equal byte between
        for (int i = run.start; i < run.start + run.length; ++i) {
            FUZZ_CHECK(differs[std::size_t(i)]);
        }
        previous_end = run.start + run.length;
        in_runs += run.length;
    }
    FUZZ_CHECK(in_runs == bytes);
    FUZZ_CHECK(diff.same() == (bytes == 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t option = data[0];
    const QString name = QLatin1String(kNames[option % 4]);
    const QByteArray content(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const eep::Image_read read = eep::read_image(content, name);
    FUZZ_CHECK(read.problems.size() <= eep::kMaxProblems);
    int previous_line = -1;
    for (const eep::Image_problem& p : read.problems) {
        FUZZ_CHECK(p.line >= previous_line);  // in line order
        FUZZ_CHECK(!p.what.isEmpty());
        previous_line = p.line;
    }
    if (read.model) FUZZ_CHECK(read.bytes.size() <= read.model->bytes);
    if (read.sound()) {
        FUZZ_CHECK(read.model != nullptr && read.end_record);
        FUZZ_CHECK(read.records == read.model->bytes / 16);
        FUZZ_CHECK(read.bytes.size() == read.model->bytes);
        const eep::Image_read again =
            eep::read_image(written(*read.model, read.bytes, false), name);
        FUZZ_CHECK(again.sound() && again.bytes == read.bytes);
    }

    // The input's bytes as an image of the model, written and read back.
    if (const eep::Model* model = eep::model_for_name(name)) {
        QByteArray image = content.left(model->bytes);
        image.append(QByteArray(model->bytes - image.size(), char(option)));
        const eep::Image_read back = eep::read_image(written(*model, image, option & 4), name);
        FUZZ_CHECK(back.sound());
        FUZZ_CHECK(back.bytes == image);
        QByteArray changed = image;
        const int at = int((option * 131u + size) % unsigned(model->bytes));
        changed[at] = char(changed[at] ^ (1 << (option % 8)));
        const eep::Image_diff one = eep::diff_images(image, changed);
        FUZZ_CHECK(one.bytes == 1 && one.runs.size() == 1 && one.runs[0].start == at);
        check_diff(image, changed);
        check_diff(image, content.left(model->bytes));
    }
    check_diff(content, content.mid(1));
    return 0;
}
