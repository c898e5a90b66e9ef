// The stocktaking report: audited lines of today, totals, search, sort and both prints.
#include "stock/StocktakingReport.h"
#include "support/CellAlignment.h"
#include "support/ListServices.h"
#include "support/TestBook.h"
#include "support/WindowDriver.h"

#include <QTableView>

namespace {

struct StocktakingReport : ::testing::Test {
    TestBook book;

    StocktakingReport()
    {
        book.m().setClock([] { return QDateTime(QDate(2026, 3, 9), QTime(10, 0)); });
        book.exec("insert into TA4 (F1,F2,F4,F5) values ('G1','螺钉','盒','M3'),('G2','螺母','个','M4')");
        // audited today: a gain and a loss
        note("PD1", "2026-03-09", "王五", "李四", {{"G1", 10, 12, 2.5}, {"G2", 8, 5, 1.25}});
        note("PD2", "2026-03-09", "赵六", "", {{"G1", 1, 9, 1}});      // not audited
        note("PD3", "2026-03-08", "张三", "李四", {{"G2", 1, 2, 3}});  // audited yesterday
    }
    struct Line {
        const char *goods;
        double book, counted, price;
    };
    void note(const char *no, const char *date, const char *taker, const char *auditor, QVector<Line> lines)
    {
        book.exec("insert into TC2 (F1,F2,F3,F6) values (?,?,?,?)",
                  {QString::fromLatin1(no), QString::fromLatin1(date), QString::fromUtf8(taker),
                   *auditor ? QVariant(QString::fromUtf8(auditor)) : QVariant()});
        for (const Line &l : lines)
            book.exec("insert into TC21 (F0,F1,F5,F6,F7) values (?,?,?,?,?)",
                      {QString::fromLatin1(no), QString::fromLatin1(l.goods), l.book, l.counted, l.price});
    }
};

TEST_F(StocktakingReport, OpensOnTheAuditedLinesOfToday)
{
    C3 w;
    [[maybe_unused]] WindowDriver<C3> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("库存货品盘点统计"));
    ASSERT_EQ(w.grid().rows(), 4);
    EXPECT_EQ(w.grid().rowTexts(1),
              (QStringList{"PD1", "2026-03-09", "王五", "G1", "螺钉", "M3", "盒", "2", "2.50", "5.00"}));
    EXPECT_EQ(w.grid().rowTexts(2).mid(7), (QStringList{"-3", "1.25", "-3.75"}));
    EXPECT_EQ(w.grid().rowTexts(3), (QStringList{"", "", "", "", "", "", "", "", "盈亏额合计：", "1.25"}));
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("货品入库资料：共 2 条记录 当前为第 1 条"));

    w.resize(900, 400);
    w.show();
    auto *grid = w.findChild<QTableView *>(QStringLiteral("GD"));
    EXPECT_TRUE(grid->isColumnHidden(2));
    EXPECT_FALSE(grid->isColumnHidden(8));
}

// The totals row is the exact decimal sum of the shown gains and losses, also
// when they cancel and when small ones join a large one.
TEST_F(StocktakingReport, TotalsRowIsTheExactSumOfGainsAndLosses)
{
    struct Case {
        const char *name;
        QVector<Line> lines;
        const char *total;
    } cases[] = {
        {"a gain and a loss that nearly cancel", {{"G1", 10, 15, 2.5}, {"G2", 10, 9, 12.49}}, "0.01"},
        {"a tenth left over a hundred", {{"G1", 0, 1, 100.1}, {"G2", 1, 0, 100}}, "0.1"},
        {"a large gain out again", {{"G1", 0, 1, 98765432.10}, {"G2", 0, 1, 0.05}, {"G1", 1, 0, 98765432.10}},
         "0.05"},
    };
    for (const Case &c : cases) {
        book.exec("delete from TC21");
        book.exec("delete from TC2");
        note("PD9", "2026-03-09", "王五", "李四", c.lines);
        C3 w;
        [[maybe_unused]] WindowDriver<C3> d{w};
        const GridModel &g = w.grid();
        ASSERT_EQ(g.rows(), c.lines.size() + 2) << c.name;
        EXPECT_EQ(g.rowTexts(g.rows() - 1).mid(8), (QStringList{"盈亏额合计：", c.total})) << c.name;
    }
}

// Today's lines are the day's only, on a month's last day and the next
// month's first, found through the date index.
TEST_F(StocktakingReport, OpensOnTodayAloneAcrossTheMonthEnd)
{
    note("PD30", "2026-03-30", "王五", "李四", {{"G1", 1, 2, 1}});
    note("PD31", "2026-03-31", "王五", "李四", {{"G1", 1, 3, 1}, {"G2", 1, 4, 1}});
    note("PD41", "2026-04-01", "王五", "李四", {{"G2", 1, 5, 1}});
    const struct {
        QDate today;
        QStringList numbers;
    } days[] = {{QDate(2026, 3, 31), {"PD31", "PD31"}}, {QDate(2026, 4, 1), {"PD41"}}};
    for (const auto &day : days) {
        book.m().setClock([&day] { return QDateTime(day.today, QTime(0, 0)); });
        C3 w;
        WindowDriver<C3> d{w};
        EXPECT_EQ(d.column(0), day.numbers + QStringList{""});
        EXPECT_EQ(w.recordCount(), day.numbers.size());
        const QString plan = book.plan(w.lastFillSql());
        EXPECT_TRUE(searchesDateIndex(plan, QStringLiteral("TC2"))) << plan.toStdString();
    }
}

TEST_F(StocktakingReport, SearchKeepsUnauditedNotesOutAndSortsByDate)
{
    ListServices services;
    C3 w;
    WindowDriver<C3> d{w};
    // 货品编码 = G1 Or 货品编码 = G2: every audited line of any date, never PD2's.
    services.dialogs.handle(QStringLiteral("Query"), [](QDialog &dialog) {
        auto &q = static_cast<Query &>(dialog);
        EXPECT_EQ(q.CmbF->currentIndex(), 1);
        q.CmbF->setCurrentIndex(3);
        q.Txt->setText(QStringLiteral("G1"));
        q.addCondition();
        q.CmbLG->setCurrentIndex(1);
        q.CmbF->setCurrentIndex(3);
        q.Txt->setText(QStringLiteral("G2"));
        q.addCondition();
        q.finishQuery();
        return q.result();
    });
    d.menu("Menu_query");
    EXPECT_EQ(d.column(0).mid(0, 3), (QStringList{"PD3", "PD1", "PD1"})) << w.lastFillSql().toStdString();
    EXPECT_EQ(w.recordCount(), 3);

    d.menu("menu_S2");
    EXPECT_EQ(d.column(3).mid(0, 3), (QStringList{"G1", "G2", "G2"}));
    d.menu("menu_S1");
    EXPECT_EQ(d.column(1).mid(0, 3), (QStringList{"2026-03-08", "2026-03-09", "2026-03-09"}));
    d.menu("menu_S5");
    EXPECT_EQ(d.column(9).mid(0, 3), (QStringList{"-3.75", "3.00", "5.00"}));
}

// A number condition compares the figure as the grid shows it: a difference
// of 0.3 - 0.2 reads 0.1 and is found as 0.1, its amount 0.3 as 0.3.
TEST_F(StocktakingReport, NumberConditionsFindTheFiguresAsShown)
{
    note("PD4", "2026-03-09", "王五", "李四", {{"G1", 0.2, 0.3, 3}, {"G2", 0.7, 0.6, 1}});
    const struct {
        int field;  // 4 盈亏数, 6 盈亏额
        int relation;
        const char *value;
        QStringList goods;
    } cases[] = {
        {4, 2, "0.1", {"G1"}},  {4, 2, "-0.1", {"G2"}}, {6, 2, "0.3", {"G1"}},
        {6, 1, "0.3", {"G2"}},  {4, 1, "0.1", {"G2"}},  {6, 0, "-0.1", {"G1"}},
    };
    for (const auto &c : cases) {
        ListServices services;
        C3 w;
        WindowDriver<C3> d{w};
        // within PD4: 单号 = PD4 And <the number condition>
        services.dialogs.handle(QStringLiteral("Query"), [&c](QDialog &dialog) {
            auto &q = static_cast<Query &>(dialog);
            q.CmbF->setCurrentIndex(0);
            q.Txt->setText(QStringLiteral("PD4"));
            q.addCondition();
            q.CmbF->setCurrentIndex(c.field);
            q.CmbGX->setCurrentIndex(c.relation);
            q.Txt->setText(QString::fromLatin1(c.value));
            q.addCondition();
            q.finishQuery();
            return q.result();
        });
        d.menu("menu_S2");
        d.menu("Menu_query");
        EXPECT_EQ(d.column(3).mid(0, w.recordCount()), c.goods) << c.field << " " << c.relation << " " << c.value;
    }
}

TEST_F(StocktakingReport, PrintsStageJournalAndSummaryRows)
{
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntlst.rpt"));
    book.m().gOptKeepPrices = 0;  // prices are staged all the same
    C3 w;
    WindowDriver<C3> d{w};
    const QString staged = QStringLiteral(
        "select group_concat(F0||'|'||F1||'|'||F2||'|'||F3||'|'||F4||'|'||F5||'|'||F6||'|'||F7||'|'||F8, ';') "
        "from PRTB2");

    d.menu("Menu_print1");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("货品盘点流水帐"));
    EXPECT_EQ(book.value(staged), QStringLiteral("1|PD1|2026-03-09|王五|G1|螺钉/M3/盒|2.0|2.5|5.0;"
                                                 "1|PD1|2026-03-09|王五|G2|螺母/M4/个|-3.0|1.25|-3.75"));

    d.menu("Menu_print2");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("报表文件prntc3.rpt丢失！"));
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc3.rpt"));
    d.menu("Menu_print2");
    shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("货品盘点报表"));
    EXPECT_EQ(shown->rows.size(), 2);
    EXPECT_EQ(book.value(staged), QStringLiteral("1|PD1|2026-03-09|王五|G1|螺钉|2.0|2.5|5.0;"
                                                 "1|PD1|2026-03-09|王五|G2|螺母|-3.0|1.25|-3.75"));
}

// A note number, goods code or size/model of digits is a text: it
// stands left as the letters beside it do; the figures stand right.
TEST_F(StocktakingReport, CodesOfDigitsStandLeftAndFiguresRight)
{
    book.exec("insert into TA4 (F1,F2,F4,F5) values ('001','螺栓','502','502')");
    note("0309", "2026-03-09", "王五", "李四", {{"001", 3, 4, 2}});
    C3 w;
    [[maybe_unused]] WindowDriver<C3> d{w};
    ASSERT_EQ(w.recordCount(), 3);
    EXPECT_EQ(cellsNotLeft(w.grid(), 1, 3, {0, 1, 3, 4, 5, 6}), QStringList());
    for (int col : {7, 8, 9})
        EXPECT_EQ(horizontalAlignment(w.grid(), 1, col), Qt::AlignRight) << "column " << col;
}

} // namespace
