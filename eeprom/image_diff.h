#pragma once
#include <QByteArrayView>
#include <QString>
#include <vector>

// Where two EEPROM images differ, as runs of differing bytes, and the one-line verdict of a
// compare of the board with a backup.
namespace eep {

struct Diff_run {
    int start = 0;   // address of the first differing byte
    int length = 0;  // differing bytes in a row
    bool operator==(const Diff_run&) const = default;
};

struct Image_diff {
    std::vector<Diff_run> runs;  // ascending, separated by at least one equal byte
    int bytes = 0;               // differing bytes in all
    int records = 0;             // 16-byte records with at least one of them
    int compared = 0;            // bytes looked at: the longer image's size
    bool same() const { return bytes == 0; }
    // The index of the run that holds this address, or of the first run after it; the
    // number of runs when none lies at or after it.
    std::size_t run_at_or_after(int address) const;
};

// A byte that only one image has (the other is shorter) counts as differing.
Image_diff diff_images(QByteArrayView a, QByteArrayView b);

// "Board matches 2418.eep: 1024 bytes identical." or "Board differs from 2418.eep: 3 bytes
// in 2 records, first at 0123 (file 5A, board 00)."
QString compare_verdict(const QString& file_name, QByteArrayView file, QByteArrayView board,
                        const Image_diff& diff);

}  // namespace eep
