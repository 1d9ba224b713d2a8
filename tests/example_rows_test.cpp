#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>

#include "app/control_table.h"
#include "console/example_rows.h"
#include "tests/support/qt_printers.h"

TEST(Example_rows, FileNameIsTheTrimmedEngineIdAndCmdTxt) {
    EXPECT_EQ(examples_file_name("MC39"), "MC39_cmd.txt");
    EXPECT_EQ(examples_file_name("  M35 "), "M35_cmd.txt");
    EXPECT_EQ(examples_file_name(""), "_cmd.txt");
    EXPECT_EQ(trim_blanks("  a b  "), "a b");
    EXPECT_EQ(trim_blanks("\ta\t"), "\ta\t");  // only blanks are trimmed
    EXPECT_EQ(trim_blanks("   "), "");
}

TEST(Example_rows, ModeDigitComesFromTheExactColour) {
    EXPECT_EQ(mode_digit_for(colors::kRed), QChar('1'));
    EXPECT_EQ(mode_digit_for(colors::kBlue), QChar('2'));
    EXPECT_EQ(mode_digit_for(QColor(254, 0, 0)), std::nullopt);
    EXPECT_EQ(mode_digit_for(QColor(0, 0, 254)), std::nullopt);
    EXPECT_EQ(mode_digit_for(QColor(255, 0, 0, 128)), std::nullopt);
    EXPECT_EQ(mode_digit_for(QApplication::palette().color(QPalette::Base)), std::nullopt);
    EXPECT_EQ(mode_digit_for(QColor()), std::nullopt);
}

TEST(Example_rows, EveryKindOfLineEndEndsOneLine) {
    EXPECT_EQ(file_lines("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(file_lines("a\r\n\r\nb\r\n"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(file_lines("\n\r"), (QStringList{"", ""}));  // LF CR: two ends
    EXPECT_EQ(file_lines(""), QStringList{});
    EXPECT_EQ(file_lines("\xe9t\xe9"), QStringList{QString::fromLatin1("\xe9t\xe9")});
}

TEST(Example_rows, TheDigitAndOneSeparatorAreDroppedAndTheRestTrimmed) {
    const QChar at('1');
    EXPECT_EQ(list_row("1 AT+CSQ          Signal", at), "AT+CSQ          Signal");
    EXPECT_EQ(list_row("   1   AT+CSQ   ", at), "AT+CSQ");
    EXPECT_EQ(list_row("1AT+CSQ", at), "T+CSQ");  // the character after the digit always goes
    EXPECT_EQ(list_row("1\tAT", at), "AT");
    EXPECT_EQ(list_row("1", at), "");
    EXPECT_EQ(list_row("  1  ", at), "");
    EXPECT_EQ(list_row("12", at), "");
    EXPECT_EQ(list_row("2 6157 s", at), std::nullopt);
    EXPECT_EQ(list_row("; 1 comment", at), std::nullopt);
    EXPECT_EQ(list_row("", at), std::nullopt);
    EXPECT_EQ(list_row("\t1 AT", at), std::nullopt);  // a tab is not a blank
    EXPECT_EQ(list_row("2 6157 s     Status", QChar('2')), "6157 s     Status");
}

TEST(Example_rows, RowsOfATrickyFileInFileOrder) {
    const QByteArray file =
        "; notes are never shown\r\n"
        "1 * AT commands\r"         // CR only
        "1 AT+CSQ        Signal\n"  // LF only
        "2 6157 s        Status\r\n"
        "1\r\n"  // the digit alone: an empty row
        "1AT+CREG?       Registration\r\n"
        "   1   ATI            Ident   \r\n"
        "\r\n"
        "2 ! note for PC mode\r\n"
        "1 ! last, no line end";
    EXPECT_EQ(list_rows(file, '1'), (QStringList{"* AT commands", "AT+CSQ        Signal", "",
                                                 "T+CREG?       Registration",
                                                 "ATI            Ident", "! last, no line end"}));
    EXPECT_EQ(list_rows(file, '2'), (QStringList{"6157 s        Status", "! note for PC mode"}));
}

TEST(Example_rows, RowsSplitAtTheFirstThreeBlanksFromCharacterTwelve) {
    using K = Row_parts::Kind;
    auto expect_example = [](const QString& row, const QString& command,
                             const QString& description) {
        const Row_parts parts = split_list_row(row);
        EXPECT_EQ(parts.kind, K::example) << row.toStdString();
        EXPECT_EQ(parts.text, command) << row.toStdString();
        EXPECT_EQ(parts.description, description) << row.toStdString();
    };
    auto expect_nothing = [](const QString& row) {
        EXPECT_EQ(split_list_row(row).kind, K::nothing) << row.toStdString();
    };
    expect_example("AT+CSQ          Signal quality", "AT+CSQ", "Signal quality");
    expect_example("  6157 s        Status   of the board  ", "6157 s", "Status   of the board");
    // Blanks before character 12 belong to the command.
    expect_example("AT   CSQ       x", "AT   CSQ", "x");
    // The run begins exactly at character 12, or one character too early.
    expect_example("ABCDEFGHIJK   d", "ABCDEFGHIJK", "d");
    expect_nothing("ABCDEFGHIJ   d");
    expect_nothing("AT   x");
    expect_nothing("AT+CSQ  two blanks only");
    expect_nothing("");
    expect_nothing("     ");
    // The description is what follows the first of the three blanks, trimmed.
    expect_example("ABCDEFGHIJKL     far", "ABCDEFGHIJKL", "far");
    // The farthest split position is 255.
    expect_example(QString(254, 'C') + "   d", QString(254, 'C'), "d");
    expect_nothing(QString(255, 'C') + "   d");
    expect_nothing(QString(300, 'C') + "   d");

    for (const char* heading : {"* AT commands", "!note   with        blanks", "   *x", "!"}) {
        const Row_parts parts = split_list_row(heading);
        EXPECT_EQ(parts.kind, K::heading) << heading;
        EXPECT_EQ(parts.text, trim_blanks(heading));
    }
    EXPECT_TRUE(is_heading_row("*"));
    EXPECT_FALSE(is_heading_row("A*"));
}

// The files that ship with the program lie beside it (and beside this test) in the build.
TEST(Example_rows, ShippedFilesHaveCrLfEndsAndEveryRowTakesApart) {
    const QDir bin(QCoreApplication::applicationDirPath());
    const QStringList names = bin.entryList({"*_cmd.txt"}, QDir::Files, QDir::Name);
    EXPECT_TRUE(names.contains("M35_cmd.txt"));
    EXPECT_TRUE(names.contains("MC39_cmd.txt"));
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(bin.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        ASSERT_TRUE(content.endsWith("\r\n"));
        EXPECT_EQ(content.count('\r'), content.count("\r\n"));
        EXPECT_EQ(content.count('\n'), content.count("\r\n"));
        for (const QChar digit : {QChar('1'), QChar('2')}) {
            const QStringList rows = list_rows(content, digit);
            EXPECT_GE(rows.size(), 10);
            for (const QString& row : rows) {
                const Row_parts parts = split_list_row(row);
                ASSERT_NE(parts.kind, Row_parts::Kind::nothing) << row.toStdString();
                if (parts.kind == Row_parts::Kind::heading) continue;
                EXPECT_FALSE(parts.description.isEmpty()) << row.toStdString();
                EXPECT_TRUE(parts.text.startsWith(digit == '1' ? "AT" : "6157 "))
                    << row.toStdString();
            }
        }
        EXPECT_TRUE(
            list_rows(content, '1')
                .contains(QStringLiteral(
                    "AT+CSQ                  Signal quality: rssi 0..31 (99 unknown), ber")));
        const QStringList pc_rows = list_rows(content, '2');
        EXPECT_TRUE(std::any_of(pc_rows.begin(), pc_rows.end(), [](const QString& row) {
            return split_list_row(row).text == "6157 s";
        }));
    }
}
