// The number text form of the port boxes and the baud rate cycle, on any box text.
//
// Input: one option byte, then the box text (8-bit, or UTF-16 when the option's low bit is
// set, since a box can hold any character typed). The first eight bytes of the text are
// also read as a double, to check the number-to-text direction on every value.
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "serial/number_text.h"

namespace {

constexpr std::array kCycle{2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Plain decimal text as the tool writes numbers: no blank, "-" before negatives, "0" for
// zero, digits with an optional fraction and exponent.
bool is_number_text(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(0|-?[1-9][0-9]*|-?[0-9]+\\.[0-9]+|-?[0-9](\\.[0-9]+)?e[-+][0-9]+)$"));
    return form.match(text).hasMatch();
}

// Values written with 15 significant digits come back within that precision. Below the
// normal range the digits left are fewer; there only closeness in absolute terms counts.
bool same_value(double written, double read_back) {
    if (written == read_back) return true;
    if (std::fabs(written) < DBL_MIN) return std::fabs(read_back - written) < DBL_MIN;
    return std::fabs(read_back - written) <= 1e-14 * std::fabs(written);
}

int cycle_index(double rate) {
    for (std::size_t k = 0; k < kCycle.size(); ++k) {
        if (kCycle[k] == rate) return int(k);
    }
    return -1;
}

void check_number_to_text(double value) {
    if (!std::isfinite(value)) return;
    const QString text = number_to_text(value);
    FUZZ_CHECK(is_number_text(text));
    const double back = leading_number(text);
    if (value == std::trunc(value) && std::fabs(value) < 1e15) FUZZ_CHECK(back == value);
    FUZZ_CHECK(same_value(value, back));
    // The text of a text is itself.
    FUZZ_CHECK(number_to_text(back) == text);
}

void check_box_text(const QString& box) {
    const double value = leading_number(box);
    FUZZ_CHECK(std::isfinite(value));
    // The number ends at the first other character: what follows never counts.
    FUZZ_CHECK(leading_number(box + QLatin1Char('x') + box) == value);
    FUZZ_CHECK(leading_number(box + QLatin1String("    Last selected Baud Rate.")) == value);

    const QString form = number_text_form(box);
    FUZZ_CHECK(is_number_text(form));
    FUZZ_CHECK(number_text_form(form) == form);
    FUZZ_CHECK(same_value(leading_number(box.trimmed()), leading_number(form)));

    // A port box the range check lets stand gives the opening a port number 0 to 16,
    // after the number text form and the rounding.
    if (!com_number_out_of_range(box)) {
        const double port = round_half_even(leading_number(form));
        FUZZ_CHECK(port >= 0 && port <= 16);
    }

    // The double click: the next rate of the cycle or the same whole number, one blank
    // before it; nothing only when the number does not fit in 32 bits.
    const double rounded = round_half_even(leading_number(box.trimmed()));
    FUZZ_CHECK(rounded == std::trunc(rounded));
    const bool fits = rounded >= INT32_MIN && rounded <= INT32_MAX;
    const std::optional<QString> next = next_baud_rate_text(box);
    FUZZ_CHECK(next.has_value() == fits);
    if (!next) return;
    FUZZ_CHECK(next->startsWith(QLatin1Char(' ')) && !next->startsWith(QLatin1String("  ")));
    const QString digits = next->mid(1);
    FUZZ_CHECK(is_number_text(digits) && !digits.contains(QLatin1Char('.')) &&
               !digits.contains(QLatin1Char('e')));
    const double shown = leading_number(*next);
    const int k = cycle_index(rounded);
    if (k >= 0) {
        FUZZ_CHECK(shown == kCycle[(std::size_t(k) + 1) % kCycle.size()]);
        // Seven more double clicks go once round the cycle.
        QString again = *next;
        for (std::size_t n = 0; n < kCycle.size(); ++n) again = next_baud_rate_text(again).value();
        FUZZ_CHECK(again == *next);
    } else {
        FUZZ_CHECK(shown == rounded);
        FUZZ_CHECK(next_baud_rate_text(*next) == next);  // a rate off the cycle stays
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool wide = data[0] & 1;
    const QString box = wide ? fuzz_utf16(data + 1, size - 1) : fuzz_latin1(data + 1, size - 1);
    check_box_text(box);
    if (size >= 1 + sizeof(double)) {
        double value;
        std::memcpy(&value, data + 1, sizeof value);
        check_number_to_text(value);
    }
    return 0;
}
