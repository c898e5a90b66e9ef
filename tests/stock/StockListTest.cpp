// The stock list window: its views, cell texts, totals, counter, sort, query and print.
#include "shell/MForm.h"
#include "shell/OperatorLogin.h"
#include "shell/ShellWindows.h"
#include "shell/Startup.h"
#include "stock/StockList.h"
#include "stock/StockListSql.h"
#include "support/ListServices.h"
#include "support/TestBook.h"
#include "support/WindowDriver.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableView>

void register_stock_windows();

namespace {

using stock::stocklist::kCostSelectPart;

struct StockList : ::testing::Test {
    TestBook book;

    // code, quantity, cost, sale, safety, maximum
    void goods(const QString &code, double qty, double cost = 0, double sale = 0, double v1 = 0, double v2 = 0,
               const QString &category = QString())
    {
        book.exec("insert into TA4 (F1,F2,F3,F4,F5,F7,F71,F8,V1,V2) values (?,?,?,'个','规格',?,?,?,?,?)",
                  {code, QStringLiteral("品") + code, category, cost, sale, qty, v1, v2});
    }
    QString status() { return book.m().statusPanels().panelText(4); }
    static QString statusText(int count, int row)
    {
        return QStringLiteral("货品库存资料：共 %1 条记录 当前为第 %2 条").arg(count).arg(row);
    }
    static bool checked(C1 &w, const char *name) { return w.findChild<QAction *>(QString::fromLatin1(name))->isChecked(); }
    static bool visible(C1 &w, const char *name) { return w.findChild<QAction *>(QString::fromLatin1(name))->isVisible(); }
};

TEST_F(StockList, DefaultListShowsGoodsInStockWithTheirTotals)
{
    book.exec("insert into TA3 (F1,F2) values ('L1','五金')");
    goods("A01", 3, 10, 12.5, 0, 0, "L1");
    goods("A02", 0, 10, 20);        // no stock: not listed
    goods("A03", -2, 1, 0.456);     // negative stock is listed
    goods("A04", 1.5, 2, 4, 0, 0, "NONE");
    C1 w;
    WindowDriver<C1> d{w};

    EXPECT_EQ(w.windowTitle(), QStringLiteral("库存货品统计"));
    EXPECT_EQ(w.grid().rowTexts(0), (QStringList{"货品编码", "货品名称", "所属类别", "计量单位", "规格型号", "数量",
                                                  "销售价格", "库存金额"}));
    ASSERT_EQ(w.grid().rows(), 5);
    EXPECT_EQ(w.grid().rowTexts(1), (QStringList{"A01", "品A01", "五金", "个", "规格", "3", "12.5", "37.5"}));
    EXPECT_EQ(w.grid().rowTexts(2), (QStringList{"A03", "品A03", "", "个", "规格", "-2", "0.46", "-0.91"}));
    EXPECT_EQ(w.grid().rowTexts(3), (QStringList{"A04", "品A04", "", "个", "规格", "1.5", "4", "6"}));
    EXPECT_EQ(w.grid().rowTexts(4), (QStringList{"", "", "", "", "合计：", "2.5", "", "42.59"}));
    EXPECT_EQ(w.recordCount(), 3);
    EXPECT_EQ(status(), statusText(3, 1));
    EXPECT_TRUE(w.lastFillSql().endsWith(QStringLiteral("order by TA4.F1 limit 1800")));

    // The totals row cannot be chosen: the last data row is.
    d.pickRow(4);
    EXPECT_EQ(w.curRow(), 3);
    EXPECT_EQ(status(), statusText(3, 3));
    d.pickRow(2);
    EXPECT_EQ(status(), statusText(3, 2));

    // Closing gives panel 4 back to the book's name.
    d.menu("Menu_Return");
    EXPECT_EQ(status(), book.m().gBookName);
}

TEST_F(StockList, QuantitiesAndPricesAreWrittenByTheirRules)
{
    struct Case {
        const char *code;
        double qty, sale;
        const char *qtyText, *priceText;
    } cases[] = {
        {"Q1", 1.5, 12.5, "1.5", "12.5"},
        {"Q2", 0.1234567, 0.456, "0.123", "0.46"},
        {"Q3", 0.12345, 0.1, "0.12345", "0.1"},
        {"Q4", 1e-05, 2.005, "0.000", "2.01"},
        {"Q5", 100000, 3, "100000", "3"},
    };
    for (const Case &c : cases)
        goods(QString::fromLatin1(c.code), c.qty, 0, c.sale);
    C1 w;
    for (int i = 0; i < int(std::size(cases)); ++i) {
        EXPECT_EQ(w.grid().textMatrix(i + 1, 5), QString::fromLatin1(cases[i].qtyText)) << cases[i].code;
        EXPECT_EQ(w.grid().textMatrix(i + 1, 6), QString::fromLatin1(cases[i].priceText)) << cases[i].code;
    }

    // Four decimals of money.
    book.m().gMoneyFormat = QStringLiteral("#0.0000");
    C1 wide;
    EXPECT_EQ(wide.grid().textMatrix(2, 6), QStringLiteral("0.456"));
}

TEST_F(StockList, AlarmViewsListOnlyTheirGoods)
{
    goods("HI", 50, 0, 1, 0, 10);      // above its maximum
    goods("LO", 1, 0, 1, 5, 0);        // below its safety stock
    goods("NEG", -3, 0, 1, 0, 0);      // below a safety stock of 0
    goods("ZERO", 99, 0, 1, 0, 0);     // no maximum: never above it
    goods("OK", 5, 0, 1, 2, 10);
    struct Case {
        int autoOpen;
        QStringList codes;
        const char *caption;
        bool low, high;
    } cases[] = {
        {1, {"LO", "NEG"}, "库存报警：低于安全库存的货品", true, false},
        {2, {"HI"}, "库存报警：高于最高库存的货品", false, true},
        {0, {"HI", "LO", "NEG", "OK", "ZERO"}, "库存货品统计", false, false},
    };
    for (const Case &c : cases) {
        C1 w;
        WindowDriver<C1> d{w};
        w.setProperty("AutoOpen", c.autoOpen);
        EXPECT_EQ(d.column(0).mid(0, c.codes.size()), c.codes) << c.autoOpen;
        EXPECT_EQ(w.recordCount(), c.codes.size()) << c.autoOpen;
        EXPECT_EQ(w.windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(checked(w, "Menu_Bellow"), c.low);
        EXPECT_EQ(checked(w, "Menu_Morethan"), c.high);
        if (c.autoOpen) {
            EXPECT_TRUE(w.lastFillSql().endsWith(QStringLiteral("limit 1000")));
        }
    }

    // The menu switches the view; once shown, AutoOpen no longer does.
    C1 w;
    WindowDriver<C1> d{w};
    d.menu("Menu_Morethan");
    EXPECT_EQ(d.column(0).first(), QStringLiteral("HI"));
    d.menu("Menu_Bellow");
    EXPECT_TRUE(checked(w, "Menu_Bellow"));
    EXPECT_FALSE(checked(w, "Menu_Morethan"));
    w.show();
    w.setProperty("AutoOpen", 2);
    EXPECT_EQ(w.property("AutoOpen").toInt(), 2);
    EXPECT_EQ(d.column(0).first(), QStringLiteral("LO"));
}

TEST_F(StockList, StartUpAlarmsOpenTwoStockLists)
{
    ScriptedDialogRunner dialogs;
    register_shell_windows();
    register_stock_windows();
    goods("HI", 50, 0, 1, 0, 10);
    goods("LO", 1, 0, 1, 5, 0);
    Startup s(book.m());
    s.SetDefaults(book.dir());
    MForm *main = s.ShowMainWindow();
    main->ApplyRights(login::ReadOperatorRights(book.db(), QStringLiteral("001")));
    book.m().gUserCode = QStringLiteral("001");
    book.m().gOptAlarmLowAtStart = 1;
    book.m().gOptAlarmHighAtStart = 1;
    book.prompt().answerYes(2);
    s.StartupDuties();

    QStringList views;
    for (QMdiSubWindow *sub : main->mdiArea()->subWindowList()) {
        auto *list = qobject_cast<C1 *>(sub->widget());
        ASSERT_NE(list, nullptr);
        views << list->windowTitle() + QLatin1Char(':') + list->grid().textMatrix(1, 0);
    }
    EXPECT_EQ(views, (QStringList{"库存报警：高于最高库存的货品:HI", "库存报警：低于安全库存的货品:LO"}));
}

TEST_F(StockList, PriceBasisKeepsConditionsAndDropsTheRowLimit)
{
    book.exec("begin");
    for (int i = 0; i < 1801; ++i)
        goods(QStringLiteral("G%1").arg(i, 4, 10, QLatin1Char('0')), 1, 2, 3);
    book.exec("commit");
    C1 w;
    WindowDriver<C1> d{w};
    EXPECT_EQ(w.recordCount(), 1800);
    EXPECT_TRUE(visible(w, "menu_M"));
    EXPECT_TRUE(checked(w, "Menu_price1"));

    d.menu("Menu_price0");
    EXPECT_EQ(w.reportSql(), kCostSelectPart + QStringLiteral("where TA4.F8<>0 "));
    EXPECT_EQ(w.recordCount(), 1801);
    EXPECT_EQ(w.grid().textMatrix(0, 6), QStringLiteral("成本价格"));
    EXPECT_EQ(w.grid().rowTexts(1).mid(5), (QStringList{"1", "2", "2"}));
    EXPECT_EQ(w.grid().textMatrix(1802, 7), QStringLiteral("3602"));
    EXPECT_TRUE(checked(w, "Menu_price0"));
    EXPECT_FALSE(checked(w, "Menu_price1"));

    // An alarm view shows the price on show.
    goods("LOW", -1, 7, 9);
    d.menu("Menu_Bellow");
    EXPECT_EQ(w.grid().rowTexts(1).mid(5), (QStringList{"-1", "7", "-7"}));
}

TEST_F(StockList, SortRefillsWithTheSameConditions)
{
    goods("A", 3, 5, 1, 10, 0);
    goods("B", 1, 9, 2, 10, 0);
    goods("C", 2, 1, 9, 0, 0);
    goods("D", 4, 2, 3, 10, 0);
    C1 w;
    WindowDriver<C1> d{w};
    EXPECT_TRUE(checked(w, "menu_S0"));
    EXPECT_FALSE(visible(w, "menu_S1"));
    d.menu("Menu_Bellow");
    struct Case {
        const char *item;
        QStringList codes;
    } cases[] = {
        {"menu_S2", {"B", "A", "D"}},  // quantity
        {"menu_S3", {"A", "B", "D"}},  // sale price on show
        {"menu_S0", {"A", "B", "D"}},
        {"menu_S4", {"B", "A", "D"}},  // sale amount: 2, 3, 12
    };
    for (const Case &c : cases) {
        d.menu(c.item);
        EXPECT_TRUE(checked(w, c.item));
        EXPECT_EQ(d.column(0).mid(0, 3), c.codes) << c.item;
        EXPECT_EQ(w.recordCount(), 3) << c.item;
    }
    // Under cost prices the price sort follows them.
    d.menu("Menu_price0");
    EXPECT_EQ(w.orderClause(), QStringLiteral("order by TA4.F7*TA4.F8"));
    EXPECT_EQ(d.column(0).mid(0, 3), (QStringList{"D", "B", "A"}));  // 8, 9, 15
    EXPECT_FALSE(checked(w, "menu_S0"));
}

TEST_F(StockList, QueryReplacesTheConditionsAndCancelKeepsTheList)
{
    goods("A", 3, 5, 1);
    goods("B", 0, 9, 2);   // no stock, found by a query
    goods("C", 2, 1, 9);
    ListServices services;
    C1 w;
    WindowDriver<C1> d{w};
    d.menu("Menu_Bellow");
    int startField = -1;
    services.answerQuery(0, 1, QStringLiteral("B"), &startField);  // 货品编码 包含 B
    d.menu("Menu_query");
    EXPECT_EQ(startField, 5);
    EXPECT_TRUE(w.PubSql.startsWith(stock::stocklist::kSaleSelectPart + QStringLiteral(" Where TA4.F1 like")))
        << w.PubSql.toStdString();
    EXPECT_EQ(d.column(0).mid(0, 1), QStringList{"B"});
    EXPECT_EQ(w.recordCount(), 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("库存存货统计-按条件查找"));
    EXPECT_FALSE(checked(w, "Menu_Bellow"));
    EXPECT_FALSE(w.lastFillSql().contains(QStringLiteral("limit")));

    // A cancelled query changes nothing in the list but clears the alarm item.
    d.menu("Menu_Morethan");
    const QString sql = w.reportSql();
    services.cancelQuery();
    d.menu("Menu_query");
    EXPECT_EQ(w.reportSql(), sql);
    EXPECT_FALSE(checked(w, "Menu_Morethan"));

    // A query that finds nothing: caption and one blank row, "无信息".
    services.answerQuery(0, 0, QStringLiteral("NONE"));
    d.menu("Menu_query");
    EXPECT_EQ(w.grid().rows(), 2);
    EXPECT_EQ(w.recordCount(), 0);
    EXPECT_EQ(status(), QStringLiteral("无信息"));
    book.prompt().clear();
    d.menu("Menu_print");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("无数据可打印！"));
    EXPECT_EQ(ListServices::shownReport(), nullptr);
}

TEST_F(StockList, PriceConditionsCompareThePriceOnShow)
{
    goods("A", 3, 50, 1);
    goods("B", 2, 1, 50);
    ListServices services;
    C1 w;
    WindowDriver<C1> d{w};
    services.answerQuery(6, 0, QStringLiteral("10"));  // 销售价格 大于 10
    d.menu("Menu_query");
    EXPECT_EQ(d.column(0).mid(0, 1), QStringList{"B"}) << w.PubSql.toStdString();
    EXPECT_EQ(w.recordCount(), 1);
}

TEST_F(StockList, PrintStagesTheDataRowsAndShowsThem)
{
    book.exec("insert into TA3 (F1,F2) values ('L1','五''金')");
    goods("A01", 3, 10, 12.5, 0, 0, "L1");
    goods("A02", 1.5, 2, 4);
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc1.rpt"));
    C1 w;
    WindowDriver<C1> d{w};
    for (int round = 0; round < 2; ++round) {
        d.menu("Menu_print");
        const report::FilledReport *shown = ListServices::shownReport();
        ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
        EXPECT_EQ(shown->rows.size(), 2);
        EXPECT_EQ(book.number("select count(*) from PRTc1"), 2);
    }
    EXPECT_EQ(book.value("select F0||'|'||F1||'|'||F2||'|'||F3||'|'||F4||'|'||F5||'|'||F6||'|'||F7||'|'||F8 "
                         "from PRTc1 order by F1 limit 1"),
              QStringLiteral("1|A01|品A01|五'金|个|规格|3.0|12.5|37.5"));
    EXPECT_EQ(book.value("select typeof(F6)||typeof(F7)||typeof(F8) from PRTc1 limit 1"), QStringLiteral("realrealreal"));
}

TEST_F(StockList, MissingTemplateIsNamed)
{
    goods("A01", 3);
    ListServices services;
    C1 w;
    WindowDriver<C1> d{w};
    d.menu("Menu_print");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("报表文件prntc1.rpt丢失！"));
    EXPECT_EQ(book.number("select count(*) from PRTc1"), 0);
}

TEST_F(StockList, QuantityOnlyModeHidesPricesAndStagesZero)
{
    goods("A01", 3, 10, 12.5);
    book.m().gOptKeepPrices = 0;
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc1.rpt"));
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc1sl.rpt"));
    C1 w;
    WindowDriver<C1> d{w};
    w.resize(800, 500);
    w.show();
    auto *grid = w.findChild<QTableView *>(QStringLiteral("GD"));
    EXPECT_FALSE(visible(w, "menu_M"));
    EXPECT_TRUE(grid->isColumnHidden(6));
    EXPECT_TRUE(grid->isColumnHidden(7));
    EXPECT_FALSE(grid->isColumnHidden(5));
    EXPECT_EQ(grid->columnWidth(1), 2 * grid->columnWidth(0));
    EXPECT_EQ(w.grid().textMatrix(1, 6), QStringLiteral("12.5"));  // kept in the hidden cell
    d.menu("Menu_print");
    EXPECT_EQ(book.value("select F6||'|'||F7||'|'||F8 from PRTc1"), QStringLiteral("3.0|0.0|0.0"));
    // The staged zeros are no prices: the print shows none.
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_FALSE(shown->captions.contains(QStringLiteral("价格")));
    EXPECT_FALSE(shown->captions.contains(QStringLiteral("库存金额")));
    EXPECT_FALSE(shown->pageText(0).contains(QStringLiteral("0.00"))) << shown->pageText(0).toStdString();
    EXPECT_EQ(shown->totals.last(), QStringLiteral("3"));
}

TEST_F(StockList, CostStaysHiddenWithoutTheRight)
{
    goods("A01", 3, 10, 12.5);
    book.m().gMayViewCost = false;
    C1 w;
    WindowDriver<C1> d{w};
    w.show();
    EXPECT_FALSE(visible(w, "menu_M"));
    EXPECT_EQ(w.grid().textMatrix(0, 6), QStringLiteral("销售价格"));
    EXPECT_EQ(w.grid().rowTexts(1).mid(6), (QStringList{"12.5", "37.5"}));
    d.menu("menu_S3");
    EXPECT_EQ(w.orderClause(), QStringLiteral("order by TA4.F71"));
}

TEST_F(StockList, ReadFailureIsShownAndLeavesAnEmptyList)
{
    goods("A01", 3);
    book.exec("drop table TA3");
    C1 w;
    ASSERT_FALSE(book.prompt().shown.isEmpty());
    EXPECT_EQ(book.prompt().shown.last().title, QStringLiteral("提示"));
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("文件中缺少帐本的数据表，不是完整的帐本文件。"));
    EXPECT_TRUE(book.prompt().shown.last().details.contains(QStringLiteral("TA3")));
    EXPECT_EQ(w.recordCount(), 0);
}

// The stock list over a description with a column added in the middle, one
// whose expression makes the select part long: the grid, its alignments, the
// totals row, the quantity-only widths, the print, the query and the sorts
// follow, and switching the price basis keeps the view's conditions.
TEST_F(StockList, AColumnAddedInTheMiddleMovesTheListAlongAndTheBasisSwitchKeepsItsConditions)
{
    goods("001", 1, 10, 12.5, 5);  // below its safety stock
    goods("S01", 3, 2, 4, 1);
    goods("002", 2, 7, 9, 4);      // below its safety stock
    const frames::ListColumn added{.caption = QStringLiteral("安全库存"),
                                   .field = QStringLiteral("round(coalesce(TA4.V1,0)*1.0,3) AS SafetyStockShown"),
                                   .kind = frames::CellKind::Number,
                                   .printed = false};
    stock::stocklist::PriceBasisColumns columns = stock::stocklist::listColumns();
    for (frames::ListColumns *basis : {&columns.sale, &columns.cost})
        basis->insert(3, added);
    const QString costSelect = stock::stocklist::selectPart(columns.cost);
    ASSERT_GT(stock::stocklist::selectPart(columns.sale).size(), 133);

    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc1.rpt"));
    C1 w(columns);
    WindowDriver<C1> d{w};
    EXPECT_EQ(w.grid().rowTexts(0), (QStringList{"货品编码", "货品名称", "所属类别", "安全库存", "计量单位", "规格型号",
                                                  "数量", "销售价格", "库存金额"}));
    EXPECT_EQ(w.grid().rowTexts(1), (QStringList{"001", "品001", "", "5", "个", "规格", "1", "12.5", "12.5"}));
    EXPECT_EQ(w.grid().rowTexts(4), (QStringList{"", "", "", "", "", "合计：", "6", "", "42.5"}));
    const auto horizontal = [&](int row, int col) {
        return Qt::Alignment(w.grid().data(w.grid().index(row, col), Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    for (int row : {0, 1, 2})
        EXPECT_EQ(horizontal(row, 0), Qt::AlignLeft) << w.grid().textMatrix(row + 1, 0).toStdString();
    for (int col : {3, 6, 7, 8})
        EXPECT_EQ(horizontal(0, col), Qt::AlignRight) << "column " << col;

    d.menu("Menu_print");
    EXPECT_EQ(book.value("select F1||'|'||F5||'|'||F6||'|'||F7||'|'||F8 from PRTc1 where F1='001'"),
              QStringLiteral("001|规格|1.0|12.5|12.5"));

    int startField = -1;
    services.answerQuery(0, 1, QStringLiteral("0"), &startField);  // 货品编码 包含 0
    d.menu("Menu_query");
    EXPECT_EQ(startField, 6);  // the quantity
    EXPECT_EQ(d.column(0).mid(0, 3), (QStringList{"001", "002", "S01"}));

    // The alarm view under the other price basis: the same goods, sorted by
    // the amount on show.
    d.menu("Menu_Bellow");
    d.menu("menu_S4");
    d.menu("Menu_price0");
    EXPECT_EQ(w.reportSql(), costSelect + stock::stocklist::kBelowSafetyCondition);
    EXPECT_EQ(w.orderClause(), QStringLiteral("order by TA4.F7*TA4.F8"));
    EXPECT_EQ(d.column(0).mid(0, 2), (QStringList{"001", "002"}));  // 10, 14
    EXPECT_EQ(w.recordCount(), 2);
    EXPECT_EQ(w.grid().textMatrix(0, 7), QStringLiteral("成本价格"));

    // In quantity-only mode the price and the amount hand their room to the
    // name and the size/model.
    book.m().gOptKeepPrices = 0;
    C1 quantities(columns);
    quantities.resize(900, 500);
    quantities.show();
    auto *grid = quantities.findChild<QTableView *>(QStringLiteral("GD"));
    for (int c : {7, 8})
        EXPECT_TRUE(grid->isColumnHidden(c)) << "column " << c;
    EXPECT_EQ(grid->columnWidth(1), 2 * grid->columnWidth(0));
    EXPECT_EQ(grid->columnWidth(5), 2 * grid->columnWidth(0));
}

} // namespace
