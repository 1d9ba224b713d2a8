#pragma once
#include <QString>
#include <optional>

// The value of the leading decimal number of a text: blanks before and inside the number
// are skipped, the number ends at the first other character, no number gives 0.
double leading_number(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour.
double round_half_even(double value);

// Number to text: decimal digits, no leading blank, "-" before negatives.
QString number_to_text(double value);

// The form the port boxes are turned into: trimmed, leading number, written back as text.
QString number_text_form(const QString& box_text);

// Port number box rule: true when the rounded leading number is below 0 or above 16.
bool com_number_out_of_range(const QString& box_text);

// The baud box after a double click: the next rate of the cycle, or the same value, written
// with one leading blank. No value when the number does not fit in 32 bits.
std::optional<QString> next_baud_rate_text(const QString& box_text);
