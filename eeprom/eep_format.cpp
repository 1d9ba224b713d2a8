#include "eeprom/eep_format.h"

#include "eeprom/hex_digits.h"

namespace eep {

const std::array<Model, 3>& models() {
    static const std::array<Model, 3> table{{
        {"24", 1024, "Mcu type; 324 / SMS Controller type Rq5"},
        {"64", 2048, "Mcu type; 644 / SMS Controller type RqM5"},
        {"88", 4096, "Mcu type; 1284 / SMS Controller type RqM55"},
    }};
    return table;
}

const Model* model_for_name(const QString& name) {
    const QStringView prefix = QStringView(name).left(2);
    for (const Model& m : models()) {
        if (prefix == QLatin1String(m.prefix)) return &m;
    }
    return nullptr;
}

QString accepted_prefixes() {
    const auto& m = models();
    return QStringLiteral("%1, %2 or %3").arg(m[0].prefix, m[1].prefix, m[2].prefix);
}

QString data_record(int address, QStringView data) {
    int sum = kRecordBytes + (address >> 8) + (address & 0xFF);
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) sum += hex_pair_value(data[i], data[i + 1]);
    const int checksum = (256 - (sum & 0xFF)) & 0xFF;
    return QStringLiteral("#10") + hex_text(address, 4) + QStringLiteral("00") + data.toString() +
           hex_text(checksum, 2);
}

QStringList end_lines() {
    return {kEndRecord, QString(), QString()};
}

QString size_line(const Model& model) {
    return QString::number(model.bytes) + QStringLiteral(" Eeprom bytes.");
}

QString date_line(const QDateTime& when, const QLocale& locale) {
    return QStringLiteral("Dump date; ") + locale.toString(when.date(), QLocale::ShortFormat) +
           QStringLiteral(" at ") + locale.toString(when.time(), QLocale::ShortFormat);
}

QStringList model_lines(const Model& model, const QDateTime& when, const QLocale& locale) {
    return {QLatin1String(model.mcu_line), size_line(model), date_line(when, locale), QString()};
}

}  // namespace eep
