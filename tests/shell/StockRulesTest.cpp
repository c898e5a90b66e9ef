#include "support/TestBook.h"

#include <gtest/gtest.h>

namespace {
// Goods G1 with 10 on hand; unaudited stock-out lines 4 (note CK1) and unaudited
// supplier-return lines 3 (note TH1); audited lines that must not count.
void stockFixture(TestBook &book)
{
    book.exec("insert into TA4 (F1,F2,F8) values ('G1','螺丝',10)");
    book.exec("insert into TD1 (F1,F6) values ('CK1','')");
    book.exec("insert into TD11 (F0,F1,F6) values ('CK1','G1',4)");
    book.exec("insert into TD1 (F1,F6) values ('CK9','李四')");
    book.exec("insert into TD11 (F0,F1,F6) values ('CK9','G1',100)");
    book.exec("insert into TB3 (F1,F6) values ('TH1',null)");
    book.exec("insert into TB31 (F0,F1,F6) values ('TH1','G1 ',3)");
}
} // namespace

TEST(StockRules, CheckStockEnough)
{
    const QString outWording = QStringLiteral("系统中存在的其它尚未审核的出库单中含有编码为G1的货品！\n此种货品现存数量不足以供给所有未审核的出库需求！");
    const QString bothWording = QStringLiteral("系统中存在的其它尚未审核的出库单或退货单中含有编码为G1的货品！\n此种货品现存数量不足以供给所有未审核的出库需求！");
    struct Case {
        int option;
        const char *code;
        double qty;
        const char *docNo;
        bool enough;
        QString message;
    } cases[] = {
        {0, "G1", 1000, "X", true, {}},
        {1, "G1", 0, "X", true, {}},
        {1, "G1", 11, "X", false, QStringLiteral("G1库存数量不足！")},
        {1, "NONE", 1, "X", false, QStringLiteral("NONE库存数量不足！")},
        {1, "G1", 7, "X", false, outWording},
        {1, "G1", 4, "X", false, bothWording},
        {1, "G1", 3, "X", true, {}},  // equality passes
        {1, " G1 ", 3, "X", true, {}},
        {1, "G1", 7, "CK1", true, {}},  // its own lines are no pending demand
        {1, "G1", 6, " TH1", true, {}},
    };
    for (const auto &c : cases) {
        TestBook book;
        stockFixture(book);
        book.m().gOptNoOverdraw = c.option;
        EXPECT_EQ(book.m().CheckStockEnough(c.code, c.qty, c.docNo), c.enough) << c.code << " " << c.qty;
        EXPECT_EQ(book.prompt().lastText(), c.message) << c.code << " " << c.qty;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(book.prompt().shown.last().title, QString());
        }
    }
}

TEST(StockRules, DecimalsAndLetterCaseOfPendingLines)
{
    // Stock 0.3 with 0.1 pending on an unaudited stock-out whose line spells the code in lower case.
    struct Case {
        double stock, pending, asked;
        bool enough;
    } cases[] = {
        {0.3, 0.1, 0.2, true},   // equality passes for decimals
        {0.3, 0.1, 0.21, false},
        {0.3, 0.2, 0.1, true},
        {10000000.3, 10000000.1, 0.2, true},
        {10000000.3, 10000000.1, 0.2000001, false},
    };
    for (const auto &c : cases) {
        TestBook book;
        book.m().gOptNoOverdraw = 1;
        book.exec("insert into TD1 (F1,F6) values ('CK1','')");
        book.db().exec(QStringLiteral("insert into TA4 (F1,F8) values ('AB',?)"), {c.stock});
        book.db().exec(QStringLiteral("insert into TD11 (F0,F1,F6) values ('CK1','ab',?)"), {c.pending});
        EXPECT_EQ(book.m().CheckStockEnough("AB", c.asked, "X"), c.enough) << c.stock << " " << c.pending << " " << c.asked;
    }
}

TEST(StockRules, CancelledAuditCountsAsPendingDemand)
{
    TestBook book;
    stockFixture(book);
    book.m().gOptNoOverdraw = 1;
    book.exec("update TD1 set F6='' where F1='CK9'");
    EXPECT_FALSE(book.m().CheckStockEnough("G1", 1, "X"));
}

TEST(StockRules, LoadPeriodStart)
{
    TestBook book;
    book.exec("update reginfo set F7='2026-1-1'");
    book.m().LoadPeriodStart();
    EXPECT_EQ(book.m().gPeriodStart, QDate(2026, 1, 1));
    book.exec("insert into jxc (SortNo,Bdate,Edate) values (1,'2026-10-1','2026-10-31')");
    book.exec("insert into jxc (SortNo,Bdate,Edate) values (2,'2026-11-1','2026-11-30')");
    book.exec("insert into jxc (SortNo,Bdate,Edate) values (-5,'2027-1-1','2027-1-31')");
    book.m().LoadPeriodStart();
    EXPECT_EQ(book.m().gPeriodStart, QDate(2026, 12, 1));
    book.exec("delete from jxc");
    book.exec("update reginfo set F7='no date'");
    book.m().LoadPeriodStart();
    EXPECT_EQ(book.m().gPeriodStart, QDate(2004, 1, 1));
}

TEST(StockRules, Notices)
{
    TestBook book;
    book.m().ShowSavedNotAuditedNotice();
    EXPECT_EQ(book.prompt().lastText(),
              QStringLiteral("单据保存成功！\n\n但是现在单据并没有正式生效，\n\n必须经[审核]操作，单据才正式生效并更新库存！"));
    book.m().WarnEditInProgress();
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("正在有数据被编辑,现在退出会造成本次编辑的数据丢失。\n\n请您首先点击<保存>或<取消>菜单结束本次编辑。"));
    EXPECT_EQ(book.prompt().shown.last().icon, Prompt::Icon::Information);
}

TEST(SysSettings, LoadSysSettings)
{
    TestBook book;
    book.exec("delete from sysinfo");
    book.m().LoadSysSettings();
    EXPECT_EQ(book.m().gOptKeepPrices, 1);
    EXPECT_EQ(book.m().gMoneyFormat, QStringLiteral("#0.00"));

    book.exec("insert into sysinfo values (0,1,''),(4,0,'1.2'),(5,0,''),(7,1,''),(9,12,''),(10,1,''),(42,1,'')");
    book.m().LoadSysSettings();
    EXPECT_EQ(book.m().gOptNoOverdraw, 1);
    EXPECT_FLOAT_EQ(book.m().gOptSalePriceFactor, 1.2f);
    EXPECT_EQ(book.m().gOptKeepPrices, 0);
    EXPECT_EQ(book.m().gOptAlarmHighAtStart, 1);
    EXPECT_EQ(book.m().gOptMoneyDecimals, 8);
    EXPECT_EQ(book.m().gMoneyFormat, QStringLiteral("#0.00000000"));
    EXPECT_EQ(book.m().gOptAdminEditsOpening, 1);

    // a Null value stops the loading; what was read so far stays, the rest is at its default
    book.exec("delete from sysinfo");
    book.exec("insert into sysinfo values (0,1,''),(1,null,''),(2,1,''),(4,0,'3')");
    book.m().LoadSysSettings();
    EXPECT_EQ(book.m().gOptNoOverdraw, 1);
    EXPECT_EQ(book.m().gOptNoAverageCostUpdate, 0);
    EXPECT_FLOAT_EQ(book.m().gOptSalePriceFactor, 0.0f);

    // another book without option rows runs with the defaults, not the values of the book before
    book.exec("delete from sysinfo");
    book.m().LoadSysSettings();
    EXPECT_EQ(book.m().gOptNoOverdraw, 0);
    EXPECT_EQ(book.m().gOptKeepPrices, 1);
    EXPECT_EQ(book.m().gOptMoneyDecimals, 2);
    EXPECT_EQ(book.m().gMoneyFormat, QStringLiteral("#0.00"));
}
