#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "serial/failures.h"
#include "tests/support/qt_printers.h"
#include "upload/file_lines.h"
#include "upload/hardware_id.h"

namespace {
QList<QByteArray> all_lines(const QByteArray& content, int* counted = nullptr) {
    QBuffer buffer;
    buffer.setData(content);
    EXPECT_TRUE(buffer.open(QIODevice::ReadOnly));
    if (counted) *counted = count_lines(buffer);
    EXPECT_EQ(buffer.pos(), 0);
    Line_reader reader(buffer);
    QList<QByteArray> lines;
    while (!reader.at_end()) lines << reader.next_line();
    return lines;
}
}  // namespace

TEST(Hardware_id, TheTwoCheckedIdsNeedTheFileMadeForThemTheOthersTakeAnyFile) {
    using V = Hardware_id_verdict;
    EXPECT_EQ(check_hardware_id("#2400", "2400"), V::matched);
    EXPECT_EQ(check_hardware_id("#8002", "8002"), V::matched);
    EXPECT_EQ(check_hardware_id("#2400", "24xx"), V::mismatched);
    EXPECT_EQ(check_hardware_id("#2400", ""), V::mismatched);
    EXPECT_EQ(check_hardware_id("#2400", "8800"), V::mismatched);
    EXPECT_EQ(check_hardware_id("#8002", "2400"), V::mismatched);
    EXPECT_EQ(check_hardware_id("#8002", "800"), V::mismatched);
    for (const char* id : {"#2418", "#2428", "#6418", "#8800", "#2818", "#2928"}) {
        EXPECT_EQ(check_hardware_id(id, ""), V::accepted) << id;
        EXPECT_EQ(check_hardware_id(id, "2400"), V::accepted) << id;
    }
    // Exactly the whole reply: nothing before, after or in another case.
    for (const char* reply :
         {"", "#", "#$", "#2418 ", " #2418", "#24180", "#2419", "2418", "#0000"}) {
        EXPECT_EQ(check_hardware_id(reply, "2418"), V::not_an_id) << reply;
    }
}

TEST(Hardware_id, FileIdIsTheNamesFirstFourCharactersWithoutTheFolder) {
    EXPECT_EQ(file_id_of("8800.upd"), "8800");
    EXPECT_EQ(file_id_of("/tmp/upd files/8002abc.upd"), "8002");
    EXPECT_EQ(file_id_of("24.e"), "24.e");
    EXPECT_EQ(file_id_of("abc"), "abc");
    EXPECT_EQ(file_id_of(""), "");
    EXPECT_EQ(leading_digits_value("2400"), 2400);
    EXPECT_EQ(leading_digits_value("24xx"), 24);
    EXPECT_EQ(leading_digits_value("x2400"), 0);
    EXPECT_EQ(leading_digits_value(" 240"), 0);
    EXPECT_EQ(leading_digits_value(""), 0);
    EXPECT_EQ(leading_digits_value("99999999999999"), 999999999);  // no overflow
}

TEST(Line_reader, LinesEndAtCrLfCrOrLfAndKeepTheirBytes) {
    int counted = -1;
    EXPECT_EQ(all_lines("A\r\nB\rC\nD", &counted), (QList<QByteArray>{"A", "B", "C", "D"}));
    EXPECT_EQ(counted, 4);
    // Empty lines, a final line end, LF CR (two line ends), 8-bit bytes.
    EXPECT_EQ(all_lines("\r\n\r\nx\r\n", &counted), (QList<QByteArray>{"", "", "x"}));
    EXPECT_EQ(counted, 3);
    EXPECT_EQ(all_lines("a\n\rb", &counted), (QList<QByteArray>{"a", "", "b"}));
    EXPECT_EQ(counted, 3);
    EXPECT_EQ(all_lines(QByteArray("\xE9\x00\xFF\r", 4), &counted),
              (QList<QByteArray>{QByteArray("\xE9\x00\xFF", 3)}));
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(all_lines("", &counted), QList<QByteArray>{});
    EXPECT_EQ(counted, 0);
    EXPECT_EQ(all_lines("\r", &counted), QList<QByteArray>{""});
    EXPECT_EQ(counted, 1);
    // Lines longer than the reader's chunk, and a CR LF split between two chunks.
    const QByteArray long_line(300, 'q'), chunk_less_one(255, 'k');
    EXPECT_EQ(all_lines(long_line + "\r\nz"), (QList<QByteArray>{long_line, "z"}));
    EXPECT_EQ(all_lines(chunk_less_one + "\r\ny\r" + long_line),
              (QList<QByteArray>{chunk_less_one, "y", long_line}));
}

TEST(Line_reader, AClosedFileFailsInsteadOfLookingFinished) {
    QTemporaryDir dir;
    QFile file(dir.filePath("2418.eep"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#00000001FF\r\n");
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    Line_reader reader(file);
    EXPECT_EQ(count_lines(file), 1);
    EXPECT_EQ(reader.next_line(), "#00000001FF");
    EXPECT_TRUE(reader.at_end());
    file.close();
    EXPECT_THROW(reader.at_end(), Runtime_failure);
    EXPECT_THROW(reader.next_line(), Runtime_failure);
}
