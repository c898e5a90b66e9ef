// The fiscal year-end: opening balances, the new year start, reports kept as
// closed-year reports or cleared, documents cleared, and its guards.
#include "PeriodFixture.h"

#include "reports/PeriodReportWindow.h"
#include "reports/YearEnd.h"
#include "reports/YearEndCarry.h"
#include "support/ListServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace reports;

namespace {

struct YearEndTest : PeriodFixture {
    ListServices services;
    YearEndTest()
    {
        setToday(QDate(2026, 12, 31));
        // Reports of a closed year, this year's two, and an unsaved one.
        book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (-1,'2025-01-01','2025-12-31','G1'),"
                  "(2,'2026-01-01','2026-06-30','G1'),(3,'2026-07-01','2026-12-30','G1'),"
                  "(3,'2026-07-01','2026-12-30','G2'),(0,'2026-12-31','2026-12-31','G1')");
    }
};

TEST_F(YearEndTest, CarriesStockAndCostIntoTheOpeningBalanceAndKeepsReportsAsClosedYears)
{
    const CarryForwardResult r = CarryForward(book.db(), QDate(2027, 1, 1), QDate(2026, 12, 31), false, false);
    ASSERT_EQ(r.status, CarryForwardResult::Done) << r.error.toStdString();
    EXPECT_EQ(book.value("select group_concat(F1||':'||coalesce(V3,'-')||'/'||coalesce(V4,'-'),' ') from TA4"),
              "G1:12.0/2.5 G2:5.0/- G3:0.0/1.0 G4:2.0/3.0 G5:7.0/3.0");
    EXPECT_EQ(book.value("select F7 from reginfo"), "2027-01-01");
    EXPECT_EQ(book.value("select F5 from pathtxm"), "2026-01-01");
    EXPECT_EQ(book.value("select group_concat(SortNo,' ') from (select SortNo from jxc order by rowid)"),
              "-1.0 -2.0 -3.0 -3.0 0.0");
    EXPECT_EQ(book.value("select count(*) from TB1"), "7") << "documents stay unless asked";
    EXPECT_EQ(PeriodStartOf(book.db()), QDate(2027, 1, 1));

    // The same year-end again would overwrite the closed year's start.
    EXPECT_EQ(CarryForward(book.db(), QDate(2027, 1, 1), QDate(2026, 12, 31), true, true).status,
              CarryForwardResult::AlreadyDone);
    EXPECT_EQ(book.value("select F5 from pathtxm"), "2026-01-01");
    EXPECT_EQ(book.value("select count(*) from jxc"), "5");
}

TEST_F(YearEndTest, ClearingRemovesEveryReportAndDocument)
{
    ASSERT_EQ(CarryForward(book.db(), QDate(2027, 1, 1), QDate(2026, 12, 31), true, true).status,
              CarryForwardResult::Done);
    EXPECT_EQ(book.value("select count(*) from jxc"), "0");
    for (const char *t : {"TB1", "TB11", "TB3", "TB31", "TC2", "TC21", "TD1", "TD11", "TD3", "TD31"})
        EXPECT_EQ(book.value(QStringLiteral("select count(*) from ") + QLatin1String(t)), "0") << t;
}

TEST_F(YearEndTest, RefusedWhileAPeriodBeforeTodayIsOpenAndRolledBackOnFailure)
{
    book.exec("delete from jxc where SortNo=3");  // the period from 2026-07-01 is open again
    EXPECT_EQ(CarryForward(book.db(), QDate(2027, 1, 1), QDate(2026, 12, 31), false, false).status,
              CarryForwardResult::PeriodOpen);
    EXPECT_EQ(book.value("select V3 from TA4 where F1='G1'"), "10.0");

    book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (3,'2026-07-01','2026-12-30','G1')");
    book.exec("create trigger refuse before delete on TD3 begin select raise(abort,'磁盘已满'); end");
    const CarryForwardResult r = CarryForward(book.db(), QDate(2027, 1, 1), QDate(2026, 12, 31), false, true);
    EXPECT_EQ(r.status, CarryForwardResult::Failed);
    EXPECT_TRUE(r.error.contains(QStringLiteral("磁盘已满"))) << r.error.toStdString();
    EXPECT_EQ(book.value("select V3 from TA4 where F1='G1'"), "10.0");
    EXPECT_EQ(book.value("select count(*) from TB1"), "7");
    EXPECT_EQ(book.value("select F7 from reginfo"), "2026-01-01");
}

TEST_F(YearEndTest, WindowRunsForOperator001AndRefreshesTheReportWindow)
{
    C181 reportWindow;
    ASSERT_EQ(reportWindow.Comb->itemText(0), QStringLiteral("历史报表：2026-07-01 至 2026-12-30"));
    YearEnd w(&reportWindow);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("库存年度结转"));
    EXPECT_TRUE(w.labinf->text().contains(QStringLiteral("1.把 2027-01-01 设为下个会计年度的第一天；")));

    book.m().gUserCode = QStringLiteral("002");
    w.Cmd[1]->click();
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("只允许以001帐号的身份操作库存结转功能！您无权操作！"));
    book.m().gUserCode = QStringLiteral("001");
    w.Cmd[1]->click();  // not confirmed
    EXPECT_EQ(book.value("select F7 from reginfo"), "2026-01-01");

    w.Chk[0]->setChecked(true);
    book.prompt().answerYes();
    w.Cmd[1]->click();
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("库存结转操作成功！"));
    EXPECT_EQ(book.value("select count(*) from jxc"), "0");
    EXPECT_EQ(reportWindow.YearBegin, QDate(2027, 1, 1));
    EXPECT_EQ(reportWindow.Labyear->text(), QStringLiteral("会计年度由 2027-01-01 开始"));
    EXPECT_EQ(reportWindow.Comb->count(), 0);
    EXPECT_TRUE(book.prompt().texts().contains(QStringLiteral("今天是会计年度的第一天，不能统计报表！")));
    EXPECT_EQ(book.m().gPeriodStart, QDate(2027, 1, 1));

    // From the second day of the new year the generate item is back.
    setToday(QDate(2027, 1, 2));
    reportWindow.setComb();
    EXPECT_EQ(reportWindow.Comb->itemText(0), QStringLiteral("生成报表：2027-01-01 至 2027-01-02"));
}

} // namespace
