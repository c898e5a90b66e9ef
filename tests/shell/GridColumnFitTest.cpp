// The column fit measures what a column shows, not the texts it keeps.
#include "platform/GridModel.h"
#include "shell/GridColumnFit.h"
#include "support/ColumnFitChecks.h"

#include <QTableView>
#include <gtest/gtest.h>

namespace {

// Thirty long fractions shown with three decimals ("0.333") and one wide
// figure: the widest shown text is the figure, though its own text is the
// shortest. The columns start narrow, as a layout squeezed by names leaves them.
TEST(GridColumnFit, AColumnWithADisplayRuleFitsItsWidestShownText)
{
    struct Case {
        const char *name;
        void (*rule)(GridModel &, int);
        const char *shownWide;
    } cases[] = {
        {"quantity", [](GridModel &g, int c) { g.setColQuantityDisplay(c); }, "12345678.5"},
        {"pattern", [](GridModel &g, int c) { g.setColDisplayPattern(c, QStringLiteral("#0.00")); }, "12345678.50"},
    };
    for (const Case &c : cases) {
        GridModel model(2);
        model.setCaptions({QStringLiteral("数量"), QStringLiteral("名称")});
        QVector<QStringList> rows(30, {QStringLiteral("0.333333333333333"), QStringLiteral("甲")});
        rows.append({QStringLiteral("12345678.5"), QStringLiteral("乙")});
        model.setDataRows(rows);
        c.rule(model, 0);
        QTableView grid;
        grid.setModel(&model);
        grid.resize(600, 1400);  // every row in view, so Qt's own measure sees them all
        grid.show();
        for (int col : {0, 1})
            grid.setColumnWidth(col, 20);
        FitColumnsToTexts(&grid);
        ASSERT_EQ(model.index(30, 0).data().toString(), QString::fromLatin1(c.shownWide)) << c.name;
        EXPECT_GE(grid.columnWidth(0), grid.fontMetrics().horizontalAdvance(QString::fromLatin1(c.shownWide)))
            << c.name;
        expectNoTextCut(&grid, {0});
    }
}

// The width the grid itself finds for column c: its widest cell in view or
// its caption, whichever is wider.
int measuredWidth(QTableView &grid, int c)
{
    return qMax(static_cast<QAbstractItemView &>(grid).sizeHintForColumn(c),
                grid.horizontalHeader()->sectionSizeHint(c));
}

// Each column starts narrow and gets exactly the width the grid's own
// measure finds: figures, codes, quantities with their unit, and a name with
// room to spare.
TEST(GridColumnFit, ColumnsGetTheWidthTheGridItselfMeasures)
{
    const QStringList captions{QStringLiteral("数量"), QStringLiteral("日期"), QStringLiteral("货品编码"),
                               QStringLiteral("库存"), QStringLiteral("货品名称"), QStringLiteral("x")};
    const QVector<QStringList> rows{
        {QStringLiteral("1234567.125"), QStringLiteral("2024-12-11"), QStringLiteral("GJ-2026-1234567-ABCDEFGHI"),
         QStringLiteral("1234567.125 盒"), QStringLiteral("不锈钢内六角圆柱头螺钉 M3x12"), QStringLiteral("WWWMMM")},
        {QStringLiteral("-0.5"), QStringLiteral("2024-02-29"), QStringLiteral("iiil1111"), QStringLiteral("40 个"),
         QStringLiteral("螺母"), QStringLiteral("ffiifl")},
    };
    GridModel model(int(captions.size()));
    model.setCaptions(captions);
    model.setDataRows(rows);
    QTableView grid;
    grid.setModel(&model);
    grid.resize(1280, 400);
    grid.show();
    for (int c = 0; c < captions.size(); ++c)
        grid.setColumnWidth(c, 20);
    FitColumnsToTexts(&grid);
    for (int c = 0; c < captions.size(); ++c)
        EXPECT_EQ(grid.columnWidth(c), measuredWidth(grid, c)) << "column " << c;
}

// A grid of one code column, laid out narrower than its code.
struct CodeGrid {
    GridModel model{1};
    QTableView grid;
    CodeGrid()
    {
        model.setCaptions({QStringLiteral("货品编码")});
        model.setDataRows(QVector<QStringList>{{QStringLiteral("GJ-2026-1234567")}});
        grid.setModel(&model);
        grid.resize(800, 400);
        grid.setColumnWidth(0, 60);
    }
};

// A grid laid out before it ever shows measures nothing then, and is
// fitted, from its layout's widths, when it first shows.
TEST(GridColumnFit, AGridLaidOutBeforeItShowsIsFittedWhenItShows)
{
    CodeGrid g;
    FitColumnsToTexts(&g.grid);
    EXPECT_EQ(g.grid.columnWidth(0), 60) << "fitted while never shown";
    g.grid.show();
    EXPECT_EQ(g.grid.columnWidth(0), measuredWidth(g.grid, 0));
}

// A grid on show cleared and filled anew under a hold keeps its widths while
// held and is fitted to the new rows when the hold ends.
TEST(GridColumnFit, AGridFilledUnderAHoldIsFittedToItsNewRowsWhenTheHoldEnds)
{
    CodeGrid g;
    g.grid.show();
    FitColumnsToTexts(&g.grid);
    const int fitted = g.grid.columnWidth(0);
    {
        ColumnFitHold hold(&g.grid);
        g.model.clearRows();
        g.model.setDataRows(QVector<QStringList>{{QStringLiteral("GJ-2026-1234567-ABCDEFGHI-0001")}});
        EXPECT_EQ(g.grid.columnWidth(0), fitted) << "fitted while held";
    }
    EXPECT_GT(g.grid.columnWidth(0), fitted);
    EXPECT_EQ(g.grid.columnWidth(0), measuredWidth(g.grid, 0));
}

// Widths are kept while the font stays: a grid given a larger font is
// fitted to its texts in that font when it is laid out again.
TEST(GridColumnFit, AGridGivenALargerFontIsFittedInThatFont)
{
    CodeGrid g;
    g.grid.show();
    FitColumnsToTexts(&g.grid);
    const int fitted = g.grid.columnWidth(0);
    QFont larger = g.grid.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    g.grid.setFont(larger);
    g.grid.setColumnWidth(0, 60);
    FitColumnsToTexts(&g.grid);
    EXPECT_GT(g.grid.columnWidth(0), fitted);
    EXPECT_EQ(g.grid.columnWidth(0), measuredWidth(g.grid, 0));
}

} // namespace
