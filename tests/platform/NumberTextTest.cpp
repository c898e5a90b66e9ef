#include "platform/NumberText.h"

#include <gtest/gtest.h>

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

TEST(NumberText, GeneralTextAndNumToText)
{
    struct Case {
        double value;
        const char *general;
        const char *num;
    } cases[] = {
        {0.5, ".5", "0.5"},     {-0.25, "-.25", "-0.25"},  {-0.5, "-.5", "-0.5"},
        {12, "12", "12"},       {3.10, "3.1", "3.1"},      {0, "0", "0"},
        {10.3 - 10.2, ".100000000000001", "0.100000000000001"},
        {1e-5, "1E-05", "1E-05"}, {123456789012345678.0, "1.23456789012346E+17", "1.23456789012346E+17"},
        {-1234.5678, "-1234.5678", "-1234.5678"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(generalText(c.value).toStdString(), c.general);
        EXPECT_EQ(numToText(c.value).toStdString(), c.num);
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
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, QString::fromLatin1(c.pattern)).toStdString(), c.text)
            << c.value << " " << c.pattern;
    EXPECT_DOUBLE_EQ(roundDecimal(2.675, 2), 2.68);
}
