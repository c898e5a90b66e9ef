// The in/out/balance quantity report over a chosen period, and its print.
#include "PeriodFixture.h"

#include "masterdata/ListServices.h"
#include "masterdata/WindowDriver.h"
#include "reports/BalanceReport.h"
#include "reports/BalanceReportWindow.h"

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
    EXPECT_EQ(w.grid().rowTexts(6).mid(3), (QStringList{"合计：", "-71", "2", "3", "4", "1", "-75"}));
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
