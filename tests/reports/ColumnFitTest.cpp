// Report grids at 1280x800: a column of numbers, dates, codes or note numbers
// is never narrower than its widest text while the grid has room; names that
// are cut get the room that is left.
#include "reports/Lst.h"
#include "reports/PeriodReportWindow.h"
#include "platform/GridModel.h"
#include "shell/GridColumnFit.h"
#include "support/ColumnFitChecks.h"
#include "support/TestBook.h"

#include <QDateTime>
#include <QHeaderView>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

struct ColumnFit : ::testing::Test {
    TestBook book;

    ColumnFit() { book.m().setClock([] { return QDateTime(QDate(2024, 12, 11), QTime(10, 0)); }); }

    // Shows window on a 1280x800 screen and returns its grid.
    static QTableView *shownGrid(QWidget &window)
    {
        window.resize(1280, 800);
        window.show();
        return window.findChild<QTableView *>(QStringLiteral("GD"));
    }
};

// A stock-in note of today with long note numbers, codes, names and figures.
void addLongStockInNote(TestBook &book)
{
    book.exec("insert into TA1 (F1,F2) values ('S000001','华东五金机电设备有限公司')");
    book.exec("insert into TA3 (F1,F2) values ('K1','五金')");
    book.exec("insert into TA4 (F1,F2,F3,F4,F5) values "
              "('HW-2024-000123456','不锈钢内六角圆柱头螺钉','K1','盒','M3x12'),"
              "('HW-2024-000123457','螺母','K1','个','M4')");
    book.exec("insert into TB1 (F1,F2,F3,F6,F10) values ('RK20241211000123','2024-12-11','S000001','张三','')");
    book.exec("insert into TB11 (F0,F1,F6,F7,F8) values "
              "('RK20241211000123','HW-2024-000123456',131676.189165,134257594.545,''),"
              "('RK20241211000123','HW-2024-000123457',756844.99,9876543.21,'')");
}

TEST_F(ColumnFit, StatisticsShowWholeNoteNumbersDatesCodesAndFigures)
{
    addLongStockInNote(book);
    Lst w;
    w.setWhoami(QStringLiteral("B2"));
    QTableView *grid = shownGrid(w);
    ASSERT_EQ(w.recordCount(), 2);
    using namespace reports::statistics;
    expectNoTextCut(grid, {NumberColumn, DateColumn, 5, QuantityColumn, PriceColumn, AmountColumn});
}

// An open window switched to another kind fits its columns to that kind's
// lines, not to the empty list it showed before.
TEST_F(ColumnFit, StatisticsSwitchedToAnotherKindShowWholeFigures)
{
    addLongStockInNote(book);
    Lst w;
    w.setWhoami(QStringLiteral("D2"));
    QTableView *grid = shownGrid(w);
    ASSERT_EQ(w.recordCount(), 0);
    w.setWhoami(QStringLiteral("B2"));
    ASSERT_EQ(w.recordCount(), 2);
    using namespace reports::statistics;
    expectNoTextCut(grid, {NumberColumn, DateColumn, 5, QuantityColumn, PriceColumn, AmountColumn});
}

TEST_F(ColumnFit, AnOpenedSavedPeriodReportShowsItsFiguresWhole)
{
    book.exec("insert into TA4 (F1,F2,F4,F5) values ('HW-2024-000123456','扳手','把','12寸'),"
              "('HW-2024-000123457','钳子','把','8寸')");
    book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm,Gprice,\"As\",Aj,Bs,Bj,Cs,Cj,Ds,Dj,Es,Ej,Fs,Fj,Gs,Gj) values "
              "(1,'2024-11-01','2024-11-30','HW-2024-000123456',3.33223156225218,458032.5,1526230.45,458032.5,1526230.45,"
              "12.125,40.4,12.125,40.4,0,0,0,0,458044.625,1526270.85),"
              "(1,'2024-11-01','2024-11-30','HW-2024-000123457',2.5,1,2.5,1,2.5,0,0,0,0,1,2.5,1,2.5,0,0)");
    C181 w;
    QTableView *grid = shownGrid(w);
    w.FillReportGrid(1, QString());
    ASSERT_EQ(w.recordCount(), 2);
    QVector<int> figureColumns;
    for (int c = reports::kCostPrice; c < reports::kPeriodColumnCount; ++c)
        figureColumns.append(c);
    figureColumns.append(reports::kCode);
    expectNoTextCut(grid, figureColumns);
}

// A grid laid out as the windows do (code, name, stock with its unit,
// remark), filled with one goods and fitted. The layout shares the grid's
// width in the given parts (less than all of it leaves free room); the name repeats a word count times.
struct NameFitCase {
    const char *label;
    int gridWidth;
    QVector<int> layoutParts;  // per column, in hundredths of the grid
    int nameWords;
    QString remark;
    bool nameWhole;
    bool layoutKept;
};

class NameColumnFit : public ::testing::TestWithParam<NameFitCase> {};

TEST_P(NameColumnFit, NamesGetTheRoomLeftAndFiguresAreWhole)
{
    const NameFitCase &c = GetParam();
    GridModel model(4);
    model.setCaptions({QStringLiteral("货品编码"), QStringLiteral("货品名称/规格"), QStringLiteral("库存"), QStringLiteral("备注")});
    model.setDataRows(QVector<QStringList>{
        {QStringLiteral("GJ-2026-1234567-ABCDEFGHI"), QStringLiteral("不锈钢内六角圆柱头螺钉").repeated(c.nameWords) + QStringLiteral("/M3x12"),
         QStringLiteral("1234567.125 盒"), c.remark},
        {QStringLiteral("GJ-1"), QStringLiteral("螺母/M4"), QStringLiteral("40.125 个"), QString()}});
    QTableView grid;
    grid.setModel(&model);
    grid.resize(c.gridWidth, 400);
    grid.show();
    const int viewport = grid.viewport()->width();
    QVector<int> layout;
    for (int col = 0; col < 4; ++col) {
        layout.append(viewport * c.layoutParts[col] / 100);
        grid.setColumnWidth(col, layout.back());
    }
    FitColumnsToTexts(&grid);

    expectNoTextCut(&grid, {0, 2});  // the code, the quantity with its unit, and no scrolling
    auto *view = static_cast<QAbstractItemView *>(&grid);
    EXPECT_EQ(grid.columnWidth(1) >= view->sizeHintForColumn(1), c.nameWhole)
        << "name width " << grid.columnWidth(1) << " of " << view->sizeHintForColumn(1);
    EXPECT_GE(grid.columnWidth(3), grid.horizontalHeader()->sectionSizeHint(3)) << "the remark keeps its caption";
    if (c.layoutKept) {
        for (int col = 0; col < 4; ++col)
            EXPECT_EQ(grid.columnWidth(col), layout[col]) << "column " << col;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, NameColumnFit,
    ::testing::Values(
        // Free room at the right of the grid.
        NameFitCase{"FreeRoom", 1280, {20, 15, 10, 15}, 2, QString(), true, false},
        // No free room: an empty remark gives down to its caption.
        NameFitCase{"EmptyRemark", 1280, {20, 15, 10, 55}, 2, QString(), true, false},
        // A narrow grid whose figures take the room (the stock from its
        // layout width): the name stays cut.
        NameFitCase{"NoRoom", 620, {30, 30, 12, 28}, 2, QStringLiteral("备注说明").repeated(3), false, false},
        // Longer than a third of the grid: cut within reason.
        NameFitCase{"BeyondAThird", 1280, {20, 15, 10, 55}, 6, QString(), false, false},
        // Nothing is cut: the layout's widths stay.
        NameFitCase{"NothingCut", 1280, {25, 40, 15, 20}, 1, QStringLiteral("备注"), true, true}),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
