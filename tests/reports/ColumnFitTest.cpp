// Report grids at 1280x800: a column of numbers, dates, codes or note numbers
// is never narrower than its widest text while the grid has room.
#include "reports/Lst.h"
#include "reports/PeriodReportWindow.h"
#include "support/ColumnFitChecks.h"
#include "support/TestBook.h"

#include <QDateTime>
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

TEST_F(ColumnFit, StatisticsShowWholeNoteNumbersDatesCodesAndFigures)
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
    Lst w;
    w.setWhoami(QStringLiteral("B2"));
    QTableView *grid = shownGrid(w);
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

} // namespace
