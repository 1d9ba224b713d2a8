#include <gtest/gtest.h>

#include "eeprom/image_check.h"
#include "eeprom/image_diff.h"
#include "tests/backup_images.h"
#include "tests/support/qt_printers.h"

using namespace eep;

namespace {
// The first problem of a content read under a name, as a refusal shows it.
QString first_problem(const QByteArray& content, const QString& name = "2418.eep") {
    const Image_read read = read_image(content, name);
    return read.problems.empty() ? QString() : problem_text(name, read.problems.front());
}
}  // namespace

TEST(Image_check, ASoundBackupOfEachModelReadsBackToItsBytesAndTrailer) {
    for (const char* name : {"2418.eep", "6418 shop.eep", "8800.eep"}) {
        SCOPED_TRACE(name);
        const Model& model = *model_for_name(name);
        const QByteArray bytes = backup_images::pattern(model.bytes, 5);
        const QByteArray file = backup_images::backup(name, bytes);
        const Image_read read = read_image(file, name);
        EXPECT_TRUE(read.sound()) << first_problem(file, name).toStdString();
        EXPECT_EQ(read.model, &model);
        EXPECT_EQ(read.bytes, bytes);
        EXPECT_EQ(read.records, model.bytes / 16);
        EXPECT_TRUE(read.end_record);
        EXPECT_EQ(read.trailer.model_line, model.mcu_line);
        EXPECT_EQ(read.trailer.size_line, QString::number(model.bytes) + " Eeprom bytes.");
        EXPECT_TRUE(read.trailer.date_line.startsWith("Dump date; "));
        // LF alone ends lines too, and nothing after the end record is looked at.
        QByteArray lf = file;
        lf.replace("\r\n", "\n");
        EXPECT_TRUE(read_image(lf + "\x00junk\xFF", name).sound());
        EXPECT_EQ(read_image(lf, name).bytes, bytes);
    }
    EXPECT_EQ(mcu_of(*model_for_name("2418.eep")), "324");
    EXPECT_EQ(mcu_of(*model_for_name("6418.eep")), "644");
    EXPECT_EQ(mcu_of(*model_for_name("8818.eep")), "1284");
    // A folder before the name does not hide the model.
    const QByteArray file = backup_images::backup("2418.eep", backup_images::pattern(1024, 1));
    EXPECT_TRUE(read_image(file, "/some/where/2418.eep").sound());
    EXPECT_EQ(problem_text("/some/where/2418.eep", {3, "x"}), "2418.eep line 3: x");
}

TEST(Image_check, EachFaultIsNamedWithItsLine) {
    const QByteArray good = backup_images::backup("2418.eep", backup_images::pattern(1024, 2));
    QList<QByteArray> lines = good.split('\n');
    auto with_line = [&](int number, const QByteArray& text) {
        QList<QByteArray> changed = lines;
        changed[number - 1] = text + "\r";
        return changed.join('\n');
    };
    auto record = [](int address, const QByteArray& data) {
        return data_record(address, QString::fromLatin1(data)).toLatin1();
    };
    const QByteArray ff(32, 'F');
    QByteArray bad_sum = record(0xB0, ff);
    bad_sum.chop(2);
    bad_sum += "5A";
    const QString right_sum = record(0xB0, ff).right(2);

    struct Case {
        QByteArray content;
        QString problem;
    };
    const Case cases[] = {
        {with_line(12, bad_sum), "2418.eep line 12: checksum 5A, should be " + right_sum},
        {with_line(41, record(0x290, ff)), "2418.eep line 41: address 0290, expected 0280"},
        {with_line(3, record(0x10, ff)), "2418.eep line 3: address 0010, expected 0020"},
        // Only 40 records, then the end record.
        {lines.mid(0, 40).join('\n') + "\n#00000001FF\r\n",
         "2418.eep line 41: 40 records, a 324 board needs 64"},
        // The file stops after the records: no end record.
        {lines.mid(0, 64).join('\n') + "\n", "2418.eep line 65: no end record"},
        // It stops early without an end record: the count is what is wrong first.
        {lines.mid(0, 10).join('\n') + "\n", "2418.eep line 11: 10 records, a 324 board needs 64"},
        // A 65th record before the end record.
        {lines.mid(0, 64).join('\n') + "\n" + record(0x400, ff) + "\r\n#00000001FF\r\n",
         "2418.eep line 65: more than 64 records, a 324 board needs 64"},
        {with_line(7, record(0x60, ff).toLower()),
         "2418.eep line 7: lower-case digit \"f\" at column 10 (the read writes upper case)"},
        {with_line(2, QByteArray("#10001000FFFF\0FFFF", 18)),
         "2418.eep line 2: NUL byte at column 14"},
        {with_line(2, "#10001000FFFFxFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0"),
         "2418.eep line 2: character \"x\" at column 14 is not a hexadecimal digit"},
        {with_line(2, "#10001000FFFF\tFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0"),
         "2418.eep line 2: byte 09 at column 14"},
        {with_line(2, "#10001000FFFF"), "2418.eep line 2: 13 characters, a data record has 43"},
        {with_line(5, "Mcu type; 324"),
         "2418.eep line 5: no \"#\" at the start: not a data record"},
        {with_line(5, ""), "2418.eep line 5: empty line, a data record expected"},
        {with_line(2, "#0800100000000000000000000000000000000000E8"),
         "2418.eep line 2: byte count 08, should be 10"},
        {with_line(2, "#10001002FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFEE"),
         "2418.eep line 2: record type 02, should be 00"},
        // A lone CR is no line end: it stays in the line, which the read never writes.
        {with_line(2, record(0x10, ff) + "\r"), "2418.eep line 2: byte 0D at column 44"},
        {"", "2418.eep: the file is empty"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(first_problem(c.content), c.problem);
    }
    // The model comes from the name: a 644 board needs twice as many.
    EXPECT_EQ(first_problem(good, "6418.eep"),
              "6418.eep line 65: 64 records, a 644 board needs 128");
    EXPECT_EQ(
        first_problem(good, "7428.eep"),
        "7428.eep: the name does not begin with 24, 64 or 88, so the board's size is unknown");
    // Far too large for a backup.
    EXPECT_EQ(first_problem(QByteArray(10 * 1024 * 1024, '#')),
              "2418.eep: more than 1048576 bytes: far too large for a backup");

    // Later problems are kept too, each with its line; after a wrong address the count goes
    // on from the address found.
    const Image_read read = read_image(with_line(41, record(0x290, ff)), "2418.eep");
    ASSERT_EQ(read.problems.size(), 2u);
    EXPECT_EQ(read.problems[1], (Image_problem{42, "address 0290, expected 02A0"}));
    // A faulty file still shows what its records hold, at their own addresses; the record
    // never given reads as erased.
    EXPECT_EQ(read.bytes.mid(0x290, 16), backup_images::pattern(1024, 2).mid(0x290, 16));
    EXPECT_EQ(read.bytes.mid(0x280, 16), QByteArray(16, char(0xFF)));
}

TEST(Image_diff, RunsCountsAndTheVerdictLine) {
    QByteArray file = backup_images::pattern(1024, 3);
    QByteArray board = file;
    const Image_diff same = diff_images(file, board);
    EXPECT_TRUE(same.same());
    EXPECT_EQ(same.compared, 1024);
    EXPECT_EQ(compare_verdict("2418.eep", file, board, same),
              "Board matches 2418.eep: 1024 bytes identical.");

    file[0x123] = char(0x5A);
    board[0x123] = char(0x00);
    board[0x124] = char(~file[0x124]);
    board[0x3FF] = char(~file[0x3FF]);
    const Image_diff diff = diff_images(file, board);
    EXPECT_EQ(diff.runs, (std::vector<Diff_run>{{0x123, 2}, {0x3FF, 1}}));
    EXPECT_EQ(diff.bytes, 3);
    EXPECT_EQ(diff.records, 2);
    EXPECT_EQ(compare_verdict("/x/2418.eep", file, board, diff),
              "Board differs from 2418.eep: 3 bytes in 2 records, first at 0123 (file 5A, board "
              "00).");
    EXPECT_EQ(diff.run_at_or_after(0), 0u);
    EXPECT_EQ(diff.run_at_or_after(0x124), 0u);
    EXPECT_EQ(diff.run_at_or_after(0x125), 1u);
    EXPECT_EQ(diff.run_at_or_after(0x400), 2u);

    // One byte: singular words. A shorter image differs in every byte it lacks.
    board = file;
    board[0x10] = char(~file[0x10]);
    EXPECT_EQ(compare_verdict("2418.eep", file, board, diff_images(file, board)),
              "Board differs from 2418.eep: 1 byte in 1 record, first at 0010 (file " +
                  QByteArray(1, file[0x10]).toHex().toUpper() + ", board " +
                  QByteArray(1, board[0x10]).toHex().toUpper() + ").");
    const Image_diff shorter = diff_images(file, file.left(1000));
    EXPECT_EQ(shorter.runs, (std::vector<Diff_run>{{1000, 24}}));
    EXPECT_EQ(shorter.records, 2);
    EXPECT_TRUE(compare_verdict("2418.eep", file, file.left(1000), shorter)
                    .endsWith("first at 03E8 (file " + QByteArray(1, file[1000]).toHex().toUpper() +
                              ", board none)."));
}
