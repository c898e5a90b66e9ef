// Running totals as decimals: DecimalSum and the SQL decimal_sum of every
// connection add the same figures to the same total.
#include "support/CentAmounts.h"
#include "support/TestBook.h"

#include "db/Database.h"
#include "db/DecimalSum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct SumCase {
    const char *name;
    std::vector<double> figures;
    double total;
};

std::vector<double> plus(std::vector<double> figures, int times, double figure)
{
    figures.insert(figures.end(), times, figure);
    return figures;
}

const std::vector<SumCase> &sumCases()
{
    static const std::vector<SumCase> cases = {
        {"plain decimals", {0.1, 0.2}, 0.3},
        {"decimals to nothing", {0.1, 0.2, -0.3}, 0},
        {"cents onto a large total", {756844.98, 0.01}, 756844.99},
        {"halves that cancel", {1.005, 2.675, -3.68}, 0},
        {"whole and half", {2, 3.5, -1}, 4.5},
        // Figures that cancel leave exactly what remains.
        {"gain and loss", {12.50, -12.49}, 0.01},
        {"a tenth over a hundred", {100.1, -100}, 0.1},
        {"a large figure out again", {98765432.10, 0.05, -98765432.10}, 0.05},
        {"noise of a figure is not counted", {0.1 + 0.2, -0.3}, 0},
        // Small figures are not lost in a large total.
        {"thousandths onto 1e12", plus({1e12}, 1000, 0.001), 1000000000001},
        {"cents onto 1e13", plus({1e13}, 1000, 0.04), 10000000000040},
        {"fifteen digits exactly", {999999999999990, 9.5, -0.5}, 999999999999999},
        // Where the rule stops: a total shows 15 significant digits (a double
        // holds no more), so 1e16 + 1 is 1e16.
        {"beyond 15 digits", {1e16, 1}, 1e16},
        {"rounded at the 15th digit", {999999999999999, 0.5}, 1e15},
        // and its exact total holds 37 digits: a figure 40 places below the
        // others is rounded away.
        {"figures 40 places apart", {1e20, 1e-20, -1e20}, 0},
        {"nothing", {}, 0},
    };
    return cases;
}

double viaDecimalSum(const std::vector<double> &figures)
{
    db::DecimalSum sum;
    for (double f : figures)
        sum.add(f);
    return sum.value();
}

TEST(DecimalSum, TotalIsTheExactDecimalSumOfItsFigures)
{
    for (const SumCase &c : sumCases())
        EXPECT_EQ(viaDecimalSum(c.figures), c.total) << c.name;

    for (std::uint32_t seed : kNoisySeeds) {
        const CentAmounts amounts = centAmounts(1500, seed);
        const std::vector<double> figures(amounts.values.begin(), amounts.values.end());
        EXPECT_EQ(viaDecimalSum(figures), amounts.sum.toDouble()) << "seed " << seed;
        // The figures are ones whose plain double sum shows noise in the 15
        // digits a total shows; else they would prove nothing.
        double plain = 0;
        for (double f : figures)
            plain += f;
        EXPECT_NE(QString::number(plain, 'g', 15), amounts.sum) << "seed " << seed;
    }

    EXPECT_EQ(db::addDecimal(12.5, -12.49), 0.01);
    EXPECT_EQ(db::addDecimal(100.1, -100), 0.1);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(viaDecimalSum({1, inf, 2}), inf);
    EXPECT_TRUE(std::isnan(viaDecimalSum({inf, -inf})));
}

// Every connection the program opens has the SQL functions: a second
// connection opened on its own, not only the module's.
TEST(DecimalSum, SqlDecimalSumAddsAsDecimalSumOnEveryConnection)
{
    TestBook book;
    db::Database other;
    ASSERT_TRUE(other.open(book.bookPath())) << other.lastError().toStdString();
    ASSERT_TRUE(other.exec(QStringLiteral("create temp table figures (x real)")));

    auto sqlSum = [&](const std::vector<double> &figures) {
        other.exec(QStringLiteral("delete from figures"));
        db::Transaction tx(other);
        for (double f : figures)
            other.exec(QStringLiteral("insert into figures values (?)"), {f});
        tx.commit();
        bool ok = false;
        const QVariant total = other.scalar(QStringLiteral("select decimal_sum(x) from figures"), {}, &ok);
        EXPECT_TRUE(ok) << other.lastError().toStdString();
        return total;
    };
    for (const SumCase &c : sumCases()) {
        const QVariant total = sqlSum(c.figures);
        if (c.figures.empty())
            EXPECT_TRUE(total.isNull()) << "no figures sum to Null";
        else
            EXPECT_EQ(total.toDouble(), c.total) << c.name;
    }
    const CentAmounts amounts = centAmounts(1500, kNoisySeeds[0]);
    EXPECT_EQ(sqlSum({amounts.values.begin(), amounts.values.end()}).toDouble(), amounts.sum.toDouble());

    // Null figures are skipped, as sum() skips them; decimal_value reads a
    // figure at its 15 digits.
    EXPECT_EQ(other.scalar(QStringLiteral("select decimal_sum(x) from (select 12.5 as x union all select null "
                                          "union all select -12.49)")).toDouble(),
              0.01);
    EXPECT_EQ(other.scalar(QStringLiteral("select decimal_value(0.3 - 0.2) = 0.1")).toInt(), 1);
    EXPECT_EQ(other.scalar(QStringLiteral("select datediff('d', '2026-03-01', '2026-03-09')")).toInt(), 8);
}

// A plain decimal text adds what the number it reads as adds; any other text
// is left to the caller.
TEST(DecimalSum, PlainTextAddsAsTheNumberItReadsAs)
{
    const std::vector<std::u16string> plain = {u"12.50", u"-12.49", u"0.10", u"1200", u"007", u"5.", u".5",
                                               u"-0.00", u"999999999999999", u"123456789012.345", u"-0.000001",
                                               u"98765432.10", u"0.1", u"0.2"};
    db::DecimalSum fromText;
    db::DecimalSum fromNumbers;
    for (const std::u16string &text : plain) {
        EXPECT_TRUE(fromText.addPlainText(text)) << QString::fromStdU16String(text).toStdString();
        fromNumbers.add(QString::fromStdU16String(text).toDouble());
        EXPECT_EQ(fromText.value(), fromNumbers.value()) << QString::fromStdU16String(text).toStdString();
    }
    for (const std::u16string_view text : {u"", u"-", u".", u"1e5", u"100 盒", u"1,234", u" 5", u"1.2.3",
                                           u"1234567890123456", u"+5", u"１２"})
        EXPECT_FALSE(fromText.addPlainText(text)) << QString::fromUtf16(text.data(), text.size()).toStdString();
    EXPECT_EQ(fromText.value(), fromNumbers.value());
}

// A figure's 15 digits are those printf's "%.14e" writes, also where its
// shortest text is longer (0.1 + 0.2), near a power of ten, for halves and
// for the smallest and largest doubles.
TEST(DecimalSum, DigitsOfAFigureAreThoseOfPrintf)
{
    std::vector<double> values = {0.1 + 0.2, 1.005, 2.675, 999999999999999.4, 999999999999999.5,
                                  9.999999999999995, 1e15, 123456789012345678.0, 0.5, -3.68, 1e-300,
                                  std::numeric_limits<double>::denorm_min(), 5e-310,
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::min()};
    std::mt19937_64 random(20261211);
    for (int i = 0; i < 20000; ++i) {
        // Cents of every size, and doubles of any bits.
        values.push_back(double(std::int64_t(random() % 2000000000000) - 1000000000000) / 100);
        const std::uint64_t bits = random();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any) && any != 0)
            values.push_back(any);
    }
    for (double value : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.14e", value);
        const db::DecimalDigits d = db::decimalDigits(value);
        char shown[64];
        std::snprintf(shown, sizeof shown, "%s%c.%.14se%+03d", d.negative ? "-" : "", d.digits[0], d.digits + 1,
                      d.exponent);
        ASSERT_STREQ(shown, expected);
    }
}

} // namespace
