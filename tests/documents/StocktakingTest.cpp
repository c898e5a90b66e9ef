#include "DocumentWindowFixture.h"

#include "documents/DocumentWindow.h"
#include "documents/StocktakingKind.h"
#include "platform/NumberText.h"
#include "platform/report/ReportEngine.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/Prnt.h"
#include "shell/Query.h"
#include "shell/WindowRegistry.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>

using namespace documents;

namespace {

const QString kUser = QStringLiteral("系统管理员");

class StocktakingTest : public DocumentWindowBook {
protected:
    StocktakingTest()
    {
        addGoods(QStringLiteral("A"), 10, 2, 3, QStringLiteral("螺丝"));
        addGoods(QStringLiteral("B"), 4, 2.5, 3, QStringLiteral("垫片"), QStringLiteral("M6"));
    }
    void TearDown() override { delete Prnt::loaded(); }

    DocumentWindow *open() { return DocumentWindowBook::open(QStringLiteral("C2")); }
    // A line as the grid shows it (row 0: the captions).
    QStringList line(int r)
    {
        const GridModel &grid = window->lineGrid();
        if (r == 0)
            return grid.rowTexts(0);
        QStringList shown;
        for (int c = 0; c < grid.cols(); ++c)
            shown << grid.data(grid.index(r - 1, c), Qt::DisplayRole).toString();
        return shown;
    }
    bool red(int r) { return window->lineGrid().cellForeground(r, 5) == QColor(Qt::red); }
    QString total() { return child(QStringLiteral("Txt5"))->text(); }

    // A stored unaudited stocktaking note with lines (code, book, counted, price).
    void addCount(const QString &number, const QString &date,
                  const QList<std::tuple<QString, double, double, double>> &lines)
    {
        book.exec("insert into TC2 (F1,F2,F3,F5,F9,F10) values (?,?,'张三','录入',0,'')", {number, date});
        for (const auto &[code, bookQty, counted, price] : lines)
            book.exec("insert into TC21 (F0,F1,F5,F6,F7,F8) values (?,?,?,?,?,'')", {number, code, bookQty, counted, price});
    }

    SaveRequest request(const QString &number)
    {
        SaveRequest r;
        r.number = number;
        r.reservedNo = number;
        r.date = QStringLiteral("2026-12-09");
        r.party = QStringLiteral("张三");
        r.enteredBy = kUser;
        r.total = QStringLiteral("-4.00");
        r.lines = {{QStringLiteral("A"), QStringLiteral("8"), QStringLiteral("2.00"), QStringLiteral("r"),
                    QStringLiteral("10.00")}};
        return r;
    }

    const DocumentKind &C2 = stocktakingNoteKind();
};

} // namespace

// ---- line entry -------------------------------------------------------------------

TEST_F(StocktakingTest, EntryStripTakesBookQuantityAndPriceWhenTheCodeEnters)
{
    addGoods(QStringLiteral("N"), QVariant(), QVariant(), QVariant(), QStringLiteral("无账"));
    open();
    EXPECT_EQ(window->windowTitle(), "库存盘点单");
    trigger(QStringLiteral("Menu_Add"));
    EXPECT_EQ(window->windowTitle(), "货品盘点单  警告！在货品盘点至盘点单录入结束期间，不可以进行任何出库入库操作！");
    EXPECT_EQ(child(QStringLiteral("Txt0"))->text(), "PD2612090001");
    EXPECT_EQ(child(QStringLiteral("Txt2"))->text(), kUser);
    EXPECT_FALSE(child(QStringLiteral("Txt2"))->isReadOnly());
    EXPECT_EQ(openCell(), std::make_pair(-1, -1));  // lines start in the entry strip
    EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("Label2"))->text(), "实盘数：");
    EXPECT_EQ(line(0), QStringList({"货品编码", "货品名称/规格", "帐面数量", "实盘数量", "核算价格", "盈亏金额", "备注"}));

    enterLine(QStringLiteral("a"), QStringLiteral("8"));
    EXPECT_EQ(line(1), QStringList({"A", "螺丝/规格", "10", "8", "2.00", "-4", ""}));
    EXPECT_TRUE(red(1));
    EXPECT_EQ(total(), "-4.00");
    EXPECT_EQ(child(QStringLiteral("Txt5"))->palette().color(QPalette::Text), QColor(Qt::red));

    // A second count of A adds up; book quantity and price stay those of the entry.
    book.exec("update TA4 set F8=12, F7=9 where F1='A'");
    enterLine(QStringLiteral("A"), QStringLiteral("3"));
    EXPECT_EQ(line(1), QStringList({"A", "螺丝/规格", "10", "11", "2.00", "2", ""}));
    EXPECT_FALSE(red(1));
    EXPECT_EQ(total(), "2.00");
    EXPECT_NE(child(QStringLiteral("Txt5"))->palette().color(QPalette::Text), QColor(Qt::red));

    // Counted as none is a line too; goods without quantity or cost leave those cells empty.
    enterLine(QStringLiteral("B"), QStringLiteral("0"));
    EXPECT_EQ(line(2), QStringList({"B", "垫片/M6", "4", "0", "2.50", "-10", ""}));
    EXPECT_TRUE(red(2));
    enterLine(QStringLiteral("N"), QStringLiteral("5"));
    EXPECT_EQ(line(3), QStringList({"N", "无账/规格", "", "5", "", "0", ""}));
    EXPECT_EQ(total(), "-8.00");
    EXPECT_EQ(panel4(), "盘点单明细：共 3 条记录 当前为第 3 条");

    book.prompt().clear();
    enterLine(QStringLiteral("ZZ"), QStringLiteral("1"));
    EXPECT_EQ(book.prompt().texts(),
              QStringList{"货品资料库中不存在“ZZ”这个货品编码！\n\n请点击“？”按钮查找系统中存在的货品编码，\n\n"
                          "或在基础数据中增加新的货品资料！"});
    EXPECT_EQ(window->lineGrid().rows(), 5);  // three lines and the typing row

    // The goods search shows the quantity on hand as the book figure.
    child(QStringLiteral("TxtHPBM"))->setText(QStringLiteral("A"));
    child<QPushButton>(QStringLiteral("CmdQuery"))->click();
    const QAbstractItemModel *found = child<QTableView>(QStringLiteral("GdQuery"))->model();
    EXPECT_EQ(found->headerData(2, Qt::Horizontal).toString(), "帐面数");
    EXPECT_EQ(found->data(found->index(0, 2)).toString(), "12 个");
}

TEST_F(StocktakingTest, CellEntryWalkAndItsRules)
{
    m().gMoneyFormat = QStringLiteral("#0.000");
    open();
    trigger(QStringLiteral("Menu_Add"));
    enterLine(QStringLiteral("B"), QStringLiteral("6"));
    EXPECT_EQ(line(1)[4], "2.50");  // the strip shows the price with two decimals

    // A code typed into the fresh row: counted 0, the price in the money format.
    window->BeginCellEdit(2, 0);
    typeInCell(QStringLiteral("a"));
    EXPECT_EQ(line(2), QStringList({"A", "螺丝/规格", "10", "0", "2.000", "-20.000", ""}));
    EXPECT_TRUE(red(2));
    EXPECT_EQ(openCell(), std::make_pair(2, 3));
    typeInCell(QStringLiteral("12"));
    EXPECT_EQ(line(2)[5], "4");
    EXPECT_FALSE(red(2));
    EXPECT_EQ(openCell(), std::make_pair(2, 6));  // no price step
    typeInCell(QStringLiteral("复盘"));
    EXPECT_EQ(openCell(), std::make_pair(3, 0));
    EXPECT_EQ(total(), "9.000");

    // The price is never edited; the counted quantity follows the absolute-value option.
    m().gOptLockLinePrice = 0;
    window->BeginCellEdit(2, 4);
    EXPECT_EQ(openCell(), std::make_pair(-1, -1));
    window->BeginCellEdit(2, 3);
    typeInCell(QStringLiteral("-12"));
    EXPECT_EQ(line(2)[3], "-12");
    EXPECT_EQ(line(2)[5], "-44");
    m().gOptAbsoluteQuantities = 1;
    window->BeginCellEdit(2, 3);
    typeInCell(QStringLiteral("-12"));
    EXPECT_EQ(line(2)[3], "12");

    // Another line's code, in lower case, moves to that line; an unknown code is refused.
    book.prompt().clear();
    window->BeginCellEdit(3, 0);
    typeInCell(QStringLiteral("b"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"相同的货品编码已经存在！"});
    EXPECT_EQ(window->lineRow(), 1);
    book.prompt().clear();
    window->BeginCellEdit(3, 0);
    typeInCell(QStringLiteral("ZZ"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"无效的货品编码!"});
    EXPECT_EQ(line(3)[0], "");

    // Emptying a code asks about its stocktaking data; the loss colour goes with its row.
    window->BeginCellEdit(1, 3);
    typeInCell(QStringLiteral("1"));
    ASSERT_TRUE(red(1));
    ASSERT_FALSE(red(2));
    book.prompt().clear();
    book.prompt().answerYes();
    window->BeginCellEdit(1, 0);
    typeInCell(QString());
    EXPECT_EQ(book.prompt().texts(), QStringList{"真的要删除货品[垫片/M6]的盘点资料吗？"});
    EXPECT_EQ(line(1)[0], "A");
    EXPECT_FALSE(red(1));
    book.prompt().answerYes();
    window->BeginCellEdit(1, 0);
    typeInCell(QString());
    EXPECT_EQ(window->lineGrid().rows(), 2);
    EXPECT_EQ(line(1)[0], "");
    EXPECT_EQ(total(), "0.000");
}

TEST_F(StocktakingTest, QuantityOnlyModeSumsTheDifferences)
{
    m().gOptKeepPrices = 0;
    open();
    EXPECT_EQ(window->listGrid().textMatrix(0, 5), "盈亏数");
    EXPECT_EQ(child<QLabel>(QStringLiteral("Lab5"))->text(), "盈亏数量");
    trigger(QStringLiteral("Menu_Add"));
    enterLine(QStringLiteral("A"), QStringLiteral("8"));
    enterLine(QStringLiteral("B"), QStringLiteral("9"));
    EXPECT_EQ(total(), "3");
    auto *grid = child<QTableView>(QStringLiteral("GdMx"));
    EXPECT_TRUE(grid->isColumnHidden(4));
    EXPECT_TRUE(grid->isColumnHidden(5));
}

// ---- save -------------------------------------------------------------------------

TEST_F(StocktakingTest, SaveRefusalsLeaveTheBookUntouched)
{
    struct Case {
        const char *what;
        std::function<void(SaveRequest &)> change;
        QString message;
    };
    const QList<Case> cases{
        {"empty number", [](SaveRequest &r) { r.number = " "; }, "盘点单号不能为空！"},
        {"numbers used up", [](SaveRequest &r) { r.number = Module1::EnterDocNoText; }, "盘点单号不能为空！"},
        {"empty date", [](SaveRequest &r) { r.date = ""; }, "盘点时间不能为空！"},
        {"empty stocktaker", [](SaveRequest &r) { r.party = "  "; }, "盘点人不能为空！"},
        {"no lines", [](SaveRequest &r) { r.lines = {{"", "", "", ""}}; }, "不能保存空的单据！请录入盘点货品！"},
        {"no date", [](SaveRequest &r) { r.date = "2026-13-40"; }, "盘点时间不是有效的日期！"},
        {"infinite count", [](SaveRequest &r) { r.lines[0].quantity = "1e400"; }, numtext::unstorableMessage("实盘数量")},
        {"huge count", [](SaveRequest &r) { r.lines[0].quantity = "-1e308"; }, numtext::unstorableMessage("实盘数量")},
        {"huge book quantity", [](SaveRequest &r) { r.lines[0].bookQuantity = "1e15"; },
         numtext::unstorableMessage("帐面数量")},
        {"huge amount", [](SaveRequest &r) { r.lines[0].quantity = "6e14"; }, numtext::unstorableMessage("金额")},
    };
    for (const Case &c : cases) {
        SaveRequest r = request(QStringLiteral("PD1"));
        c.change(r);
        const SaveOutcome out = saveDocument(m(), C2, r);
        EXPECT_FALSE(out.done) << c.what;
        EXPECT_EQ(out.message, c.message) << c.what;
    }
    EXPECT_EQ(book.value("select (select count(*) from TC2)+(select count(*) from TC21)"), "0");
}

TEST_F(StocktakingTest, SaveAndEditThroughTheWindow)
{
    open();
    trigger(QStringLiteral("Menu_Add"));
    auto *taker = child(QStringLiteral("Txt2"));
    taker->setText(QStringLiteral(" li'si "));
    child(QStringLiteral("Txt6"))->setText(QStringLiteral("年末"));
    enterLine(QStringLiteral("A"), QStringLiteral("8"));
    enterLine(QStringLiteral("B"), QStringLiteral("4.5"));
    book.prompt().clear();
    trigger(QStringLiteral("Menu_save"));
    ASSERT_EQ(window->Edstu(), 0) << book.prompt().lastText().toStdString();
    EXPECT_EQ(window->windowTitle(), "货品盘点单");
    EXPECT_EQ(book.prompt().lastText(),
              "单据保存成功！\n\n但是现在单据并没有正式生效，\n\n必须经[审核]操作，单据才正式生效并更新库存！");
    EXPECT_EQ(book.value("select F1||'|'||F2||'|'||F3||'|'||F5||'|'||coalesce(F6,'null')||'|'||F9||'|'||F10 from TC2"),
              "PD2612090001|2026-12-09|li'si|系统管理员|null|-2.75|年末");
    EXPECT_EQ(book.value("select group_concat(F1||':'||F5||':'||F6||':'||F7, ',') from (select * from TC21 order by F1)"),
              "A:10.0:8.0:2.0,B:4.0:4.5:2.5");
    EXPECT_EQ(window->listGrid().rowTexts(1),
              QStringList({"PD2612090001", "2026-12-09", "li'si", kUser, "", "-2.75", "年末", "li'si"}));
    EXPECT_EQ(line(2), QStringList({"B", "垫片/M6", "4", "4.5", "2.50", "1.25", ""}));  // reloaded from the book

    // Changed by another operator: it becomes the entry clerk; the note moves to the list's end.
    addCount(QStringLiteral("PD0"), QStringLiteral("2026-12-01"), {{QStringLiteral("A"), 10, 10, 2}});
    open();
    EXPECT_EQ(window->listGrid().textMatrix(1, 0), "PD0");  // by number
    window->SelectListRow(2);
    m().gUserName = QStringLiteral("王五");
    trigger(QStringLiteral("Menu_edit"));
    ASSERT_EQ(window->Edstu(), 2);
    EXPECT_EQ(openCell(), std::make_pair(-1, -1));
    enterLine(QStringLiteral("A"), QStringLiteral("2"));
    trigger(QStringLiteral("Menu_save"));
    ASSERT_EQ(window->Edstu(), 0);
    EXPECT_EQ(window->listGrid().rowTexts(2)[0], "PD2612090001");
    EXPECT_EQ(book.value("select F5||'|'||F9 from TC2 where F1='PD2612090001'"), "王五|1.25");
    EXPECT_EQ(book.value("select F6 from TC21 where F0='PD2612090001' and F1='A'"), "10.0");
}

TEST_F(StocktakingTest, CountsKeepTheirDecimalsThroughSaveEditAndAudit)
{
    book.exec("update TA4 set F8=10.125 where F1='A'");
    open();
    trigger(QStringLiteral("Menu_Add"));
    enterLine(QStringLiteral("A"), QStringLiteral("9.874"));
    EXPECT_EQ(line(1).mid(2, 4), QStringList({"10.125", "9.874", "2.00", "-0.502"}));  // the book as it is
    EXPECT_EQ(window->lineGrid().rowTexts(1).mid(2, 2), QStringList({"10.125", "9.874"}));
    EXPECT_EQ(total(), "-0.50");
    trigger(QStringLiteral("Menu_save"));
    ASSERT_EQ(window->Edstu(), 0) << book.prompt().lastText().toStdString();
    const char *stored = "select F5||'|'||F6||'|'||(select F9 from TC2) from TC21";
    EXPECT_EQ(book.value(stored), "10.125|9.874|-0.5");

    // Opened for edit and saved unchanged, the note keeps every figure.
    open();
    window->SelectListRow(1);
    trigger(QStringLiteral("Menu_edit"));
    ASSERT_EQ(window->Edstu(), 2);
    EXPECT_EQ(line(1).mid(2, 2), QStringList({"10.125", "9.874"}));
    trigger(QStringLiteral("Menu_save"));
    ASSERT_EQ(window->Edstu(), 0) << book.prompt().lastText().toStdString();
    EXPECT_EQ(book.value(stored), "10.125|9.874|-0.5");

    ASSERT_TRUE(auditDocument(m(), C2, book.value("select F1 from TC2")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 9.874);
}

TEST_F(StocktakingTest, BookAndCountedQuantitiesShowAsListsShowQuantities)
{
    struct Case {
        double onHand;
        const char *counted;
        const char *bookShown, *countedShown;
    };
    const Case cases[] = {
        {40.125, "40.125", "40.125", "40.125"},  // no difference shows where there is none
        {10, "9.5", "10", "9.5"},
        {0.1 + 0.2, ".5", "0.3", "0.5"},
        {1.0 / 3, "1", "0.333", "1"},           // more than five decimals: three
        {-2.5, "0", "-2.5", "0"},
        {1234567.12345, "1234567.12345", "1234567.12345", "1234567.12345"},
    };
    open();
    trigger(QStringLiteral("Menu_Add"));
    int r = 0;
    for (const Case &c : cases) {
        const QString code = QStringLiteral("Q%1").arg(++r);
        addGoods(code, c.onHand, 1);
        enterLine(code, QString::fromLatin1(c.counted));
        EXPECT_EQ(line(r).mid(2, 2), QStringList({c.bookShown, c.countedShown})) << code.toStdString();
    }

    // Saved and opened again, the lines show the same.
    trigger(QStringLiteral("Menu_save"));
    ASSERT_EQ(window->Edstu(), 0) << book.prompt().lastText().toStdString();
    r = 0;
    for (const Case &c : cases) {
        ++r;
        EXPECT_EQ(line(r).mid(2, 2), QStringList({c.bookShown, c.countedShown})) << r;
    }
    EXPECT_EQ(book.number("select F5 from TC21 where F1='Q4'"), db::roundSignificant(1.0 / 3));
}

TEST_F(StocktakingTest, ALineWhoseGoodsIsGoneStillLoadsAndSaves)
{
    addCount(QStringLiteral("PD1"), QStringLiteral("2026-12-09"),
             {{QStringLiteral("A"), 10, 7, 2}, {QStringLiteral("GONE"), 1, 2, 1}});
    open();
    window->SelectListRow(1);
    trigger(QStringLiteral("Menu_edit"));
    ASSERT_EQ(window->Edstu(), 2);
    EXPECT_EQ(window->lineGrid().textMatrix(2, 0), "GONE");
    trigger(QStringLiteral("Menu_save"));
    EXPECT_EQ(book.value("select group_concat(F1) from (select F1 from TC21 order by F1)"), "A,GONE");
}

// ---- audit ------------------------------------------------------------------------

TEST_F(StocktakingTest, AuditAddsCountedMinusBookAndTouchesNothingElse)
{
    struct Case {
        double bookQty, counted, onHand, after;
    };
    // Gains, losses, no difference, a stock-in audited after the count, a loss beyond the stock.
    const QList<Case> cases{{10, 7, 10, 7}, {10, 7, 12, 9}, {4, 0, 1, -3}, {5, 5, 5, 5}, {3, 10.1, 3, 10.1}};
    int n = 0;
    for (const Case &c : cases) {
        const QString no = QStringLiteral("PD%1").arg(++n);
        book.exec("update TA4 set F8=? where F1='A'", {c.onHand});
        addCount(no, QStringLiteral("2026-12-09"), {{QStringLiteral("A"), c.bookQty, c.counted, 2}});
        ASSERT_TRUE(auditDocument(m(), C2, no).done) << n;
        EXPECT_DOUBLE_EQ(goods("F8", "A"), c.after) << n;
    }
    EXPECT_DOUBLE_EQ(goods("F7", "A"), 2);
    EXPECT_DOUBLE_EQ(goods("F71", "A"), 3);
    EXPECT_EQ(book.value("select group_concat(F6) from TC2"), QStringList(n, kUser).join(','));
    EXPECT_EQ(book.value("select count(*) from TC21 where F5 is null or F6 is null"), "0");

    // Goods without a quantity on hand count from 0.
    addGoods(QStringLiteral("N"), QVariant(), QVariant());
    addCount(QStringLiteral("PDN"), QStringLiteral("2026-12-09"), {{QStringLiteral("N"), 0, 3, 0}});
    ASSERT_TRUE(auditDocument(m(), C2, QStringLiteral("PDN")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "N"), 3);
}

TEST_F(StocktakingTest, AuditTwiceThroughAnotherConnectionPostsOnce)
{
    addCount(QStringLiteral("PD1"), QStringLiteral("2026-12-09"), {{QStringLiteral("A"), 10, 7, 2}});
    {
        Module1 other;
        ASSERT_TRUE(other.gDb.open(book.bookPath()));
        other.gUserName = QStringLiteral("李四");
        ASSERT_TRUE(auditDocument(other, C2, QStringLiteral("PD1")).done);
    }
    const Outcome again = auditDocument(m(), C2, QStringLiteral("PD1"));
    EXPECT_FALSE(again.done);
    EXPECT_EQ(again.message, "该单据已审核，不需要再次审核！");
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 7);
    EXPECT_EQ(book.value("select F6 from TC2"), "李四");

    // Goods rows are checked before anything moves.
    addCount(QStringLiteral("PD2"), QStringLiteral("2026-12-09"),
             {{QStringLiteral("A"), 7, 1, 2}, {QStringLiteral("GONE"), 1, 2, 1}});
    EXPECT_EQ(auditDocument(m(), C2, QStringLiteral("PD2")).message, "货品编码资料丢失！\n\n丢失的货品编码：GONE");
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 7);
    EXPECT_EQ(book.value("select coalesce(F6,'') from TC2 where F1='PD2'"), "");
}

TEST_F(StocktakingTest, AnAuditedNoteIsNeverCancelled)
{
    addCount(QStringLiteral("PD1"), QStringLiteral("2026-12-09"), {{QStringLiteral("A"), 10, 7, 2}});
    open();  // the operator is 001
    EXPECT_FALSE(child<QAction>(QStringLiteral("Menu_noOK"))->isVisible());
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    ASSERT_DOUBLE_EQ(goods("F8", "A"), 7);
    window->setListAll(true);
    window->CancelAudit();  // not offered, and refused if reached
    EXPECT_FALSE(cancelAudit(m(), C2, QStringLiteral("PD1")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 7);
    EXPECT_EQ(book.value("select F6 from TC2"), kUser);
}

TEST_F(StocktakingTest, LockDateRefusesBeforeTheQuestion)
{
    addCount(QStringLiteral("PD1"), QStringLiteral("2025-12-31"), {{QStringLiteral("A"), 10, 7, 2}});
    addCount(QStringLiteral("PD2"), QStringLiteral("2026-01-01"), {{QStringLiteral("A"), 10, 8, 2}});
    open();
    trigger(QStringLiteral("Menu_Ok"));
    ASSERT_EQ(book.prompt().shown.size(), 1);
    EXPECT_EQ(book.prompt().shown[0].text, "单据日期不能在 2026-01-01 之前！");
    EXPECT_EQ(book.prompt().shown[0].title, "");
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 10);

    // On the lock date itself: the question, then the posting.
    window->SelectListRow(2);
    book.prompt().clear();
    book.prompt().answerNo();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().texts(),
              QStringList{"审核操作将根据盘点盈亏数量对存库货品的数量进行更新，\n\n审核后单据将不可修改！\n\n真的要继续吗？"});
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 10);
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 8);
    EXPECT_EQ(window->listGrid().rows(), 2);
    EXPECT_EQ(window->listGrid().textMatrix(1, 0), "PD1");
}

TEST_F(StocktakingTest, QueryListsAuditedNotesAndTheAuditKeepsThemListed)
{
    addCount(QStringLiteral("PD1"), QStringLiteral("2026-12-01"), {{QStringLiteral("A"), 10, 7, 2}});
    addCount(QStringLiteral("PD2"), QStringLiteral("2026-12-02"), {{QStringLiteral("A"), 10, 12, 2}});
    book.exec("update TC2 set F9=-2.5");
    book.exec("update TC2 set F6='李四' where F1='PD1'");
    open();
    ASSERT_EQ(window->listGrid().rows(), 2);
    ScriptedDialogRunner runner;
    runner.handle("Query", [](QDialog &d) {
        auto &q = static_cast<Query &>(d);
        EXPECT_EQ(q.CmbF->itemText(2), "盘点人");
        q.CmbF->setCurrentIndex(2);
        q.CmbGX->setCurrentIndex(0);
        q.Txt->setText("张三");
        q.addCondition();
        q.finishQuery();
        return q.result();
    });
    trigger(QStringLiteral("Menu_query"));
    ASSERT_EQ(window->listGrid().rows(), 3);
    EXPECT_EQ(window->listGrid().rowTexts(1), QStringList({"PD1", "2026-12-01", "张三", "录入", "李四", "-2.5", "", "张三"}));

    book.prompt().clear();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"该单据已审核，不需要再次审核！"});
    window->SelectListRow(2);
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 12);
    EXPECT_EQ(window->listGrid().textMatrix(2, 4), kUser);
}

// ---- print ------------------------------------------------------------------------

TEST_F(StocktakingTest, PrintReadsTheNoteFromTheBook)
{
    open();
    trigger(QStringLiteral("Menu_print"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"无数据可打印！"});

    addCount(QStringLiteral("PD1"), QStringLiteral("2026-12-09"),
             {{QStringLiteral("B"), 4, 5, 2.5}, {QStringLiteral("A"), 10, 7, 2}});
    open();
    book.prompt().clear();
    trigger(QStringLiteral("Menu_print"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"报表文件prntc2.rpt丢失！"});
    EXPECT_EQ(Prnt::loaded(), nullptr);

    // Found whatever the case of its name.
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("WAREHOUSE_APP_DIR") + "/prnTC2.rpt", book.dir() + "/PRNTC2.RPT"));
    trigger(QStringLiteral("Menu_print"));
    Prnt *host = Prnt::loaded();
    ASSERT_NE(host, nullptr) << book.prompt().lastText().toStdString();
    const report::FilledReport *report = host->Cry->filledReport();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(host->Cry->selectionFormula(), "{TC2.F1}='PD1'");
    EXPECT_EQ(report->field("taker"), "张三");
    ASSERT_EQ(report->rows.size(), 2);
    // Quantities as the lists show them; price and amount in money.
    EXPECT_EQ(report->rows[0].mid(4, 5), QStringList({"10", "7", "2.00", "-3", "-6.00"}));
    EXPECT_EQ(report->totals.value(8), "-3.50");
    EXPECT_TRUE(report->pageText(0).contains("货品盘点单"));
}

// ---- the road ---------------------------------------------------------------------

TEST_F(StocktakingTest, RoadOfAStocktakingNote)
{
    register_documents_windows();
    MForm main;
    main.findChild<QAction *>(QStringLiteral("Menu_C2"))->trigger();
    QMdiSubWindow *active = main.mdiArea()->activeSubWindow();
    ASSERT_NE(active, nullptr);
    auto *c2 = qobject_cast<DocumentWindow *>(active->widget());
    ASSERT_NE(c2, nullptr);
    EXPECT_EQ(c2->kind().name, "C2");
    EXPECT_EQ(c2->findChild<QTabBar *>(QStringLiteral("TabS"))->tabText(0), "盘点单列表");
    EXPECT_EQ(c2->listGrid().rowTexts(0),
              QStringList({"盘点单号", "盘点日期", "盘点人", "录入员", "审核人", "盈亏额", "附注", ""}));
    EXPECT_EQ(m().statusPanels().panelText(4), "无单据信息");

    c2->NewDocument();
    c2->findChild<QLineEdit *>(QStringLiteral("TxtHPBM"))->setText(QStringLiteral("A"));
    c2->findChild<QLineEdit *>(QStringLiteral("TxtSL"))->setText(QStringLiteral("6"));
    c2->SubmitEntryStrip();
    c2->findChild<QLineEdit *>(QStringLiteral("TxtHPBM"))->setText(QStringLiteral("B"));
    c2->findChild<QLineEdit *>(QStringLiteral("TxtSL"))->setText(QStringLiteral("7"));
    c2->SubmitEntryStrip();
    c2->SaveDocument();
    ASSERT_EQ(c2->Edstu(), 0) << book.prompt().lastText().toStdString();
    EXPECT_EQ(m().statusPanels().panelText(4), "盘点单明细：共 2 条记录 当前为第 1 条");
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 10);  // nothing moves before the audit

    book.prompt().answerYes();
    c2->AuditDocument();
    EXPECT_DOUBLE_EQ(goods("F8", "A"), 6);
    EXPECT_DOUBLE_EQ(goods("F8", "B"), 7);
    EXPECT_EQ(book.value("select F6 from TC2"), kUser);
    EXPECT_EQ(c2->listGrid().rows(), 2);
    EXPECT_EQ(c2->listGrid().textMatrix(1, 0), "");
    EXPECT_EQ(c2->findChild<QTabBar *>(QStringLiteral("TabS"))->currentIndex(), 0);
}
