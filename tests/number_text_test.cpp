#include <gtest/gtest.h>

#include <limits>

#include "serial/number_text.h"

TEST(NumberText, LeadingNumberSkipsBlanksAndStopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(leading_number("3"), 3);
    EXPECT_EQ(leading_number("  9600abc"), 9600);
    EXPECT_EQ(leading_number("96 00"), 9600);
    EXPECT_EQ(leading_number(""), 0);
    EXPECT_EQ(leading_number("abc"), 0);
    EXPECT_EQ(leading_number("-5x"), -5);
    EXPECT_EQ(leading_number("2.5"), 2.5);
    EXPECT_EQ(leading_number("3    Last selected CommPort Number."), 3);
    EXPECT_EQ(leading_number("1e3"), 1000);
    EXPECT_EQ(leading_number("12e"), 12);
}

TEST(NumberText, NumberTextFormWritesPlainDecimalWithoutLeadingBlank) {
    EXPECT_EQ(number_text_form("3"), "3");
    EXPECT_EQ(number_text_form(" 9600abc "), "9600");
    EXPECT_EQ(number_text_form(""), "0");
    EXPECT_EQ(number_text_form("-7"), "-7");
    EXPECT_EQ(number_text_form("2.5"), "2.5");
}

TEST(NumberText, TheTextOfANumberReadsBackAsThatNumberUpToTheLargest) {
    // Fifteen digits would round the largest numbers up beyond the range of a double, and
    // their text would read back as 0.
    const double largest = std::numeric_limits<double>::max();
    for (double value : {largest, -largest, 1.7976931348623155e308}) {
        const QString text = number_to_text(value);
        EXPECT_EQ(leading_number(text), value) << text.toStdString();
        EXPECT_EQ(number_text_form(text), text);
    }
    EXPECT_EQ(number_text_form("1.7976931348623157e308"), "1.7976931348623157e+308");
    // Everywhere else fifteen digits, as before.
    EXPECT_EQ(number_to_text(1.797693134862315e308), "1.79769313486231e+308");
    EXPECT_EQ(number_to_text(1.5e300), "1.5e+300");
    EXPECT_EQ(number_to_text(0.1 + 0.2), "0.3");
    EXPECT_EQ(number_to_text(1e15), "1e+15");
    EXPECT_EQ(number_to_text(-2.5), "-2.5");
}

TEST(NumberText, RangeCheckRoundsHalvesToEven) {
    EXPECT_FALSE(com_number_out_of_range("16"));
    EXPECT_TRUE(com_number_out_of_range("17"));
    EXPECT_FALSE(com_number_out_of_range("16.5"));  // 16, the even neighbour
    EXPECT_TRUE(com_number_out_of_range("16.51"));
    EXPECT_TRUE(com_number_out_of_range("17.5"));   // 18
    EXPECT_FALSE(com_number_out_of_range("-0.5"));  // -0
    EXPECT_TRUE(com_number_out_of_range("-1"));
    EXPECT_FALSE(com_number_out_of_range(""));
    EXPECT_FALSE(com_number_out_of_range("abc"));
    EXPECT_FALSE(com_number_out_of_range("0"));
    EXPECT_TRUE(com_number_out_of_range("20"));
    EXPECT_EQ(round_half_even(2.5), 2);
    EXPECT_EQ(round_half_even(3.5), 4);
    EXPECT_EQ(round_half_even(-2.5), -2);
}

TEST(NumberText, BaudCycleWithLeadingBlank) {
    const char* cycle[] = {"2400", "4800", "9600", "19200", "38400", "57600", "115200", "2400"};
    for (int i = 0; i + 1 < 8; ++i) {
        EXPECT_EQ(next_baud_rate_text(cycle[i]).value(), QString(" ") + cycle[i + 1]);
    }
    EXPECT_EQ(next_baud_rate_text("").value(), " 0");
    EXPECT_EQ(next_baud_rate_text(" 0").value(), " 0");
    EXPECT_EQ(next_baud_rate_text("1200").value(), " 1200");
    EXPECT_EQ(next_baud_rate_text(" 9600").value(), " 19200");
    EXPECT_EQ(next_baud_rate_text("9599.5").value(), " 19200");  // rounds to 9600 first
    EXPECT_FALSE(next_baud_rate_text("99999999999").has_value());
}
