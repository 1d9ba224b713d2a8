#include "eeprom/image_check.h"

#include <QFileInfo>
#include <array>

#include "eeprom/hex_digits.h"

namespace eep {

namespace {

constexpr qsizetype kRecordLength = 43;  // "#" + 21 bytes in hexadecimal
constexpr int kTrailerLinesLooked = 10;
const QByteArrayView kEndRecordBytes = "#00000001FF";

int digit(char c) {
    return hex_digit_value(QLatin1Char(c));
}
int pair_at(QByteArrayView line, qsizetype i) {
    return digit(line[i]) * 16 + digit(line[i + 1]);
}

QString records_text(int n) {
    return QString::number(n) + (n == 1 ? QStringLiteral(" record") : QStringLiteral(" records"));
}

// Why a character has no place in a data record.
QString character_problem(char c, qsizetype column) {
    const auto u = uchar(c);
    const QString at = QStringLiteral(" at column ") + QString::number(column);
    if (u == 0) return QStringLiteral("NUL byte") + at;
    if (u >= 'a' && u <= 'f') {
        return QStringLiteral("lower-case digit \"") + QLatin1Char(c) + QLatin1Char('"') + at +
               QStringLiteral(" (the read writes upper case)");
    }
    if (u < 0x20 || u >= 0x7F) return QStringLiteral("byte ") + hex_text(u, 2) + at;
    return QStringLiteral("character \"") + QLatin1Char(c) + QLatin1Char('"') + at +
           QStringLiteral(" is not a hexadecimal digit");
}

// One data record, decoded as far as its text allows.
struct Record {
    QString problem;   // empty: a sound record
    int address = -1;  // known once count and type are right
    std::array<char, kRecordBytes> data{};
};

Record decode_record(QByteArrayView line) {
    Record r;
    if (line.isEmpty()) {
        r.problem = QStringLiteral("empty line, a data record expected");
        return r;
    }
    if (line[0] != '#') {
        r.problem = QStringLiteral("no \"#\" at the start: not a data record");
        return r;
    }
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (digit(line[i]) < 0) {
            r.problem = character_problem(line[i], i + 1);
            return r;
        }
    }
    if (line.size() != kRecordLength) {
        r.problem = QString::number(line.size()) +
                    QStringLiteral(" characters, a data record has ") +
                    QString::number(kRecordLength);
        return r;
    }
    const int address = pair_at(line, 3) * 256 + pair_at(line, 5);
    const int count = pair_at(line, 1);
    const int type = pair_at(line, 7);
    if (count != kRecordBytes) {
        r.problem = QStringLiteral("byte count ") + hex_text(count, 2) +
                    QStringLiteral(", should be ") + hex_text(kRecordBytes, 2);
        return r;
    }
    if (type != 0) {
        r.problem =
            QStringLiteral("record type ") + hex_text(type, 2) + QStringLiteral(", should be 00");
        return r;
    }
    // The address is known from here on: a record with a wrong sum still has its place.
    r.address = address;
    int sum = count + (address >> 8) + (address & 0xFF) + type;
    for (int i = 0; i < kRecordBytes; ++i) {
        const int value = pair_at(line, 9 + 2 * i);
        r.data[std::size_t(i)] = char(value);
        sum += value;
    }
    const int should_be = (256 - (sum & 0xFF)) & 0xFF;
    const int checksum = pair_at(line, kRecordLength - 2);
    if (checksum != should_be) {
        r.problem = QStringLiteral("checksum ") + hex_text(checksum, 2) +
                    QStringLiteral(", should be ") + hex_text(should_be, 2);
    }
    return r;
}

// The next line of the content from pos on, without its LF or CR LF; pos moves past it.
QByteArrayView next_line(QByteArrayView content, qsizetype& pos) {
    const qsizetype start = pos;
    const qsizetype lf = content.indexOf('\n', start);
    qsizetype end = lf < 0 ? content.size() : lf;
    pos = lf < 0 ? content.size() : lf + 1;
    if (end > start && content[end - 1] == '\r' && lf >= 0) --end;
    return content.sliced(start, end - start);
}

class Image_reader {
  public:
    Image_reader(QByteArrayView content, const QString& file_name)
        : content_(content), model_(model_for_name(QFileInfo(file_name).fileName())) {
        read_.model = model_;
    }

    Image_read read() && {
        if (content_.size() > kMaxImageFileBytes) {
            problem(0, QStringLiteral("more than ") + QString::number(kMaxImageFileBytes) +
                           QStringLiteral(" bytes: far too large for a backup"));
            return std::move(read_);
        }
        if (!model_) {
            problem(0, QStringLiteral("the name does not begin with ") + accepted_prefixes() +
                           QStringLiteral(", so the board's size is unknown"));
        }
        if (content_.isEmpty()) {
            problem(0, QStringLiteral("the file is empty"));
            return std::move(read_);
        }
        records();
        if (read_.end_record) trailer();
        return std::move(read_);
    }

  private:
    void problem(int line, const QString& what) {
        if (read_.problems.size() < kMaxProblems) read_.problems.push_back({line, what});
    }

    QString count_problem() const {
        return records_text(read_.records) + QStringLiteral(", a ") + mcu_of(*model_) +
               QStringLiteral(" board needs ") + QString::number(needed());
    }
    int needed() const { return model_ ? model_->bytes / kRecordBytes : 0; }

    // Data records up to the end record (or the end of the file).
    void records() {
        int expected = 0;
        bool too_many = false;
        while (pos_ < content_.size()) {
            const QByteArrayView line = next_line(content_, pos_);
            ++line_;
            if (line == kEndRecordBytes) {
                read_.end_record = true;
                if (model_ && !too_many && read_.records != needed()) {
                    problem(line_, count_problem());
                }
                return;
            }
            const Record r = decode_record(line);
            if (!r.problem.isEmpty()) {
                problem(line_, r.problem);
            } else if (model_ && read_.records >= needed()) {
                if (!too_many) {
                    problem(line_, QStringLiteral("more than ") + records_text(needed()) +
                                       QStringLiteral(", a ") + mcu_of(*model_) +
                                       QStringLiteral(" board needs ") + QString::number(needed()));
                }
                too_many = true;
            } else if (r.address != expected) {
                problem(line_, QStringLiteral("address ") + hex_text(r.address, 4) +
                                   QStringLiteral(", expected ") + hex_text(expected, 4));
            }
            if (r.address >= 0) place(r);
            expected = (r.address >= 0 ? r.address : expected) + kRecordBytes;
            ++read_.records;
        }
        // The file ended before its end record.
        if (model_ && read_.records < needed()) problem(line_ + 1, count_problem());
        problem(line_ + 1, QStringLiteral("no end record"));
    }

    // A record's bytes at its own address, within the model's size; a gap reads as erased.
    void place(const Record& r) {
        const int end = r.address + kRecordBytes;
        if (model_ && end > model_->bytes) return;
        if (read_.bytes.size() < end) read_.bytes.resize(end, char(0xFF));
        std::copy(r.data.begin(), r.data.end(), read_.bytes.begin() + r.address);
    }

    void trailer() {
        Image_trailer& t = read_.trailer;
        for (int n = 0; n < kTrailerLinesLooked && pos_ < content_.size(); ++n) {
            const QString line = QString::fromLatin1(next_line(content_, pos_));
            if (t.model_line.isEmpty() && line.startsWith(QStringLiteral("Mcu type; "))) {
                t.model_line = line;
            } else if (t.size_line.isEmpty() && line.endsWith(QStringLiteral(" Eeprom bytes."))) {
                t.size_line = line;
            } else if (t.date_line.isEmpty() && line.startsWith(QStringLiteral("Dump date; "))) {
                t.date_line = line;
            }
        }
    }

    QByteArrayView content_;
    const Model* model_;
    Image_read read_;
    qsizetype pos_ = 0;
    int line_ = 0;
};

}  // namespace

Image_read read_image(QByteArrayView content, const QString& file_name) {
    return Image_reader(content, file_name).read();
}

QString problem_text(const QString& file_name, const Image_problem& problem) {
    const QString name = QFileInfo(file_name).fileName();
    if (problem.line <= 0) return name + QStringLiteral(": ") + problem.what;
    return name + QStringLiteral(" line ") + QString::number(problem.line) + QStringLiteral(": ") +
           problem.what;
}

QString mcu_of(const Model& model) {
    const QString line = QLatin1String(model.mcu_line);
    const qsizetype start = line.indexOf(QLatin1Char(';')) + 2;
    return line.mid(start, line.indexOf(QLatin1Char(' '), start) - start);
}

}  // namespace eep
