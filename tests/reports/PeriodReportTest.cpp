// The monthly in/out/balance report: generation, save numbering, the lock
// date, reopening, deleting, the cost-price update and printing.
#include "PeriodFixture.h"

#include "CentStockIns.h"
#include "platform/NumberText.h"
#include "reports/PeriodReport.h"
#include "reports/PeriodReportWindow.h"
#include "shell/MergedCaptionHeader.h"
#include "support/CentAmounts.h"
#include "support/ListServices.h"
#include "support/WindowDriver.h"
#include "support/XlsxCells.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableView>

using namespace reports;

namespace {

using Report = PeriodFixture;

GenerationResult generate(TestBook &book, int method = kByPeriodMovement)
{
    return GeneratePeriodReport(book.db(), book.m().gPeriodStart, book.m().Today(), method,
                                book.m().gMoneyFormat);
}

// jxc row of one goods as text: SortNo|Bdate|Edate|Gprice|As..Gj
QString stored(TestBook &book, const char *code, int sortNo = 0)
{
    return book.value("select SortNo||'|'||Bdate||'|'||Edate||'|'||Gprice||'|'||\"As\"||'|'||Aj||'|'||Bs||'|'||Bj"
                      "||'|'||Cs||'|'||Cj||'|'||Ds||'|'||Dj||'|'||Es||'|'||Ej||'|'||Fs||'|'||Fj||'|'||Gs||'|'||Gj "
                      "from jxc where Hpbm=? and SortNo=?",
                      {QString::fromLatin1(code), sortNo});
}

TEST_F(Report, GeneratedColumnsCountAuditedNotesOfThePeriodOnly)
{
    const GenerationResult r = generate(book);
    ASSERT_EQ(r.status, GenerationResult::Done) << r.error.toStdString();
    //         code  name/spec/unit  cost   As    Aj    Bs    Bj    Cs   Cj     Ds   Dj     Es   Ej      Fs   Fj      Gs    Gj
    const QVector<QStringList> expected = {
        {"G1", "螺钉/M3/盒", "2.50", "10", "20", "10", "20", "7", "18.5", "7", "18.5", "4", "16", "4", "16", "12", "22.5"},
        {"G2", "螺母//个", "0.00", "0", "0", "0", "0", "0", "0", "0", "0", "3", "3.75", "3", "3.75", "5", "-3.75"},
        // G3 has nothing on hand and nothing carried, but its incoming counts.
        {"G3", "垫片/D5/片", "1.00", "0", "0", "0", "0", "2", "2", "2", "2", "0", "0", "0", "0", "0", "2"},
        {"G4", "弹簧/S1/只", "3.00", "0", "0", "0", "0", "2", "6", "2", "6", "0", "0", "0", "0", "2", "6"},
        {"G5", "铆钉/R2/只", "3.00", "10", "30", "10", "30", "0", "0", "0", "0", "3", "9", "3", "9", "7", "21"},
    };
    ASSERT_EQ(r.report.rows.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(r.report.rows[i], expected[i]) << i;
    EXPECT_EQ(r.report.totals, (QStringList{"", "", "", "", "合计：", "20", "50", "11", "26.5", "11", "26.5", "10",
                                            "28.75", "10", "28.75", "26", "47.75"}));

    // The book keeps exactly what the grid shows, as the generated report.
    EXPECT_EQ(stored(book, "G1"), "0.0|2026-01-01|2026-03-09|2.5|10.0|20.0|10.0|20.0|7.0|18.5|7.0|18.5|4.0|16.0|4.0|"
                                  "16.0|12.0|22.5");
    EXPECT_EQ(book.value("select count(*) from jxc"), "5");
}

TEST_F(Report, ClosingAmountFollowsTheChosenMethod)
{
    struct Case {
        int method;
        const char *g1, *g2;
    } cases[] = {{kByCostPrice, "30.00", "0.00"}, {kByPeriodMovement, "22.5", "-3.75"},
                 {kByCumulativeMovement, "22.5", "-3.75"}};
    for (const Case &c : cases) {
        const GenerationResult r = generate(book, c.method);
        ASSERT_EQ(r.status, GenerationResult::Done);
        EXPECT_EQ(r.report.rows[0][kClosingAmount], c.g1) << c.method;
        EXPECT_EQ(r.report.rows[1][kClosingAmount], c.g2) << c.method;
        EXPECT_EQ(book.value("select count(*) from jxc where SortNo=0"), "5") << "one generated report at a time";
    }
}

TEST_F(Report, StoredAndSummedNumbersAreTheShownTexts)
{
    // Goods without notes, so every figure comes from the goods' own fields:
    // amounts on a .005 half, negative, large and with many decimals.
    book.exec("delete from TA4");
    book.exec("insert into TA4 (F1,F2,F7,F8,V3,V4) values "
              "('H1','半',2.675,1,1,1.005),"              // halves round away from zero on the decimal value
              "('H2','负',0.005,-3,-3,0.335),"            // negative halves
              "('H3','大',1234567.891,1000000,1000000,0.125),"
              "('H4','长',1,7.0000005,0.333333333,3),"    // closing quantity tidied to three decimals
              "('H5','小',3,0.0000001,0,0),"              // exponent form: rounded to none, not reported
              "('H6','半个',0.5,0.5,0.25,1)");
    const GenerationResult r = generate(book, kByCostPrice);
    ASSERT_EQ(r.status, GenerationResult::Done) << r.error.toStdString();
    struct Row {
        const char *cost, *openingQty, *openingAmount, *closingQty, *closingAmount, *stored;
    } expected[] = {
        {"2.68", "1", "1.01", "1", "2.68", "2.675|1.0|1.01|1.0|1.01|1.0|2.68"},
        {"0.01", "-3", "-1.01", "-3", "-0.02", "0.005|-3.0|-1.01|-3.0|-1.01|-3.0|-0.02"},
        {"1234567.89", "1000000", "125000", "1000000", "1234567891000.00",
         "1234567.891|1000000.0|125000.0|1000000.0|125000.0|1000000.0|1234567891000.0"},
        {"1.00", "0.333333333", "1", "7", "7.00", "1.0|0.333333333|1.0|0.333333333|1.0|7.0|7.0"},
        {"0.50", "0.25", "0.25", "0.5", "0.25", "0.5|0.25|0.25|0.25|0.25|0.5|0.25"},
    };
    const char *codes[] = {"H1", "H2", "H3", "H4", "H6"};
    ASSERT_EQ(r.report.rows.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const QStringList row = r.report.rows[i];
        const Row &e = expected[i];
        EXPECT_EQ(row[kCode], codes[i]);
        EXPECT_EQ((QStringList{row[kCostPrice], row[kOpeningQty], row[kOpeningAmount], row[kClosingQty],
                               row[kClosingAmount]}),
                  (QStringList{e.cost, e.openingQty, e.openingAmount, e.closingQty, e.closingAmount}))
            << codes[i];
        EXPECT_EQ(book.value("select Gprice||'|'||\"As\"||'|'||Aj||'|'||Bs||'|'||Bj||'|'||Gs||'|'||Gj from jxc "
                             "where SortNo=0 and Hpbm=?",
                             {QString::fromLatin1(codes[i])}),
                  e.stored)
            << codes[i];
    }
    // The totals sum the shown amounts; the closing quantity is summed as it
    // read before it was tidied (7.0000005, shown as 7).
    EXPECT_EQ(r.report.totals[kCarriedAmount], "125001.25");
    EXPECT_EQ(r.report.totals[kClosingQty], "1000005.5000005");
    EXPECT_EQ(r.report.totals[kClosingAmount], "1234567891009.91");
}

// 1,500 two-decimal stock-ins, one per goods or all of one goods: the
// period's sums, the totals row and the reopened report's totals are the
// exact decimal sums.
TEST(PeriodReportSums, ManyDecimalFiguresAddUpToTheirDecimalSum)
{
    const CentAmounts amounts = centAmounts(1500, kNoisySeeds[1]);
    for (const bool oneGoods : {false, true}) {
        SCOPED_TRACE(oneGoods ? "one goods" : "one goods each");
        TestBook book;
        addCentStockIns(book, amounts, oneGoods);
        const GenerationResult r =
            GeneratePeriodReport(book.db(), QDate(2026, 3, 1), QDate(2026, 3, 9), kByPeriodMovement, "#0.00");
        ASSERT_EQ(r.status, GenerationResult::Done) << r.error.toStdString();
        if (oneGoods) {
            EXPECT_EQ(r.report.rows[0][kPeriodInQty], amounts.sum);
        }
        for (int col : {kPeriodInQty, kPeriodInAmount, kYearInQty, kClosingQty, kClosingAmount})
            EXPECT_EQ(r.report.totals[col], amounts.sum) << "column " << col;

        QString error;
        const int number = SavePeriodReport(book.db(), &error);
        ASSERT_GT(number, 0) << error.toStdString();
        PeriodReportRows reopened;
        ASSERT_TRUE(LoadPeriodReport(book.db(), number, QString(), "#0.00", kByPeriodMovement, &reopened, &error)) << error.toStdString();
        EXPECT_EQ(reopened.totals[kPeriodInQty], amounts.sum);
        EXPECT_EQ(reopened.totals[kClosingAmount], amounts.sum);
    }
}

// The stored amounts were rounded when the report was generated: reopened
// after the money decimals changed, they show as stored, not rounded again;
// the cost price, stored unrounded, takes the money format of the day.
TEST_F(Report, ReopenedAmountsAreTheStoredOnesWhateverTheMoneyDecimalsNow)
{
    const GenerationResult r = generate(book);
    ASSERT_EQ(r.status, GenerationResult::Done) << r.error.toStdString();
    QString error;
    const int number = SavePeriodReport(book.db(), &error);
    ASSERT_GT(number, 0) << error.toStdString();
    PeriodReportRows reopened;
    ASSERT_TRUE(LoadPeriodReport(book.db(), number, QString(), "#0", kByPeriodMovement, &reopened, &error))
        << error.toStdString();
    ASSERT_EQ(reopened.rows.size(), r.report.rows.size());
    for (int i = 0; i < r.report.rows.size(); ++i) {
        QStringList expected = r.report.rows[i];
        expected[kCostPrice] = numtext::formatNumber(expected[kCostPrice].toDouble(), "#0");
        EXPECT_EQ(reopened.rows[i], expected) << i;
    }
    EXPECT_EQ(reopened.rows[0][kPeriodInAmount], QStringLiteral("18.5"));
    EXPECT_EQ(reopened.rows[0][kCostPrice], QStringLiteral("3"));
}

TEST_F(Report, NextReportCarriesFromTheSavedOneAndTidiesTheClosingQuantity)
{
    ASSERT_EQ(generate(book).status, GenerationResult::Done);
    QString error;
    ASSERT_EQ(SavePeriodReport(book.db(), &error), 1) << error.toStdString();
    book.m().LoadPeriodStart();
    EXPECT_EQ(book.m().gPeriodStart, QDate(2026, 3, 10));

    setToday(QDate(2026, 4, 1));
    note("TB1", "RK8", "2026-03-20", "张三", {{"G1", 2, 5}});
    book.exec("update TA4 set F8=14.1234567 where F1='G1'");
    const GenerationResult r = generate(book, kByCumulativeMovement);
    ASSERT_EQ(r.status, GenerationResult::Done);
    // Bs/Bj from report 1's closing, cumulative sums continued; RK3 (2026-03-10) now counts.
    EXPECT_EQ(r.report.rows[0].mid(3), (QStringList{"10", "20", "12", "22.5", "102", "110", "109", "128.5", "0", "0",
                                                    "4", "16", "14.123", "132.5"}));
    EXPECT_EQ(book.value("select Bdate||'|'||Edate||'|'||Gs from jxc where SortNo=0 and Hpbm='G1'"),
              "2026-03-10|2026-04-01|14.123");
    // A goods with no saved report carries its year-opening balance.
    book.exec("insert into TA4 (F1,F2,F8,V3,V4,F7) values ('G6','新品',4,4,2,2)");
    const GenerationResult again = generate(book);
    EXPECT_EQ(again.report.rows.last().mid(3, 4), (QStringList{"4", "8", "4", "8"}));
}

TEST_F(Report, SaveTakesANumberAboveEveryNumberInTheTable)
{
    struct Case {
        QVector<int> existing;
        int expected;
    } cases[] = {{{}, 1}, {{1, 2, 3, 4, 5, -1, -2, -3}, 6}, {{-1, -2, -3}, 4}, {{-1, -2, -3, -4, -5, 2}, 6}};
    for (const Case &c : cases) {
        book.exec("delete from jxc");
        for (int n : c.existing)
            book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (?,'2025-01-01','2025-01-31','G1')", {n});
        book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (0,'2026-01-01','2026-03-09','G1')");
        QString error;
        EXPECT_EQ(SavePeriodReport(book.db(), &error), c.expected) << c.existing.size();
        EXPECT_EQ(book.value("select count(*) from jxc where SortNo=0"), "0");
    }
    // Nothing generated: nothing saved, and no number is spent.
    QString error;
    EXPECT_EQ(SavePeriodReport(book.db(), &error), 0);
}

TEST_F(Report, LockDateFollowsSaveAndDelete)
{
    book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (-1,'2025-01-01','2025-12-31','G1')");
    EXPECT_EQ(PeriodStartOf(book.db()), QDate(2026, 1, 1)) << "closed years never end a period";
    book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (2,'2026-01-01','2026-01-31','G1'),"
              "(3,'2026-02-01','2026-02-28','G1')");
    EXPECT_EQ(PeriodStartOf(book.db()), QDate(2026, 3, 1));

    QString error;
    EXPECT_FALSE(DeletePeriodReport(book.db(), 2, &error)) << "only the newest report may go";
    EXPECT_EQ(book.value("select count(*) from jxc where SortNo=2"), "1");
    ASSERT_TRUE(DeletePeriodReport(book.db(), 3, &error)) << error.toStdString();
    EXPECT_EQ(PeriodStartOf(book.db()), QDate(2026, 2, 1));
    ASSERT_TRUE(DeletePeriodReport(book.db(), -1, &error));
    EXPECT_EQ(book.value("select group_concat(SortNo) from jxc"), "2.0");
}

TEST_F(Report, GenerationRefusesAPeriodAnotherOperatorHasSaved)
{
    ASSERT_EQ(generate(book).status, GenerationResult::Done);
    book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (1,'2026-01-01','2026-03-09','G1')");
    EXPECT_EQ(generate(book).status, GenerationResult::Conflict);
    EXPECT_EQ(book.value("select count(*) from jxc where SortNo=0"), "5") << "nothing written, nothing deleted";

    book.exec("delete from jxc");
    book.exec("delete from TA4");
    EXPECT_EQ(generate(book).status, GenerationResult::NoGoods);
}

// ---- the window ---------------------------------------------------------------

struct ReportWindowTest : PeriodFixture {
    ListServices services;
    QPushButton *button(C181 &w, const char *name) { return w.findChild<QPushButton *>(QString::fromLatin1(name)); }
};

TEST_F(ReportWindowTest, GenerateSaveReopenAndDelete)
{
    C181 w;
    WindowDriver<C181> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("货品进出存综合统计报表"));
    // Equal neighbouring captions show as one cell.
    const auto *header = qobject_cast<MergedCaptionHeader *>(w.findChild<QTableView *>("GD")->horizontalHeader());
    ASSERT_NE(header, nullptr);
    const struct {
        int column, first, last;
    } merged[] = {{0, 0, 2}, {2, 0, 2}, {3, 3, 4}, {4, 3, 4}, {9, 9, 10}, {16, 15, 16}};
    for (const auto &m : merged)
        EXPECT_EQ(header->mergedColumns(m.column), std::make_pair(m.first, m.last)) << m.column;
    ASSERT_EQ(w.Comb->count(), 1);
    EXPECT_EQ(w.Comb->itemText(0), QStringLiteral("生成报表：2026-01-01 至 2026-03-09"));
    EXPECT_FALSE(d.menuVisible("Menu_query"));
    EXPECT_FALSE(button(w, "CmdDel")->isEnabled());

    button(w, "Cmd")->click();
    ASSERT_EQ(w.grid().rows(), 5 + 3);
    EXPECT_EQ(d.cell(1, 3), QStringLiteral("数量"));
    EXPECT_EQ(d.cell(2, 0), QStringLiteral("G1"));
    EXPECT_EQ(d.cell(7, 4), QStringLiteral("合计："));
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("货品进出存报表：共 5 条记录 当前为第 1 条"));
    EXPECT_TRUE(d.menuVisible("Menu_query"));
    d.pickRow(7);  // the totals row: back to the first record
    EXPECT_EQ(w.curRow(), 2);

    ASSERT_TRUE(button(w, "CmdDel")->isEnabled());
    button(w, "CmdDel")->click();
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("保存成功！"));
    EXPECT_EQ(w.CurrentReportNo, 1);
    EXPECT_EQ(w.Comb->itemText(0), QStringLiteral("历史报表：2026-01-01 至 2026-03-09"));
    EXPECT_EQ(button(w, "CmdDel")->text(), QStringLiteral("删除报表"));
    EXPECT_EQ(book.m().gPeriodStart, QDate(2026, 3, 10));
    button(w, "CmdDel")->click();  // not answered: nothing is deleted
    EXPECT_EQ(book.value("select count(*) from jxc where SortNo=1"), "5");

    // Reopened the next day: no generate item; the newest report can be deleted.
    setToday(QDate(2026, 3, 10));
    C181 again;
    ASSERT_EQ(again.Comb->count(), 1);
    button(again, "Cmd")->click();
    EXPECT_EQ(again.grid().textMatrix(2, kClosingAmount), QStringLiteral("22.5"));
    EXPECT_EQ(again.grid().textMatrix(7, 0), QStringLiteral("合计："));
    EXPECT_EQ(again.grid().textMatrix(3, kNameSpecUnit), QStringLiteral("螺母//个")) << "goods whose 规格 is Null";
    ASSERT_TRUE(button(again, "CmdDel")->isEnabled());
    book.prompt().answerYes();
    button(again, "CmdDel")->click();
    EXPECT_EQ(book.value("select count(*) from jxc"), "0");
    EXPECT_EQ(book.m().gPeriodStart, QDate(2026, 1, 1));
    EXPECT_EQ(again.Comb->itemText(0), QStringLiteral("生成报表：2026-01-01 至 2026-03-10"));
}

TEST_F(ReportWindowTest, OnlyTheNewestReportOfTheYearCanBeDeleted)
{
    book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm,Gs) values (-1,'2025-01-01','2025-12-31','G1',1),"
              "(2,'2026-01-01','2026-01-31','G1',2),(2,'2026-01-01','2026-01-31','G2',5),"
              "(3,'2026-02-01','2026-03-08','G1',3)");
    C181 w;
    WindowDriver<C181> d{w};
    // The period starts today: nothing to generate, the newest report first.
    ASSERT_EQ(w.Comb->count(), 3);
    EXPECT_EQ(w.Comb->itemText(1), QStringLiteral("历史报表：2026-01-01 至 2026-01-31"));
    EXPECT_EQ(button(w, "Cmd")->text(), QStringLiteral("打开报表"));
    d.menu("Menu_Year");  // no open period: the year-end window is offered
    EXPECT_TRUE(services.dialogs.shown.contains(QStringLiteral("YearEnd")));

    struct Case {
        int index;
        bool deletable;
    } cases[] = {{0, true}, {1, false}, {2, false}};
    for (const Case &c : cases) {
        w.Comb->setCurrentIndex(c.index);
        button(w, "Cmd")->click();
        EXPECT_EQ(button(w, "CmdDel")->isEnabled(), c.deletable) << c.index;
    }

    // A condition narrows the shown report; the narrowed report cannot be deleted.
    w.Comb->setCurrentIndex(1);
    button(w, "Cmd")->click();
    EXPECT_EQ(w.recordCount(), 2);
    services.answerQuery(0, 0, QStringLiteral("G2"));
    d.menu("Menu_query");
    EXPECT_EQ(w.recordCount(), 1);
    EXPECT_EQ(d.cell(2, 0), QStringLiteral("G2"));
    EXPECT_EQ(d.cell(3, 15), QStringLiteral("5"));
    EXPECT_FALSE(button(w, "CmdDel")->isEnabled());
}

TEST_F(ReportWindowTest, YearEndWaitsForTheOpenPeriodToBeSaved)
{
    C181 w;
    WindowDriver<C181> d{w};
    d.menu("Menu_Year");
    EXPECT_EQ(book.prompt().lastText(),
              QStringLiteral("今天是 2026-03-09 ，请首先生成本期报表并保存，之后才可以进行年度结转操作！"));
    EXPECT_TRUE(services.dialogs.shown.isEmpty());
}

TEST_F(ReportWindowTest, CostUpdateTakesClosingAmountOverQuantity)
{
    book.exec("update TA4 set F8=4 where F1='G5'");  // G5: closing 4, amount 30 - 9 = 21
    C181 w;
    WindowDriver<C181> d{w};
    button(w, "Cmd")->click();
    ASSERT_EQ(d.cell(6, 0), QStringLiteral("G5"));

    d.menu("Menu_FangFa0");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("点击“生成报表”，系统就会按成本价格统计结存金额!"));
    d.menu("Menu_updTA4F7");
    EXPECT_EQ(book.prompt().lastText(),
              QStringLiteral("当前报表的是按照成本均价统计的,没有必要再按照统计报表更新成本价!"));
    d.menu("Menu_FangFa1");

    book.prompt().answerYes();
    d.menu("Menu_updTA4F7");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("报表中所有货品的库存均价(成本价)更新完成！"));
    EXPECT_EQ(d.cell(6, 2), QStringLiteral("5.25"));
    EXPECT_EQ(book.value("select F7 from TA4 where F1='G5'"), "5.25");
    EXPECT_EQ(book.value("select F7 from TA4 where F1='G1'"), "1.88");  // 22.5 / 12
    EXPECT_EQ(book.value("select jxc.Gprice from jxc where Hpbm='G5'"), "3.0") << "saved values never change";
}

TEST_F(ReportWindowTest, PrintStagesDataRowsAndTotalsOfTheChosenColumns)
{
    C181 w;
    WindowDriver<C181> d{w};
    d.menu("Menu_P0");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("没有数据可打印！"));

    button(w, "Cmd")->click();
    ListServices::provideTemplate(book.dir(), QStringLiteral("Pjxc02.rpt"));
    d.menu("Menu_P1");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("cpt")), QStringLiteral("货品进出年报表"));
    EXPECT_EQ(shown->formula(QStringLiteral("rq")), QStringLiteral("截止到  2026-03-09 "));
    EXPECT_EQ(shown->formula(QStringLiteral("s4")), QStringLiteral("26.5"));
    // The year-opening sums, which the totals row does not carry.
    EXPECT_EQ(shown->formula(QStringLiteral("s1")), QStringLiteral("20"));
    EXPECT_EQ(shown->formula(QStringLiteral("s2")), QStringLiteral("50"));
    EXPECT_EQ(shown->rows.size(), 5);
    EXPECT_EQ(book.value("select group_concat(F0||'|'||F1||'|'||F4||'|'||F5||'|'||F8||'|'||F11||'|'||coalesce(F12,'')"
                         "||'|'||coalesce(F13,''), ';') from Plist"),
              QStringLiteral("00002|G1|10|20|4|22.5|001|所有货品;00003|G2|0|0|3|-3.75||;00004|G3|0|0|0|2||;"
                             "00005|G4|0|0|0|6||;00006|G5|10|30|3|21||"));

    d.menu("Menu_P0");
    shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->formula(QStringLiteral("rq")), QStringLiteral("2026-01-01 至 2026-03-09"));
    EXPECT_EQ(shown->formula(QStringLiteral("s1")), QStringLiteral("20"));

    // Saved and reopened, the totals label sits in column 0: the year print sums the same.
    button(w, "CmdDel")->click();
    button(w, "Cmd")->click();
    ASSERT_EQ(d.cell(w.grid().rows() - 1, 0), QStringLiteral("合计："));
    d.menu("Menu_P1");
    shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->formula(QStringLiteral("s1")), QStringLiteral("20"));
    EXPECT_EQ(shown->formula(QStringLiteral("s2")), QStringLiteral("50"));
}

// Goods with fractions and a cost price of many decimals: G6 holds 0.125 of
// a year opening of 0.445 after 0.32 went out; G7 is 0.32 short.
struct FractionReportTest : ReportWindowTest {
    FractionReportTest()
    {
        book.exec("insert into TA4 (F1,F2,F5,F4,F7,F8,V3,V4) values "
                  "('G6','垫圈','W1','个',0.0920553004591735,0.125,0.445,0.5),"
                  "('G7','销钉','P1','个',0.5,-0.32,0,null)");
        note("TD1", "CK6", "2026-02-10", "张三", {{"G6", 0.32, 0.5}});
    }

    // The data rows and the totals of the shown report.
    static QVector<QStringList> shownRows(C181 &w)
    {
        QVector<QStringList> rows;
        for (int r = 2; r < w.grid().rows(); ++r)
            rows.append(w.grid().rowTexts(r));
        return rows;
    }
    // The rows the last print staged, F0..F13 of each.
    QString staged()
    {
        QStringList fields;
        for (int f = 0; f <= 13; ++f)
            fields.append(QStringLiteral("coalesce(F%1,'')").arg(f));
        return book.value(QStringLiteral("select group_concat(") + fields.join(QStringLiteral("||'|'||")) +
                          QStringLiteral(", ';') from (select * from Plist order by F0)"));
    }
};

TEST_F(FractionReportTest, FiguresKeepTheirZeroBeforeThePoint)
{
    C181 w;
    button(w, "Cmd")->click();
    ASSERT_EQ(w.grid().rows(), 7 + 3);
    //        code  name        cost    As       Aj      Bs       Bj      Cs   Cj   Ds   Dj   Es      Ej      Fs      Fj      Gs       Gj
    EXPECT_EQ(w.grid().rowTexts(7), (QStringList{"G6", "垫圈/W1/个", "0.09", "0.445", "0.22", "0.445", "0.22", "0", "0", "0",
                                                 "0", "0.32", "0.16", "0.32", "0.16", "0.125", "0.06"}));
    EXPECT_EQ(w.grid().rowTexts(8).mid(kClosingQty), (QStringList{"-0.32", "0"}));
    for (int r = 2; r < w.grid().rows(); ++r)
        for (const QString &text : w.grid().rowTexts(r))
            EXPECT_FALSE(text.startsWith(QLatin1Char('.')) || text.startsWith(QStringLiteral("-.")))
                << r << ": " << text.toStdString();
}

// Saved and reopened, a report shows every figure as it did when generated,
// on screen and in the print, whichever closing method made it.
TEST_F(FractionReportTest, ReopenedReportShowsItsFiguresAsGenerated)
{
    ListServices::provideTemplate(book.dir(), QStringLiteral("Pjxc02.rpt"));
    for (const char *method : {"Menu_FangFa0", "Menu_FangFa1", "Menu_FangFa2"}) {
        SCOPED_TRACE(method);
        book.exec("delete from jxc");
        C181 w;
        WindowDriver<C181> d{w};
        d.menu(method);
        button(w, "Cmd")->click();
        const QVector<QStringList> generated = shownRows(w);
        ASSERT_EQ(generated.size(), 8);
        EXPECT_EQ(generated[5][kCostPrice], QStringLiteral("0.09"));
        d.menu("Menu_P0");
        const QString generatedPrint = staged();

        button(w, "CmdDel")->click();
        ASSERT_EQ(book.prompt().lastText(), QStringLiteral("保存成功！"));
        button(w, "Cmd")->click();
        const QVector<QStringList> reopened = shownRows(w);
        ASSERT_EQ(reopened.size(), generated.size());
        for (int i = 0; i + 1 < generated.size(); ++i)
            EXPECT_EQ(reopened[i], generated[i]) << generated[i][kCode].toStdString();
        // The totals row labels another column; its figures are the same.
        EXPECT_EQ(reopened.last().mid(kCarriedQty), generated.last().mid(kCarriedQty));
        d.menu("Menu_P0");
        EXPECT_EQ(staged(), generatedPrint);
    }
}

// Exported to Excel, the period report holds its figures as numbers and its
// totals as a row in the figures' columns, not as a sentence.
TEST_F(ReportWindowTest, ExportedReportHoldsNumbersAndTotalsInTheirColumns)
{
    C181 w;
    WindowDriver<C181> d{w};
    button(w, "Cmd")->click();
    ListServices::provideTemplate(book.dir(), QStringLiteral("Pjxc02.rpt"));
    d.menu("Menu_P0");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    const QString path = book.dir() + QStringLiteral("/月报表.xlsx");
    ListServices::exportShownReport(book.fileDialogs(), "ExportXlsx", path);
    QSet<QString> numbers;
    const QHash<QString, QString> cells = xlsx::sheetCells(path, &numbers);

    // Title, two heading lines and the captions, G1..G5 on rows 5 to 9, the totals on row 10.
    EXPECT_EQ(cells.value("A5"), QStringLiteral("G1"));
    EXPECT_FALSE(numbers.contains("A5"));
    EXPECT_EQ(cells.value("D5"), QStringLiteral("2.5"));
    for (int row = 5; row <= 9; ++row)
        for (char column = 'E'; column <= 'L'; ++column) {
            const QString ref = QString(QChar(column)) + QString::number(row);
            EXPECT_TRUE(numbers.contains(ref)) << ref.toStdString() << " " << cells.value(ref).toStdString();
        }
    EXPECT_EQ(cells.value("A10"), QStringLiteral("合计"));
    for (int k = 1; k <= 8; ++k) {
        const QString ref = QString(QChar('D' + k)) + QStringLiteral("10");
        EXPECT_TRUE(numbers.contains(ref)) << ref.toStdString();
        EXPECT_DOUBLE_EQ(cells.value(ref).toDouble(), shown->formula(QStringLiteral("s%1").arg(k)).toDouble())
            << ref.toStdString();
    }
    EXPECT_FALSE(cells.contains("A11"));
}

} // namespace
