#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "eeprom/dump_line.h"
#include "tests/support/qt_printers.h"

using namespace eep;

namespace {
const QString kGood = "#000102030405060708090A0B0C0D0E0F78";  // sum 0x78

// A second, plain reading of the line rule to compare the checker with.
struct Expected {
    bool well_formed;
    char16_t offending;
};
Expected plain_rule(const std::u16string& line) {
    const auto digit = [](char16_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    for (std::size_t i = 0; i < 35; ++i) {
        if (i >= line.size()) return {false, u' '};
        const bool ok = i == 0 ? line[i] == u'#' : digit(line[i]);
        if (!ok) return {false, line[i]};
    }
    if (line.size() > 35) return {false, line[35]};
    return {true, u' '};
}
}  // namespace

TEST(Dump_line, WholeUpperCaseLinesPassAndCarryBothSums) {
    Dump_line_check c = check_dump_line(kGood);
    EXPECT_TRUE(c.well_formed);
    EXPECT_EQ(c.data_sum, 0x78);
    EXPECT_EQ(c.line_sum, 0x78);
    EXPECT_TRUE(c.sum_matches());

    // 00..0F with 77: well formed, but the sum is wrong (78 expected).
    c = check_dump_line(QStringLiteral("#000102030405060708090A0B0C0D0E0F77"));
    EXPECT_TRUE(c.well_formed);
    EXPECT_EQ(c.line_sum, 0x77);
    EXPECT_EQ(c.data_sum, 0x78);
    EXPECT_FALSE(c.sum_matches());

    // The plain sum wraps at 256: sixteen FF add up to 0xFF0, kept as F0.
    c = check_dump_line(QStringLiteral("#") + QString("FF").repeated(16) + "F0");
    EXPECT_TRUE(c.sum_matches());
    c = check_dump_line(QStringLiteral("#") + QString("00").repeated(16) + "00");
    EXPECT_TRUE(c.sum_matches());
}

TEST(Dump_line, TheFirstCharacterOutOfPlaceIsReported) {
    struct Case {
        QString line;
        QChar offending;
    };
    QString lower = kGood;
    lower[21] = 'a';
    QString colon = kGood;
    colon[5] = ':';
    QString at = kGood;
    at[34] = '@';  // in the sum field
    QString below_zero = kGood;
    below_zero[2] = '/';
    QString blank = kGood;
    blank[9] = ' ';
    QString g = kGood;
    g[3] = 'G';
    QString two_bad = kGood;
    two_bad[7] = 'x';
    two_bad[8] = 'y';
    const Case cases[] = {
        {lower, 'a'},
        {colon, ':'},
        {at, '@'},
        {below_zero, '/'},
        {blank, ' '},
        {g, 'G'},
        {two_bad, 'x'},
        {kGood.left(34), ' '},  // one digit short: the missing one counts as a blank
        {kGood.left(1), ' '},
        {QString(), ' '},
        {kGood + "0", '0'},  // one too many: the extra one
        {kGood + QChar(0xBE), QChar(0xBE)},
        {QStringLiteral("#\u00BE"), QChar(0xBE)},  // a sign-on line
        {"$" + kGood.mid(1), '$'},
        {"#" + kGood.mid(1).toLower(), 'a'},
    };
    for (const Case& c : cases) {
        const Dump_line_check check = check_dump_line(c.line);
        EXPECT_FALSE(check.well_formed) << c.line.toStdString();
        EXPECT_FALSE(check.sum_matches());
        EXPECT_EQ(check.offending, c.offending) << c.line.toStdString();
    }
}

TEST(Dump_line, AgreesWithAPlainReadingOfTheRuleOnRandomLines) {
    std::mt19937 rng(20261209);
    const std::u16string alphabet = u"0123456789ABCDEFabcdef#:@/ GZ\u00BE\r\u0000";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> damage(0, 3);
    int well_formed = 0;
    for (int n = 0; n < 20000; ++n) {
        // Mostly good lines with a little damage, so both outcomes are common.
        std::u16string line = kGood.toStdU16String();
        std::generate(line.begin(), line.end(), [&] { return u"0123456789ABCDEF"[rng() % 16]; });
        line[0] = u'#';
        const int hits = damage(rng);
        for (int h = 0; h < hits; ++h) line[rng() % line.size()] = alphabet[pick(rng)];
        if (rng() % 4 == 0) line.resize(std::size_t(length(rng)), u'0');
        const Expected want = plain_rule(line);
        const Dump_line_check got = check_dump_line(QString::fromStdU16String(line));
        ASSERT_EQ(got.well_formed, want.well_formed)
            << QString::fromStdU16String(line).toStdString();
        if (!want.well_formed) {
            ASSERT_EQ(got.offending.unicode(), want.offending);
            continue;
        }
        ++well_formed;
        int sum = 0;
        for (int i = 1; i < 33; i += 2)
            sum += std::stoi(std::string(line.begin() + i, line.begin() + i + 2), nullptr, 16);
        ASSERT_EQ(got.data_sum, sum % 256);
        ASSERT_EQ(got.line_sum, std::stoi(std::string(line.begin() + 33, line.end()), nullptr, 16));
    }
    EXPECT_GT(well_formed, 2000);
    EXPECT_LT(well_formed, 18000);
}
