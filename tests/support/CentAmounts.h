#pragma once

#include <QString>
#include <QVector>

#include <cstdint>
#include <random>

// Many figures of two decimals drawn from a seeded generator, and their exact
// sum worked in whole cents: what a totals row of them must show. Added as
// plain doubles, such figures leave noise in the 15th digit of their sum.
// Seeds whose 1,500 figures add up to a plain double sum with visible noise.
inline constexpr std::uint32_t kNoisySeeds[] = {4, 13, 22};

struct CentAmounts {
    QVector<double> values;
    QString sum;  // the exact sum as a plain number text: "756844.99", "12.5", "7"
};

inline CentAmounts centAmounts(int count, std::uint32_t seed)
{
    std::mt19937 draw(seed);
    CentAmounts amounts;
    std::int64_t cents = 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t c = 1 + std::int64_t(draw() % 99999);  // 0.01 .. 999.99
        cents += c;
        amounts.values.append(double(c) / 100.0);
    }
    QString text = QString::number(cents / 100) + QLatin1Char('.') +
                   QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    amounts.sum = text;
    return amounts;
}
