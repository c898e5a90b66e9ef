#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <random>
#include <string>
#include <vector>

using namespace numtext;

TEST(NumberText, LeadingNumber)
{
    const std::pair<const char *, double> cases[] = {
        {"12.5kg", 12.5}, {"abc", 0}, {"", 0}, {"  -3", -3}, {".5", 0.5}, {"-.25x", -0.25},
        {"1e3", 1000}, {"2e", 2}, {"+7", 7}, {".", 0}, {"-", 0}, {"NoFound", 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(text)), value) << text;
}

// A figure between -1 and 1 is written with its zero before the point.
TEST(NumberText, NumToTextWritesTheZeroBeforeThePoint)
{
    const std::pair<double, const char *> cases[] = {
        {0.5, "0.5"},  {-0.25, "-0.25"}, {-0.5, "-0.5"}, {0.125, "0.125"}, {-0.32, "-0.32"},
        {12, "12"},    {3.10, "3.1"},    {0, "0"},       {10.3 - 10.2, "0.100000000000001"},
        {1e-5, "1E-05"}, {123456789012345678.0, "1.23456789012346E+17"}, {-1234.5678, "-1234.5678"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(numToText(value).toStdString(), text);
}

// numToText is printf's "%.15G" with the zero before the point kept; short
// decimals (prices, quantities) take a quicker path that must give the same
// text, and everything else must too.
TEST(NumberText, NumToTextIsPrintfGeneralForm)
{
    const auto printfText = [](double value) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15G", value);
        return std::string(buffer);
    };
    std::vector<double> values = {1e-4, -1e-4, 0.00012, 9.99999e-5, 0.1, 0.7, 1.005, 2.675, 3.10, 12.5,
                                  99999999999999.9, 999999999999999, 1e15, 123456789.123456, 0.1 + 0.2,
                                  1.0 / 3, 2.0 / 3, 4503599627370497.0, 1e300, -7.25e-9};
    std::mt19937_64 random(16);
    std::uniform_int_distribution<long long> digits(-99999999999, 99999999999);
    for (int i = 0; i < 20000; ++i) {
        const double scale[] = {1, 10, 100, 1000, 1e4, 1e5, 1e6, 1e7, 1e9};
        values.push_back(double(digits(random)) / scale[i % std::size(scale)]);
        values.push_back(std::ldexp(double(digits(random)), int(i % 80) - 60));
    }
    for (double value : values) {
        ASSERT_EQ(numToText(value).toStdString(), printfText(value)) << std::setprecision(17) << value;
    }
}

TEST(NumberText, FormatRoundsHalfAwayFromZeroOnTheDecimalValue)
{
    struct Case {
        double value;
        const char *pattern;
        const char *text;
    } cases[] = {
        {2.675, "#0.00", "2.68"},   {-2.675, "#0.00", "-2.68"}, {1.005, "#0.00", "1.01"},
        {0.5, "#0", "1"},           {-0.5, "#0", "-1"},         {2.5, "#0", "3"},
        {0, "#0.00", "0.00"},       {-0.001, "#0.00", "0.00"},  {9.995, "#0.00", "10.00"},
        {1234567.891, "#,##0.00", "1,234,567.89"}, {0.004, "#0.00", "0.00"}, {0.005, "#0.00", "0.01"},
        {12, "#0.00000000", "12.00000000"}, {1e-12, "#0.000000000", "0.000000000"},
        {123.456, "#0", "123"}, {99.5, "#0", "100"},
        {-0.0, "#0.00", "0.00"}, {0, "#0", "0"}, {-0.0, "#,##0.000", "0.000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, QString::fromLatin1(c.pattern)).toStdString(), c.text)
            << c.value << " " << c.pattern;
    EXPECT_DOUBLE_EQ(roundDecimal(2.675, 2), 2.68);
}

// The list texts written without allocations are the texts of the QString
// functions, also where the money text is read back from a grouped pattern.
TEST(NumberText, CharsAreTheTextsOfTheStringFunctions)
{
    const double values[] = {0,       -0.0,    0.5,       -0.25,   2.675,   -2.675, 1.005,   9.995,  0.004,
                             0.005,   12,      1234567.891, -1234567.891, 1e-5, 1e-12, 999999999999999.9,
                             1e15,    -1e15,   123456789012345678.0, 1e300, 10.3 - 10.2, 0.1 + 0.2, 99.5,
                             0.0001, -0.00005, 0.00012345, 123456789012345.67, -99999999999999.99, 100, 0.1};
    const char *patterns[] = {"#0", "#0.00", "#0.000", "#0.0000", "#0.00000", "#,##0.00", "#0.00000000"};
    for (const double value : values) {
        EXPECT_EQ(QString(numToChars(value).view()), numToText(value)) << value;
        for (const char *pattern : patterns) {
            const QString p = QString::fromLatin1(pattern);
            EXPECT_EQ(QString(roundedChars(value, NumberPattern(p)).view()),
                      numToText(leadingNumber(formatNumber(value, p))))
                << value << " " << pattern;
        }
    }
    EXPECT_EQ(QString(roundedChars(1234567.891, NumberPattern(QStringLiteral("#,##0.00"))).view()), u"1");
    EXPECT_EQ(QString(roundedChars(-2.675, NumberPattern(QStringLiteral("#0.00"))).view()), u"-2.68");
    EXPECT_EQ(QString(roundedChars(1e-5, NumberPattern(QStringLiteral("#0.00000"))).view()), u"1E-05");
    EXPECT_EQ(QString(integerChars(-9007199254740993LL).view()), u"-9007199254740993");
}

// roundedChars writes most amounts straight from their fixed text and goes
// through numToChars only where the text would take the exponent form; over
// random values of every size and decimal count it must give the text of
// the string functions.
TEST(NumberText, RoundedCharsAreTheFormattedNumbersWrittenAgain)
{
    std::vector<NumberPattern> patterns;
    std::vector<QString> patternTexts;
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const QString pattern = decimals ? QStringLiteral("#0.") + QString(decimals, QLatin1Char('0'))
                                         : QStringLiteral("#0");
        patternTexts.push_back(pattern);
        patternTexts.push_back(QLatin1String("#,##") + pattern);
    }
    for (const QString &pattern : patternTexts)
        patterns.emplace_back(pattern);

    std::mt19937_64 random(25);
    std::uniform_int_distribution<long long> digits(-999999999999999, 999999999999999);
    std::uniform_int_distribution<int> digitCount(1, 17);
    std::uniform_int_distribution<int> tenPower(-22, 22);
    std::uniform_int_distribution<int> twoPower(-75, 75);
    const auto randomValue = [&](int kind) {
        long long mantissa = digits(random);
        switch (kind) {
        case 0:  // decimals as typed: a few digits over a power of ten
            mantissa %= static_cast<long long>(std::pow(10.0, digitCount(random)));
            return double(mantissa) / std::pow(10.0, std::abs(tenPower(random)) % 12);
        case 1:  // any size, around the exponent form's thresholds too
            return double(mantissa) * std::pow(10.0, tenPower(random) - 15);
        default:  // binary fractions of every size
            return std::ldexp(double(mantissa), twoPower(random) - 50);
        }
    };
    constexpr int kValues = 3000000;
    for (int i = 0; i < kValues; ++i) {
        const double value = randomValue(i % 3);
        const std::size_t p = std::size_t(i) % patterns.size();
        ASSERT_EQ(QString(roundedChars(value, patterns[p]).view()).toStdString(),
                  numToText(leadingNumber(formatNumber(value, patternTexts[p]))).toStdString())
            << std::setprecision(17) << value << " " << patternTexts[p].toStdString();
    }
}

TEST(NumberText, WrittenTextsAreTheFormattedTextsAndReadAsTheirValues)
{
    // Long lists write each number's text into a row and keep the value that
    // text reads as: both must be what formatNumber / numToText
    // and leadingNumber give apart.
    struct Fixed {
        double value;
        int decimals;
        const char *text;
    } fixedCases[] = {
        {2.675, 2, "2.68"},     {-1.005, 2, "-1.01"},    {0.005, 2, "0.01"},        {-0.005, 2, "-0.01"},
        {-0.004, 2, "0.00"},    {0.125, 2, "0.13"},      {99.5, 0, "100"},          {-2.5, 0, "-3"},
        {0.1 + 0.2, 3, "0.300"}, {1234567.891, 2, "1234567.89"}, {9.995, 2, "10.00"}, {1e-12, 4, "0.0000"},
        {99999999999999.995, 2, "100000000000000.00"}, {1e20, 2, "100000000000000000000.00"},
        {123456789.123456789, 8, "123456789.12345700"}, {std::nan(""), 2, "0.00"},
    };
    for (const auto &c : fixedCases) {
        const QString pattern = c.decimals ? QStringLiteral("#0.") + QString(c.decimals, QLatin1Char('0'))
                                           : QStringLiteral("#0");
        EXPECT_EQ(formatNumber(c.value, pattern).toStdString(), c.text) << c.value;
        EXPECT_EQ(formatDecimals(pattern), c.decimals);
        const NumberChars fixed = formatChars(c.value, c.decimals, false);
        EXPECT_EQ(QString(fixed.view()).toStdString(), c.text) << c.value;
        const double shown = fixed.leadingNumber();
        EXPECT_EQ(shown, leadingNumber(QString::fromLatin1(c.text))) << c.value;
        EXPECT_EQ(roundDecimal(c.value, c.decimals), shown) << c.value;
        const NumberChars amount = roundedChars(c.value, NumberPattern(c.decimals, false));
        EXPECT_EQ(amount.leadingNumber(), shown) << c.value;
        EXPECT_EQ(QString(amount.view()), numToText(shown)) << c.value;
    }
    QString amounts;
    for (double v : {9.995, 2.5, -0.004, 0.00005, 1234.5678})
        amounts += QLatin1Char('|') + QString(roundedChars(v, NumberPattern(v == 0.00005 ? 5 : 2, false)).view());
    EXPECT_EQ(amounts.toStdString(), "|10|2.5|0|5E-05|1234.57");

    const std::pair<double, const char *> numCases[] = {
        {0.1 + 0.2, "0.3"}, {-0.5, "-0.5"}, {10.3 - 10.2, "0.100000000000001"},
        {7.0000005, "7.0000005"}, {1e-5, "1E-05"}, {-2e15, "-2E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {0, "0"}, {HUGE_VAL, "0"}, {-0.0, "0"},
        {12345, "12345"}, {-7, "-7"}, {999999999999999, "999999999999999"},
    };
    for (const auto &[value, text] : numCases) {
        EXPECT_EQ(numToText(value).toStdString(), text);
        const NumberChars num = numToChars(value);
        EXPECT_EQ(num.leadingNumber(), leadingNumber(QString::fromLatin1(text))) << text;
        EXPECT_EQ(QString(num.view()).toStdString(), text);
    }
    // The value read back is the 15-digit value, not the number as given.
    EXPECT_EQ(numToChars(10.3 - 10.2).leadingNumber(), 0.100000000000001);
    EXPECT_EQ(db::roundSignificant(10.3 - 10.2), 0.100000000000001);
    EXPECT_EQ(db::roundSignificant(-1.0 / 3), -0.333333333333333);
}

TEST(NumberText, ReadNumberRefusesWhatCannotBeStored)
{
    const std::pair<const char *, bool> cases[] = {
        {"12.5", true},       {"abc", true},  {"-999999999999999", true}, {"1e309", false}, {"-1e309", false},
        {"1e400", false},     {"1e999", false}, {"-1e308", false},        {"1e15", false},  {"-1e15", false},
        {"9.99e14", true},    {"1e-400", true},
    };
    for (const auto &[text, storable] : cases) {
        double value = -1;
        EXPECT_EQ(readNumber(QString::fromUtf8(text), value), storable) << text;
        EXPECT_EQ(value, leadingNumber(QString::fromUtf8(text))) << text;
    }
    EXPECT_TRUE(unstorableMessage(QStringLiteral("数量")).startsWith(QStringLiteral("数量：")));
    EXPECT_TRUE(unstorableMessage(QStringLiteral("数量")).contains(QStringLiteral("1000000000000000")));
}

TEST(NumberText, TypedNumberReadsThousandsSeparatorsOnlyInTheirPlaces)
{
    struct Case {
        const char *text;
        double value;
        bool plain;  // every reader takes the text as the number it shows
    };
    const Case cases[] = {
        {"1,234.50", 1234.5, false},    {"12,345", 12345, false},         {"1,234,567.8", 1234567.8, false},
        {" -1,234 ", -1234, false},     {"+999,999.5", 999999.5, false},  {"1234.5", 1234.5, true},
        {" 2.50 ", 2.5, true},          {"", 0, true},                    {".5", 0.5, true},
        {"1e3", 1000, true},
        // misplaced separators are no grouping: the number ends at the comma
        {"1,23", 1, false},             {"12,3456", 12, false},           {"1234,567", 1234, false},
        {"1,234,56", 1, false},         {"0,123", 0, false},              {"1,,234", 1, false},
        {"1,234.5,6", 1234.5, false},   {",123", 0, false},
        // other texts read as leadingNumber reads them
        {"12abc", 12, false},           {"1,234kg", 1234, false},         {"abc", 0, false},
        {"-", 0, false},                {"1e", 1, false},
        // full-width forms, as a Chinese input method types them, read as their narrow forms
        {"１２３", 123, false},        {"－１，２３４．５", -1234.5, false}, {"\u3000１２．５\u3000", 12.5, false},
        {"１２ａｂｃ", 12, false},     {"ａｂｃ", 0, false},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(typedNumber(text), c.value) << c.text;
        EXPECT_EQ(isPlainNumber(text), c.plain) << c.text;
        if (c.plain) {
            EXPECT_EQ(leadingNumber(text), c.value) << c.text;
        }
        double read = -1;
        EXPECT_TRUE(readNumber(text, read)) << c.text;
        EXPECT_EQ(read, c.value) << c.text;
    }
}

TEST(NumberText, QuantityTextKeepsUpToFiveDecimalsElseThree)
{
    const std::pair<double, const char *> cases[] = {
        {40.125, "40.125"}, {10, "10"},          {0.5, "0.5"},          {-2.5, "-2.5"},  {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333"}, {2.0 / 3, "0.667"},  {1.123456, "1.123"},   {1e-7, "0.000"}, {12.34567, "12.34567"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(quantityText(value), text) << value;
}

TEST(NumberText, ResidueIsRelativeToTheOperands)
{
    struct Case {
        double value, scale;
        bool residue;
    } cases[] = {
        {0.1 + 0.2 - 0.3, 0.3, true},
        {10000000.1 + 0.2 - 10000000.3, 10000000.3, true},
        {1e-7, 10000000.3, false},  // the seventh decimal is a real digit at this size
        {1e-9, 1, true},
        {2e-9, 1, false},
        {0.5, 1e13, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isResidue(c.value, c.scale), c.residue) << c.value << " at " << c.scale;
    EXPECT_TRUE(notAbove(0.2, 0.3 - 0.1, 0.3));
    EXPECT_FALSE(notAbove(0.21, 0.3 - 0.1, 0.3));
}

TEST(NumberText, ExactDifferenceDropsTheNoiseOfTheOperands)
{
    const std::tuple<double, double, double> cases[] = {
        {10.3, 0.1, 10.2},  {9.874, 10.125, -0.251}, {10.1, 10, 0.1},     {5e-05, 0, 5e-05},
        {3e-05, 1e-05, 2e-05}, {123.45, 1e-06, 123.449999}, {1e19, 1, 1e19}, {0.3, 0.3, 0},
    };
    for (auto [a, b, expected] : cases)
        EXPECT_EQ(exactDifference(a, b), expected) << a << " - " << b;
}

TEST(NumberText, QuantityTextsWithExponentOrSixDecimalsNeedThree)
{
    const std::pair<const char *, bool> cases[] = {
        {"7.0000005", true}, {"-1.234567", true}, {"1E-05", true}, {"1.5E+20", true},
        {"0.12345", false},  {"12", false},       {"-.5", false},  {"", false},
    };
    for (auto [text, needed] : cases) {
        EXPECT_EQ(needsThreeDecimals(QLatin1StringView(text)), needed) << text;
        EXPECT_EQ(needsThreeDecimals(QString::fromLatin1(text)), needed) << text;
    }
}
