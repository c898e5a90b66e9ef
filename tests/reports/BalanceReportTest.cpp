// The in/out/balance quantity report over a chosen period, and its print.
#include "PeriodFixture.h"

#include "reports/BalanceReport.h"
#include "reports/BalanceReportWindow.h"
#include "reports/PeriodReport.h"
#include "support/ListServices.h"
#include "support/WindowDriver.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

using namespace reports;

namespace {

struct BalanceTest : PeriodFixture {
    ListServices services;
    BalanceTest() { book.exec("update TA4 set F3='001', F71=9"); }
};

TEST_F(BalanceTest, WorksBackFromTodaysStockThroughAuditedNotes)
{
    C18 w;
    WindowDriver<C18> d{w};
    w.DTP[0]->setDate(QDate(2026, 2, 1));
    w.DTP[1]->setDate(QDate(2026, 3, 8));
    w.Cmd->click();
    // G1: 12 on hand; after the period RK2 (+1) and RK3 (+100): end = 12-101 = -89;
    // in the period TK1 returns-in 1 and CK1 out 4: start = -89 - 1 + 4 = -86.
    EXPECT_EQ(w.grid().rowTexts(1), (QStringList{"G1", "螺钉/M3", "9.00", "盒", "-86", "0", "0", "4", "1", "-89"}));
    EXPECT_EQ(w.grid().rowTexts(2), (QStringList{"G2", "螺母/", "9.00", "个", "8", "0", "3", "0", "0", "5"}));
    EXPECT_EQ(d.column(0), (QStringList{"G1", "G2", "G3", "G4", "G5", ""}));
    // The stocktaking PD1 in the period brought G4 from 0 to 2 and G5 from 10 to 7.
    EXPECT_EQ(w.grid().rowTexts(4).mid(4), (QStringList{"0", "0", "0", "0", "0", "2"}));
    EXPECT_EQ(w.grid().rowTexts(5).mid(4), (QStringList{"10", "0", "0", "0", "0", "7"}));
    EXPECT_EQ(w.grid().rowTexts(6).mid(3), (QStringList{"合计：", "-70", "2", "3", "4", "1", "-75"}));
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("货品进出存报表：共 5 条记录 当前为第 1 条"));

    // A pattern and the cost price basis.
    w.Txt->setText(QStringLiteral("G?"));
    d.menu("Menu_price0");
    EXPECT_EQ(w.recordCount(), 5);
    EXPECT_EQ(d.cell(1, 2), QStringLiteral("2.50"));
    w.Txt->setText(QStringLiteral("G1"));
    w.Cmd->click();
    EXPECT_EQ(w.recordCount(), 1);
    EXPECT_EQ(likePattern(QStringLiteral("A_%*")), QStringLiteral("A\\_\\%%"));
}

TEST_F(BalanceTest, AStartAfterTheEndLeavesThePeriodEmptyAndTheEndRight)
{
    C18 w;
    w.DTP[0]->setDate(QDate(2026, 3, 9));
    w.DTP[1]->setDate(QDate(2026, 2, 1));
    w.Cmd->click();
    // G1: 12 on hand; after 2026-02-01 come TK1 (+1 returned in), CK1 (-4), RK2 (+1) and
    // RK3 (+100): end = 12 - 1 + 4 - 1 - 100 = -86, and nothing moves in the empty period.
    EXPECT_EQ(w.grid().rowTexts(1), (QStringList{"G1", "螺钉/M3", "9.00", "盒", "-86", "0", "0", "0", "0", "-86"}));
    // G2: 5 on hand after TH1 returned 3 on 2026-02-04.
    EXPECT_EQ(w.grid().rowTexts(2), (QStringList{"G2", "螺母/", "9.00", "个", "8", "0", "0", "0", "0", "8"}));
}

// The wait pointer stays up while the grid is filled, and is gone once the
// report is on show.
TEST_F(BalanceTest, TheWaitPointerLastsUntilTheGridIsFilled)
{
    C18 w;
    WindowDriver<C18> d{w};
    ASSERT_TRUE(d.showActive());
    const auto pointer = [] {
        const QCursor *cursor = QApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::ArrowCursor;
    };
    QVector<Qt::CursorShape> atFill;
    QObject::connect(&w.grid(), &QAbstractItemModel::modelReset, &w, [&] { atFill.append(pointer()); });
    w.DTP[0]->setDate(QDate(2026, 2, 1));
    w.DTP[1]->setDate(QDate(2026, 3, 8));
    w.Cmd->click();
    ASSERT_EQ(w.recordCount(), 5);
    ASSERT_FALSE(atFill.isEmpty());
    EXPECT_EQ(atFill.last(), Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Fractions keep their zero before the point, and a balance worked back
// through movements that nearly cancel is their exact decimal difference.
TEST_F(BalanceTest, FiguresAreExactDecimalsWithTheirZeroBeforeThePoint)
{
    book.exec("insert into TA4 (F1,F2,F4,F8,F3) values ('K1','垫圈','个',0.125,'001'),"
              "('K2','销钉','个',-0.32,'001'),('K3','铜线','米',100.1,'001')");
    note("TD1", "CK6", "2026-03-02", "张三", {{"K1", 0.32, 1}});
    note("TB1", "RK9", "2026-03-03", "张三", {{"K3", 100, 1}});
    struct Case {
        QDate to;
        QVector<QStringList> rows;  // K1..K3 and the totals: start, in, returned, out, returned in, end
    } cases[] = {
        {{2026, 3, 9},
         {{"0.445", "0", "0", "0.32", "0", "0.125"},
          {"-0.32", "0", "0", "0", "0", "-0.32"},
          {"0.1", "100", "0", "0", "0", "100.1"},
          {"0.225", "100", "0", "0.32", "0", "99.905"}}},
        // Before K3's stock-in: its end is worked back from today's 100.1 too.
        {{2026, 3, 1},
         {{"0.445", "0", "0", "0", "0", "0.445"},
          {"-0.32", "0", "0", "0", "0", "-0.32"},
          {"0.1", "0", "0", "0", "0", "0.1"},
          {"0.225", "0", "0", "0", "0", "0.225"}}},
    };
    C18 w;
    w.Txt->setText(QStringLiteral("K*"));
    for (const Case &c : cases) {
        w.DTP[0]->setDate(QDate(2026, 3, 1));
        w.DTP[1]->setDate(c.to);
        w.Cmd->click();
        ASSERT_EQ(w.grid().rows(), 5);
        for (int r = 1; r <= 4; ++r)
            EXPECT_EQ(w.grid().rowTexts(r).mid(4), c.rows[r - 1]) << r << " to " << c.to.day();
    }
}

// Goods H1..H3 with audited stocktaking notes on 2026-02-10: H1 takes in 100 in
// January, counts 102.5 (a gain of 2.5), then 10 go out; H2 takes in 50, counts
// 43.375 (a loss of 6.625), then 5 come in; H3 takes in 5 and counts 0.
struct StocktakingBalanceTest : BalanceTest {
    StocktakingBalanceTest()
    {
        book.exec("insert into TA4 (F1,F2,F4,F7,F8,F3) values ('H1','扳手','把',1,92.5,'001'),"
                  "('H2','钳子','把',1,48.375,'001'),('H3','锉刀','把',1,0,'001')");
        note("TB1", "RK8", "2026-01-10", "张三", {{"H1", 100, 1}, {"H2", 50, 1}, {"H3", 5, 1}});
        book.exec("insert into TC2 (F1,F2,F6) values ('PD2','2026-02-10','张三'),('PD3','2026-02-12',null)");
        book.exec("insert into TC21 (F0,F1,F5,F6,F7) values ('PD2','H1',100,102.5,1),('PD2','H2',50,43.375,1),"
                  "('PD2','H3',5,0,1),('PD3','H1',92.5,0,1)");  // PD3 is not audited
        note("TD1", "CK2", "2026-02-20", "张三", {{"H1", 10, 1}});
        note("TB1", "RK9", "2026-02-25", "张三", {{"H2", 5, 1}});
    }

    // Columns 4..9 (start, in, returned, out, returned in, end) of each H goods
    // listed for the period, as "code:start|in|ret|out|rin|end".
    QStringList balances(const QDate &from, const QDate &to)
    {
        BalanceFilter filter;
        filter.from = from;
        filter.to = to;
        filter.goodsPattern = QStringLiteral("H*");
        BalanceReport report;
        QString error;
        EXPECT_TRUE(ComputeBalanceReport(book.db(), filter, book.m().gMoneyFormat, &report, &error))
            << error.toStdString();
        QStringList shown;
        for (const QStringList &row : report.rows)
            shown.append(row[0] + QLatin1Char(':') + row.mid(4).join(QLatin1Char('|')));
        return shown;
    }
};

TEST_F(StocktakingBalanceTest, BalancesAreTheStockHeldAroundAStocktaking)
{
    struct Case {
        QDate from, to;
        QStringList expected;
    } cases[] = {
        // Before: the stocktaking lies after the period and takes part in the end balance.
        {{2026, 1, 1}, {2026, 1, 31}, {"H1:0|100|0|0|0|100", "H2:0|50|0|0|0|50", "H3:0|5|0|0|0|5"}},
        {{2026, 2, 1}, {2026, 2, 9}, {"H1:100|0|0|0|0|100", "H2:50|0|0|0|0|50", "H3:5|0|0|0|0|5"}},
        // Across: the difference has no column; the balances are still the stock held.
        {{2026, 2, 1}, {2026, 2, 28}, {"H1:100|0|0|10|0|92.5", "H2:50|5|0|0|0|48.375", "H3:5|0|0|0|0|0"}},
        {{2026, 2, 10}, {2026, 2, 10}, {"H1:100|0|0|0|0|102.5", "H2:50|0|0|0|0|43.375", "H3:5|0|0|0|0|0"}},
        // After: the counted quantities are the start balance; H3 holds nothing and moves nothing.
        {{2026, 2, 11}, {2026, 3, 9}, {"H1:102.5|0|0|10|0|92.5", "H2:43.375|5|0|0|0|48.375"}},
        {{2026, 3, 1}, {2026, 3, 9}, {"H1:92.5|0|0|0|0|92.5", "H2:48.375|0|0|0|0|48.375"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(balances(c.from, c.to), c.expected) << c.from.toString(Qt::ISODate).toStdString() << ".."
                                                      << c.to.toString(Qt::ISODate).toStdString();
}

TEST_F(StocktakingBalanceTest, AGoodsThatHeldNothingAndMovedNothingIsNotListed)
{
    // H4 holds 0.1 after taking in 0.3 and giving out 0.2 in March: in January
    // it held nothing, though 0.1 - 0.3 + 0.2 leaves a binary residue.
    book.exec("insert into TA4 (F1,F2,F4,F7,F8,F3) values ('H4','锤子','把',1,0.1,'001')");
    note("TB1", "RK10", "2026-03-02", "张三", {{"H4", 0.3, 1}});
    note("TD1", "CK3", "2026-03-03", "张三", {{"H4", 0.2, 1}});
    EXPECT_EQ(balances({2026, 1, 1}, {2026, 1, 31}),
              (QStringList{"H1:0|100|0|0|0|100", "H2:0|50|0|0|0|50", "H3:0|5|0|0|0|5"}));
    EXPECT_EQ(balances({2026, 3, 1}, {2026, 3, 9}).last(), QStringLiteral("H4:0|0.3|0|0.2|0|0.1"));
}

TEST_F(StocktakingBalanceTest, AgreesWithTheMonthlyReportOverAWholeMonth)
{
    // January saved with what each goods held on 01-31; February is generated.
    for (const auto &[code, held] : {std::pair{"H1", 100}, {"H2", 50}, {"H3", 5}})
        book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm,Gs,Gj,Ds,Dj,Fs,Fj) values "
                  "(1,'2026-01-01','2026-01-31',?,?,0,0,0,0,0)",
                  {QString::fromLatin1(code), held});
    const QDate from(2026, 2, 1), to(2026, 2, 28);
    setToday(to);
    const GenerationResult monthly =
        GeneratePeriodReport(book.db(), from, to, kByPeriodMovement, book.m().gMoneyFormat);
    ASSERT_EQ(monthly.status, GenerationResult::Done) << monthly.error.toStdString();
    QStringList fromMonthly;
    for (int r = 0; r < monthly.report.rows.size(); ++r) {
        const QStringList row = monthly.report.rows[r];
        if (row[kCode].startsWith(QLatin1Char('H')))
            fromMonthly.append(row[kCode] + QLatin1Char(':') + row[kCarriedQty] + QLatin1Char('|') + row[kClosingQty]);
    }
    QStringList fromChosenPeriod;
    for (const QString &row : balances(from, to)) {
        const QStringList cells = row.split(QLatin1Char('|'));
        fromChosenPeriod.append(cells.first() + QLatin1Char('|') + cells.last());
    }
    EXPECT_EQ(fromChosenPeriod, fromMonthly);
    EXPECT_EQ(fromMonthly, (QStringList{"H1:100|92.5", "H2:50|48.375", "H3:5|0"}));
}

TEST_F(BalanceTest, PrintStagesRowsAndTotals)
{
    C18 w;
    WindowDriver<C18> d{w};
    d.menu("Menu_print");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("没有数据可打印！"));
    w.DTP[0]->setDate(QDate(2026, 1, 1));
    w.Txt->setText(QStringLiteral("G1"));
    w.Cmd->click();
    ListServices::provideTemplate(book.dir(), QStringLiteral("pjxc01.rpt"));
    d.menu("Menu_print");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("RQ")), QStringLiteral("报表周期：2026-01-01至2026-03-09"));
    EXPECT_EQ(shown->formula(QStringLiteral("cpt")), QStringLiteral("货品进出存统计报表"));
    EXPECT_EQ(shown->formula(QStringLiteral("s6")), QStringLiteral("-88"));
    EXPECT_EQ(book.value("select F0||'|'||F1||'|'||F5||'|'||F6||'|'||F10 from Plist"), "0001|G1|-91|6|-88");
}

} // namespace
