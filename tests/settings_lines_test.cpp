#include <gtest/gtest.h>

#include <random>

#include "app/settings_lines.h"
#include "serial/number_text.h"
#include "tests/support/qt_printers.h"

TEST(Settings_lines, TheThreeLinesCarryTheValuesAsTypedWithTheirCommentsAndCrLf) {
    EXPECT_EQ(settings_file_text(settings_from_boxes("3", "9600", "M35")),
              QByteArray("3    Last selected CommPort Number.\r\n"
                         "9600    Last selected Baud Rate.\r\n"
                         "M35    Last selected GSM Engine.\r\n"));
    // Port and rate are trimmed of blanks only and kept as typed; the engine id is untrimmed.
    const Settings_to_save typed = settings_from_boxes("  03 ", " 9600abc", " MC39i  ");
    EXPECT_EQ(typed.Com_number, "03");
    EXPECT_EQ(typed.Baud_rate, "9600abc");
    EXPECT_EQ(typed.Module_id, " MC39i  ");
    EXPECT_EQ(settings_file_text(typed), QByteArray("03    Last selected CommPort Number.\r\n"
                                                    "9600abc    Last selected Baud Rate.\r\n"
                                                    " MC39i      Last selected GSM Engine.\r\n"));
    // Empty boxes: each line is its comment alone, beginning with its four blanks.
    EXPECT_EQ(settings_file_text(settings_from_boxes("", "   ", "")),
              QByteArray("    Last selected CommPort Number.\r\n"
                         "    Last selected Baud Rate.\r\n"
                         "    Last selected GSM Engine.\r\n"));
    // A tab is not a blank; one byte per character, '?' outside the 8-bit range.
    EXPECT_EQ(trim_blanks("\t3 "), "\t3");
    EXPECT_TRUE(settings_file_text({"1", "2", QString::fromUtf8("W\u00e9\u20ac")})
                    .endsWith("\r\nW\xe9?    Last selected GSM Engine.\r\n"));
}

TEST(Settings_lines, LinesEndAtCrLfCrOrLfAndTheLastNeedsNoLineEnd) {
    EXPECT_EQ(split_settings_lines(""), QStringList{});
    EXPECT_EQ(split_settings_lines("\r\n"), QStringList{""});
    EXPECT_EQ(split_settings_lines("3\r\n9600\r\nM35\r\n"), (QStringList{"3", "9600", "M35"}));
    EXPECT_EQ(split_settings_lines("3\n9600\rM35"), (QStringList{"3", "9600", "M35"}));
    EXPECT_EQ(split_settings_lines("3\n\r9600"), (QStringList{"3", "", "9600"}));
    EXPECT_EQ(split_settings_lines("a\r\n\r\nb\r\nc\r\nd"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(split_settings_lines("a\r\nb\r\nc\r\nd", 4), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(split_settings_lines(QByteArray("\xff\0x", 3)),
              QStringList{QString::fromLatin1("\xff\0x", 3)});
}

TEST(Settings_lines, ReadingTakesLeadingNumbersAndFourCharactersOfTheEngine) {
    Settings_read r = settings_from_lines({"3    Last selected CommPort Number.",
                                           "9600    Last selected Baud Rate.",
                                           "MC39i    Last selected GSM Engine."});
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.Com_number, "3");
    EXPECT_TRUE(r.port_named);
    EXPECT_EQ(r.Baud_rate, "9600");
    EXPECT_TRUE(r.baud_named);
    EXPECT_EQ(r.Module_id, "MC39");

    // Empty values: the numbers read as 0 and name nothing; the engine is empty.
    r = settings_from_lines({"    Last selected CommPort Number.", "    Last selected Baud Rate.",
                             "    Last selected GSM Engine."});
    EXPECT_EQ(r.lines_read, 3);
    EXPECT_EQ(r.Com_number, "0");
    EXPECT_FALSE(r.port_named);
    EXPECT_EQ(r.Baud_rate, "0");
    EXPECT_FALSE(r.baud_named);
    EXPECT_EQ(r.Module_id, "");

    // The four characters are cut first, then trimmed; numbers as the boxes take them.
    r = settings_from_lines({" 0 3x", "-9600", "  M35    Last selected GSM Engine."});
    EXPECT_EQ(r.Com_number, "3");
    EXPECT_TRUE(r.port_named);
    EXPECT_EQ(r.Baud_rate, "-9600");
    EXPECT_FALSE(r.baud_named);
    EXPECT_EQ(r.Module_id, "M3");
    r = settings_from_lines({"20", "1.5e3", "W2"});
    EXPECT_EQ(r.Com_number, "20");
    EXPECT_TRUE(r.port_named);
    EXPECT_EQ(r.Baud_rate, "1500");
    EXPECT_EQ(r.Module_id, "W2");
    r = settings_from_lines({"COM3", "0.4", "\tW2\t"});
    EXPECT_EQ(r.Com_number, "0");
    EXPECT_FALSE(r.port_named);
    EXPECT_EQ(r.Baud_rate, "0.4");
    EXPECT_TRUE(r.baud_named);  // above 0, even if no port takes it
    EXPECT_EQ(r.Module_id, "\tW2\t");

    // Short files stop where they end.
    r = settings_from_lines({"5    Last selected CommPort Number."});
    EXPECT_EQ(r.lines_read, 1);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(r.Com_number, "5");
    EXPECT_TRUE(r.port_named);
    EXPECT_EQ(r.Baud_rate, "");
    r = settings_from_lines({"5", "9600"});
    EXPECT_EQ(r.lines_read, 2);
    EXPECT_EQ(r.Baud_rate, "9600");
    EXPECT_EQ(r.Module_id, "");
    EXPECT_EQ(settings_from_lines({}).lines_read, 0);
}

TEST(Settings_lines, WhatAStartReadIsSavedAndReadTheSameAgain) {
    const QStringList files[] = {
        {"3    Last selected CommPort Number.", "9600    Last selected Baud Rate.", "MC39i"},
        {" 0 3x", "1.5e3", "  M35"},
        // The largest number there is: its text once read back as 0 and named no port.
        {"1.7976931348623157e308", "-1.7976931348623157e308", "W218"},
    };
    for (const QStringList& lines : files) {
        SCOPED_TRACE(lines.join('|').toStdString());
        const Settings_read first = settings_from_lines(lines);
        const Settings_read again = settings_from_lines(split_settings_lines(settings_file_text(
            settings_from_boxes(first.Com_number, first.Baud_rate, first.Module_id))));
        ASSERT_TRUE(again.complete());
        EXPECT_EQ(again.Com_number, first.Com_number);
        EXPECT_EQ(again.port_named, first.port_named);
        EXPECT_EQ(again.Baud_rate, first.Baud_rate);
        EXPECT_EQ(again.baud_named, first.baud_named);
        EXPECT_EQ(again.Module_id, first.Module_id);
    }
    EXPECT_TRUE(settings_from_lines(files[2]).port_named);
}

namespace {

// Texts a technician might type, and some nobody would.
QString random_text(std::mt19937& rng, int max_len) {
    static const QString alphabet =
        QString::fromUtf8("0123456789      ..--++eE\tabcLMWi#,;\u00e9\u00ff\u20ac\u00a0");
    std::uniform_int_distribution<int> len(0, max_len);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    QString text;
    for (int n = len(rng); n > 0; --n) text += alphabet[pick(rng)];
    return text;
}

}  // namespace

TEST(Settings_lines, WhatIsSavedIsWhatTheNextStartReads) {
    std::mt19937 rng(20260);
    for (int i = 0; i < 20000; ++i) {
        const QString com = random_text(rng, 8), baud = random_text(rng, 10),
                      engine = random_text(rng, 7);
        const Settings_to_save saved = settings_from_boxes(com, baud, engine);
        const QByteArray text = settings_file_text(saved);
        const Settings_read read = settings_from_lines(split_settings_lines(text));
        ASSERT_TRUE(read.complete()) << text.toStdString();
        // Characters outside the 8-bit range come back as '?', as they were written.
        const auto as_written = [](const QString& s) { return QString::fromLatin1(s.toLatin1()); };
        ASSERT_EQ(read.Com_number, number_text_form(as_written(saved.Com_number)))
            << text.toStdString();
        ASSERT_EQ(read.port_named, leading_number(as_written(saved.Com_number).trimmed()) > 0);
        ASSERT_EQ(read.Baud_rate, number_text_form(as_written(saved.Baud_rate)))
            << text.toStdString();
        ASSERT_EQ(read.Module_id, trim_blanks((as_written(engine) + kModuleIdComment).left(4)));
    }
}

TEST(Settings_lines, AnyBytesReadWithoutHarmAsFarAsTheyGo) {
    std::mt19937 rng(77);
    std::uniform_int_distribution<int> byte(0, 255), len(0, 200), kind(0, 3);
    for (int i = 0; i < 20000; ++i) {
        QByteArray content;
        for (int n = len(rng); n > 0; --n) {
            // Line ends and digits often, so that every stage of the read is reached.
            const int k = kind(rng);
            content.append(k == 0   ? "\r\n"[byte(rng) % 2]
                           : k == 1 ? char('0' + byte(rng) % 10)
                                    : char(byte(rng)));
        }
        const QStringList lines = split_settings_lines(content);
        ASSERT_LE(lines.size(), 3);
        const Settings_read read = settings_from_lines(lines);
        ASSERT_EQ(read.lines_read, lines.size());
        ASSERT_LE(read.Module_id.size(), 4);
        ASSERT_EQ(read.Module_id, trim_blanks(read.Module_id));
        if (read.lines_read >= 1) {
            // The text form reads back as the same number.
            ASSERT_EQ(number_text_form(read.Com_number), read.Com_number);
            ASSERT_EQ(read.port_named, leading_number(read.Com_number) > 0);
        }
    }
}
