#include "platform/NumberText.h"
#include "platform/RowText.h"

#include <gtest/gtest.h>

// Cells decode as QString::fromUtf8 does: Chinese, a character beyond the
// basic plane, a leading byte-order mark (dropped; kept inside a text),
// broken sequences (replaced).
TEST(RowText, DecodesEveryCellAsFromUtf8Does)
{
    const QByteArray cells[] = {
        "G0001",        "\xE8\xB4\xA7\xE5\x93\x81", "\xF0\x9F\x98\x80x", "\xEF\xBB\xBF" "abc",
        "ab\xC3",       "\xC3(x",                   "a\xED\xA0\x80z",    "",
        "\xFF\xFE",   "a\xEF\xBB\xBF" "b",
    };
    const int n = int(std::size(cells));
    TextRows rows(n);
    RowText row;
    for (int round = 0; round < 2; ++round) {  // the buffer is reused row after row
        for (const QByteArray &cell : cells)
            row.addUtf8(cell);
        row.appendTo(rows);
    }
    ASSERT_EQ(rows.size(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < n; ++c)
            EXPECT_EQ(rows.cell(r, c).toString(), QString::fromUtf8(cells[c])) << "row " << r << " cell " << c;
}

TEST(RowText, NumbersReadAsNumToTextAndRowsArePaddedOrCut)
{
    const double values[] = {0, -0.0, 0.5, -0.25, 12, 3.1, 10.3 - 10.2, 1e-5, 123456789012345678.0, -1234.5678,
                             1.0 / 3, 99999999999999.9};
    TextRows rows(3);
    RowText row;
    for (double value : values) {
        row.add(u"价");
        row.addNumber(value);
        row.appendTo(rows);
    }
    row.addUtf8("only");
    row.appendTo(rows);
    for (const char16_t *cell : {u"1", u"22", u"333", u"cut"})
        row.add(cell);
    row.appendTo(rows);
    ASSERT_EQ(rows.size(), int(std::size(values)) + 2);
    for (int r = 0; r < int(std::size(values)); ++r)
        EXPECT_EQ(rows[r], (QStringList{"价", numtext::numToText(values[r]), ""})) << values[r];
    EXPECT_EQ(rows[rows.size() - 2], (QStringList{"only", "", ""}));
    EXPECT_EQ(rows.last(), (QStringList{"1", "22", "333"}));
}
