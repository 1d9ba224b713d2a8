// The settings file "vimbo.set": reading any content, and saving and reading back.
//
// Input: the content of a settings file. It is read as the start-up reads it; what was read
// is saved and read again; and its first three lines also serve as the texts of the three
// setting boxes for a save.
#include "app/settings_lines.h"
#include "console/example_rows.h"
#include "fuzz/fuzz_check.h"
#include "serial/number_text.h"

namespace {

bool is_trimmed(const QString& text) {
    return !text.startsWith(QLatin1Char(' ')) && !text.endsWith(QLatin1Char(' '));
}

void check_read(const QStringList& lines, const Settings_read& read) {
    FUZZ_CHECK(read.lines_read == std::min<qsizetype>(lines.size(), 3));
    FUZZ_CHECK(read.complete() == (read.lines_read == 3));
    if (read.lines_read >= 1) {
        // The same number text form as the port box.
        FUZZ_CHECK(read.Com_number == number_text_form(lines[0]));
        FUZZ_CHECK(read.port_named == (leading_number(lines[0].trimmed()) > 0));
    }
    if (read.lines_read >= 2) {
        FUZZ_CHECK(read.Baud_rate == number_text_form(lines[1]));
        FUZZ_CHECK(read.baud_named == (leading_number(lines[1].trimmed()) > 0));
    }
    if (read.lines_read >= 3) {
        FUZZ_CHECK(read.Module_id.size() <= 4 && is_trimmed(read.Module_id));
        FUZZ_CHECK(lines[2].left(4).contains(read.Module_id));
    }
}

Settings_read read_back(const QByteArray& text) {
    const QStringList lines = split_settings_lines(text);
    const Settings_read read = settings_from_lines(lines);
    check_read(lines, read);
    return read;
}

// The file a save writes: each value, its comment and CR LF; one byte per character.
void check_saved_text(const Settings_to_save& values, const QByteArray& text) {
    FUZZ_CHECK(text == (values.Com_number + kComNumberComment + "\r\n" + values.Baud_rate +
                        kBaudRateComment + "\r\n" + values.Module_id + kModuleIdComment + "\r\n")
                           .toLatin1());
}

// The boxes as typed, saved and read at the next start: the numbers come back in their
// number text form, the engine id as its first four characters, blanks trimmed.
void check_save_from_boxes(const QString& com_box, const QString& baud_box,
                           const QString& module_box) {
    const Settings_to_save values = settings_from_boxes(com_box, baud_box, module_box);
    FUZZ_CHECK(values.Com_number == trim_blanks(com_box) &&
               values.Baud_rate == trim_blanks(baud_box) && values.Module_id == module_box);
    const QByteArray text = settings_file_text(values);
    check_saved_text(values, text);
    const Settings_read read = read_back(text);
    FUZZ_CHECK(read.complete());
    FUZZ_CHECK(read.Com_number == number_text_form(com_box));
    FUZZ_CHECK(read.port_named == (leading_number(com_box.trimmed()) > 0));
    FUZZ_CHECK(read.Baud_rate == number_text_form(baud_box));
    FUZZ_CHECK(read.baud_named == (leading_number(baud_box.trimmed()) > 0));
    FUZZ_CHECK(read.Module_id == trim_blanks(module_box.left(4)));
    if (module_box.size() <= 4 && is_trimmed(module_box)) FUZZ_CHECK(read.Module_id == module_box);
}

// What a start-up read, put back into the boxes and saved, reads the same at the next start.
void check_saved_again(const Settings_read& first) {
    if (!first.complete()) return;
    const Settings_to_save values =
        settings_from_boxes(first.Com_number, first.Baud_rate, first.Module_id);
    const Settings_read second = read_back(settings_file_text(values));
    FUZZ_CHECK(second.complete());
    FUZZ_CHECK(second.Com_number == first.Com_number && second.port_named == first.port_named);
    FUZZ_CHECK(second.Baud_rate == first.Baud_rate && second.baud_named == first.baud_named);
    FUZZ_CHECK(second.Module_id == first.Module_id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    // The settings and the examples file split lines by the same rule.
    const QStringList all_lines = file_lines(content);
    for (int max_lines = 0; max_lines <= 4; ++max_lines) {
        FUZZ_CHECK(split_settings_lines(content, max_lines) == all_lines.mid(0, max_lines));
    }
    const Settings_read read = read_back(content);
    check_saved_again(read);
    check_save_from_boxes(all_lines.value(0), all_lines.value(1), all_lines.value(2));
    return 0;
}
