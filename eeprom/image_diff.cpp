#include "eeprom/image_diff.h"

#include <QFileInfo>
#include <algorithm>

#include "eeprom/eep_format.h"
#include "eeprom/hex_digits.h"

namespace eep {

namespace {
QString counted(int n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

QString byte_at(QByteArrayView image, int address) {
    return address < image.size() ? hex_text(uchar(image[address]), 2) : QStringLiteral("none");
}
}  // namespace

Image_diff diff_images(QByteArrayView a, QByteArrayView b) {
    Image_diff diff;
    const auto longer = int(std::max(a.size(), b.size()));
    const auto shorter = int(std::min(a.size(), b.size()));
    diff.compared = longer;
    int last_record = -1;
    for (int i = 0; i < longer; ++i) {
        if (i < shorter && a[i] == b[i]) continue;
        if (!diff.runs.empty() && diff.runs.back().start + diff.runs.back().length == i) {
            ++diff.runs.back().length;
        } else {
            diff.runs.push_back({i, 1});
        }
        ++diff.bytes;
        if (i / kRecordBytes != last_record) {
            last_record = i / kRecordBytes;
            ++diff.records;
        }
    }
    return diff;
}

std::size_t Image_diff::run_at_or_after(int address) const {
    const auto it = std::find_if(runs.begin(), runs.end(), [address](const Diff_run& r) {
        return r.start + r.length > address;
    });
    return std::size_t(it - runs.begin());
}

QString compare_verdict(const QString& file_name, QByteArrayView file, QByteArrayView board,
                        const Image_diff& diff) {
    const QString name = QFileInfo(file_name).fileName();
    if (diff.same()) {
        return QStringLiteral("Board matches ") + name + QStringLiteral(": ") +
               counted(diff.compared, "byte", "bytes") + QStringLiteral(" identical.");
    }
    const int first = diff.runs.front().start;
    return QStringLiteral("Board differs from ") + name + QStringLiteral(": ") +
           counted(diff.bytes, "byte", "bytes") + QStringLiteral(" in ") +
           counted(diff.records, "record", "records") + QStringLiteral(", first at ") +
           hex_text(first, 4) + QStringLiteral(" (file ") + byte_at(file, first) +
           QStringLiteral(", board ") + byte_at(board, first) + QStringLiteral(").");
}

}  // namespace eep
