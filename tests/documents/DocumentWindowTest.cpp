#include "DocumentWindowFixture.h"
#include "platform/NumberText.h"

#include "documents/DocumentWindow.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/Query.h"
#include "shell/WindowRegistry.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>

using namespace documents;

namespace {

class DocumentWindowTest : public DocumentWindowBook {
protected:
    DocumentWindowTest()
    {
        addGoods(QStringLiteral("G1"), 10, 5, 6, QStringLiteral("螺丝"), QVariant(), QStringLiteral("盒"));
        addGoods(QStringLiteral("G2"), 4, 2.5, 3, QStringLiteral("垫片"), QStringLiteral("M6"));
    }
};

} // namespace

TEST_F(DocumentWindowTest, StockInLifeCycle)
{
    open(QStringLiteral("B1"));
    EXPECT_EQ(window->windowTitle(), "货品入库单");
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label2"))->text(), "数量：");
    EXPECT_EQ(panel4(), "无单据信息");
    EXPECT_EQ(window->listGrid().rows(), 2);

    trigger(QStringLiteral("Menu_Add"));
    EXPECT_EQ(window->Edstu(), 1);
    EXPECT_EQ(child(QStringLiteral("Txt0"))->text(), "RK2612090001");
    EXPECT_EQ(book.value("select DanF1||':'||Flg from DanNo"), "RK2612090001:0.0");
    EXPECT_EQ(child(QStringLiteral("Txt1"))->text(), "2026-12-09");
    EXPECT_EQ(child(QStringLiteral("Txt3"))->text(), "系统管理员");
    EXPECT_EQ(child<QComboBox>(QStringLiteral("CmbLB"))->currentText(), "001.默认货品来源");
    EXPECT_FALSE(child<QAction>(QStringLiteral("Menu_Add"))->isVisible());
    EXPECT_TRUE(child<QAction>(QStringLiteral("Menu_save"))->isVisible());
    EXPECT_EQ(openCell(), std::make_pair(1, 0));

    enterLine(QStringLiteral("g1"), QStringLiteral("3"));
    EXPECT_EQ(child(QStringLiteral("TxtHPBM"))->text(), "G1");  // upper-cased as typed
    EXPECT_EQ(cell(1, 0), "G1");
    EXPECT_EQ(cell(1, 1), "螺丝/");  // a Null model reads as empty text
    EXPECT_EQ(cell(1, 2), "盒");
    EXPECT_EQ(cell(1, 4), "5");
    EXPECT_EQ(cell(1, 5), "15");
    EXPECT_EQ(window->lineGrid().rows(), 3);  // the line and the trailing empty row
    enterLine(QStringLiteral("G1"), QStringLiteral("2"));
    EXPECT_EQ(cell(1, 3), "5");
    EXPECT_EQ(cell(1, 5), "25");
    EXPECT_EQ(window->lineGrid().rows(), 3);
    for (const char *nothing : {"0", "abc", ""}) {
        enterLine(QStringLiteral("G2"), QString::fromUtf8(nothing));
        EXPECT_EQ(window->lineGrid().rows(), 3) << nothing;
    }
    enterLine(QStringLiteral("G2"), QStringLiteral("0.5"));
    EXPECT_EQ(cell(2, 5), "1.25");
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "26.25");
    EXPECT_EQ(panel4(), "入库单明细：共 2 条记录 当前为第 2 条");
    EXPECT_TRUE(book.prompt().shown.isEmpty()) << book.prompt().lastText().toStdString();

    trigger(QStringLiteral("Menu_save"));
    EXPECT_EQ(window->Edstu(), 0);
    EXPECT_EQ(book.prompt().lastText(),
              "单据保存成功！\n\n但是现在单据并没有正式生效，\n\n必须经[审核]操作，单据才正式生效并更新库存！");
    EXPECT_EQ(window->listGrid().rowTexts(1),
              QStringList({"RK2612090001", "2026-12-09", "默认货品来源", "系统管理员", "", "26.25", "", "001"}));
    EXPECT_EQ(book.value("select group_concat(F1||':'||F6, ',') from TB11"), "G1:5.0,G2:0.5");

    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 15);
    EXPECT_NEAR(goods("F7", "G1"), 5, 1e-12);
    EXPECT_DOUBLE_EQ(goods("F8", "G2"), 4.5);
    EXPECT_EQ(window->listGrid().rows(), 2);
    EXPECT_EQ(window->listGrid().textMatrix(1, 0), "");
    EXPECT_EQ(panel4(), "无单据信息");
}

TEST_F(DocumentWindowTest, WorkedExampleAuditedAndCancelledThroughTheWindow)
{
    m().gOptSalePriceFactor = 1.2f;
    book.exec("update TA4 set F8=10, F7=5, F71=6 where F1='G1'");
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    enterLine(QStringLiteral("G1"), QStringLiteral("10"));
    window->BeginCellEdit(1, 4);
    typeInCell(QStringLiteral("6"));
    EXPECT_EQ(cell(1, 5), "60");
    trigger(QStringLiteral("Menu_save"));
    EXPECT_TRUE(book.prompt().lastText().startsWith("单据保存成功！"));

    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 20);
    EXPECT_DOUBLE_EQ(goods("F7", "G1"), 5.5);
    EXPECT_NEAR(goods("F71", "G1"), 6.6, 1e-12);
    EXPECT_EQ(book.value("select H6||'/'||H7 from TB11"), "20.0/5.5");
    EXPECT_EQ(panel4(), "无单据信息");

    // As "001": the audited note is queried back and its audit cancelled.
    ScriptedDialogRunner runner;
    runner.handle("Query", [](QDialog &d) {
        auto &q = static_cast<Query &>(d);
        q.CmbF->setCurrentIndex(4);
        q.Txt->setText(QStringLiteral("系统管理员"));
        q.addCondition();
        q.finishQuery();
        return q.result();
    });
    trigger(QStringLiteral("Menu_query"));
    ASSERT_EQ(window->listGrid().rowTexts(1).mid(0, 5),
              QStringList({"RK2612090001", "2026-12-09", "默认货品来源", "系统管理员", "系统管理员"}));
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_noOK"));
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
    EXPECT_NEAR(goods("F7", "G1"), 5, 1e-12);
    EXPECT_NEAR(goods("F71", "G1"), 6, 1e-12);
    EXPECT_EQ(book.value("select H8 from TB11"), "00-00-00");
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "");
}

TEST_F(DocumentWindowTest, CancelOfANewNoteReleasesItsNumber)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    EXPECT_EQ(child(QStringLiteral("Txt0"))->text(), "RK2612090001");
    trigger(QStringLiteral("Menu_cancel"));
    EXPECT_EQ(window->Edstu(), 0);
    EXPECT_EQ(book.value("select count(*) from DanNo"), "0");
    trigger(QStringLiteral("Menu_Add"));
    EXPECT_EQ(child(QStringLiteral("Txt0"))->text(), "RK2612090001");
}

TEST_F(DocumentWindowTest, CloseIsRefusedWhileEditing)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    trigger(QStringLiteral("Menu_Return"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Edstu(), 1);
    EXPECT_TRUE(book.prompt().lastText().startsWith("正在有数据被编辑"));
    trigger(QStringLiteral("Menu_cancel"));
    m().gBookName = QStringLiteral("帐本甲");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(panel4(), "帐本甲");
}

TEST_F(DocumentWindowTest, ReturnToSupplierStockCheckForNewAndMergedLines)
{
    m().gOptNoOverdraw = 1;
    open(QStringLiteral("B3"));
    trigger(QStringLiteral("Menu_Add"));
    EXPECT_EQ(child(QStringLiteral("Txt0"))->text(), "TH2612090001");
    enterLine(QStringLiteral("G2"), QStringLiteral("5"));
    EXPECT_EQ(book.prompt().lastText(), "G2库存数量不足！");
    EXPECT_EQ(cell(1, 0), "");
    enterLine(QStringLiteral("G2"), QStringLiteral("3"));
    EXPECT_EQ(cell(1, 3), "3");
    EXPECT_EQ(cell(1, 4), "2.5");  // the return proposes the cost price
    book.prompt().clear();
    enterLine(QStringLiteral("G2"), QStringLiteral("3"));
    EXPECT_EQ(book.prompt().lastText(), "G2库存数量不足！");
    EXPECT_EQ(cell(1, 3), "3");
    EXPECT_EQ(child(QStringLiteral("TxtSL"))->text(), "0");
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "7.5");
}

TEST_F(DocumentWindowTest, CellEditingWalksTheLineWithEnter)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    typeInCell(QStringLiteral("g1"));
    EXPECT_EQ(cell(1, 0), "G1");
    EXPECT_EQ(cell(1, 3), "1");
    EXPECT_EQ(openCell(), std::make_pair(1, 3));
    typeInCell(QStringLiteral("4"));
    EXPECT_EQ(openCell(), std::make_pair(1, 4));
    typeInCell(QStringLiteral("2.50"));
    EXPECT_EQ(cell(1, 4), "2.5");
    EXPECT_EQ(cell(1, 5), "10");
    EXPECT_EQ(openCell(), std::make_pair(1, 6));
    typeInCell(QStringLiteral(" 备注 "));
    EXPECT_EQ(cell(1, 6), " 备注 ");
    EXPECT_EQ(openCell(), std::make_pair(2, 0));  // the trailing empty row

    // An unknown code leaves the empty row and reopens its code cell.
    typeInCell(QStringLiteral("NOPE"));
    EXPECT_TRUE(book.prompt().lastText().startsWith("货品资料库中不存在这个货品编码！"));
    EXPECT_EQ(openCell(), std::make_pair(2, 0));

    // A code that another line holds: message, and Enter goes on at that line.
    typeInCell(QStringLiteral("G1"));
    EXPECT_EQ(book.prompt().lastText(), "相同的货品编码已经存在！");
    EXPECT_EQ(cell(2, 0), "");
    EXPECT_EQ(openCell(), std::make_pair(1, 3));
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "10");

    // Emptying a code asks, and Yes removes the line.
    window->BeginCellEdit(1, 0);
    book.prompt().answerYes();
    typeInCell(QString());
    EXPECT_EQ(book.prompt().lastText(), "真的要删除货品[螺丝/]吗？");
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "0");
}

TEST_F(DocumentWindowTest, NumbersThatCannotBeStoredAreRefusedInTheStripAndTheCells)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    for (const char *typed : {"1e400", "-1e308", "1e15"}) {
        enterLine(QStringLiteral("G1"), QString::fromLatin1(typed));
        EXPECT_EQ(book.prompt().lastText(), numtext::unstorableMessage(B1.quantityCaption)) << typed;
        EXPECT_EQ(cell(1, 0), "") << typed;
        EXPECT_EQ(window->focusWidget(), child(QStringLiteral("TxtSL"))) << typed;
    }
    enterLine(QStringLiteral("G1"), QStringLiteral("4"));
    ASSERT_EQ(cell(1, 3), "4");
    const QStringList line = window->lineGrid().rowTexts(1);

    const struct {
        int col;
        const char *typed;
        QString column;
    } cases[] = {
        {3, "1e999", B1.quantityCaption}, {3, "-1e309", B1.quantityCaption}, {4, "-1e308", B1.priceCaption},
        {4, "3e14", QStringLiteral("金额")},  // 4 x 3e14 is beyond what an amount may be
    };
    for (const auto &c : cases) {
        window->BeginCellEdit(1, c.col);
        typeInCell(QString::fromLatin1(c.typed));
        EXPECT_EQ(book.prompt().lastText(), numtext::unstorableMessage(c.column)) << c.typed;
        EXPECT_EQ(window->lineGrid().rowTexts(1), line) << c.typed;
        EXPECT_EQ(openCell(), std::make_pair(1, c.col)) << c.typed;  // the box stays for a mend
        EXPECT_EQ(child(QStringLiteral("TxtEnter"))->text(), QString::fromLatin1(c.typed));
    }
}

TEST_F(DocumentWindowTest, TypedPricesAreStoredAsShownAndTheCellShowsWhatIsStored)
{
    struct Case {
        const char *typed;
        double stored;
        const char *shown;   // the price cell, before and after the save
        const char *amount;  // of 10 at that price
    };
    const Case cases[] = {
        {"1,234.50", 1234.5, "1234.5", "12345"},
        {"12,345", 12345, "12345", "123450"},
        {"1,234,567.8", 1234567.8, "1234567.8", "12345678"},
        {"12abc", 12, "12", "120"},
        {"12,3456", 12, "12", "120"},
    };
    open(QStringLiteral("B1"));
    for (const Case &c : cases) {
        trigger(QStringLiteral("Menu_Add"));
        const QString number = child(QStringLiteral("Txt0"))->text();
        enterLine(QStringLiteral("G1"), QStringLiteral("10"));
        window->BeginCellEdit(1, 4);
        typeInCell(QString::fromUtf8(c.typed));
        EXPECT_EQ(cell(1, 4), c.shown) << c.typed;
        EXPECT_EQ(cell(1, 5), c.amount) << c.typed;
        trigger(QStringLiteral("Menu_save"));
        ASSERT_EQ(window->Edstu(), 0) << c.typed;
        EXPECT_EQ(book.number("select F7 from TB11 where F0=?", {number}), c.stored) << c.typed;
        EXPECT_EQ(cell(1, 4), c.shown) << c.typed;
        EXPECT_EQ(cell(1, 5), c.amount) << c.typed;
    }

    // A quantity typed with thousands separators in the strip is the whole number.
    trigger(QStringLiteral("Menu_Add"));
    enterLine(QStringLiteral("G1"), QStringLiteral("1,200"));
    EXPECT_EQ(cell(1, 3), "1200");
}

TEST_F(DocumentWindowTest, CodeCellRetypedOrReplaced)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    enterLine(QStringLiteral("G1"), QStringLiteral("5"));
    // The line's own code again: nothing changes.
    window->BeginCellEdit(1, 0);
    typeInCell(QStringLiteral("g1"));
    EXPECT_EQ(cell(1, 3), "5");
    EXPECT_EQ(openCell(), std::make_pair(1, 3));
    // Another known code: the line takes that goods with quantity 1.
    window->BeginCellEdit(1, 0);
    typeInCell(QStringLiteral("G2"));
    EXPECT_EQ(window->lineGrid().rowTexts(1).mid(0, 6), QStringList({"G2", "垫片/M6", "个", "1", "2.5", "2.5"}));
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "2.5");
    EXPECT_TRUE(book.prompt().shown.isEmpty());
}

TEST_F(DocumentWindowTest, DeleteLineByCode)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    enterLine(QStringLiteral("G1"), QStringLiteral("3"));
    enterLine(QStringLiteral("G2"), QStringLiteral("2"));
    auto *code = child(QStringLiteral("TxtHPBM"));
    auto *del = child<QPushButton>(QStringLiteral("CmdDel"));
    code->clear();
    del->click();
    EXPECT_EQ(book.prompt().lastText(), "请输入要删除的货品编码或点击要删除的行！");
    code->setText(QStringLiteral("G9 "));
    del->click();
    EXPECT_EQ(book.prompt().lastText(), "此入库单中没有指定的货品编码：G9 ！");

    // No keeps the line but makes it current.
    code->setText(QStringLiteral("G1"));
    book.prompt().answerNo();
    del->click();
    EXPECT_EQ(book.prompt().lastText(), "真的要删除货品[螺丝/]吗？");
    EXPECT_EQ(window->lineGrid().rows(), 4);
    EXPECT_EQ(window->lineRow(), 1);

    // Yes on the last line: it goes and the trailing empty row becomes current.
    code->setText(QStringLiteral("G2"));
    book.prompt().answerYes();
    del->click();
    EXPECT_EQ(window->lineGrid().rows(), 3);
    EXPECT_EQ(cell(2, 0), "");
    EXPECT_EQ(window->lineRow(), 2);
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "15");
    EXPECT_EQ(panel4(), "入库单明细：共 1 条记录 当前为第 1 条");  // the counter never passes the count
}

TEST_F(DocumentWindowTest, MoneyDecimalsRoundTheLinesButNotTheListTotal)
{
    m().gMoneyFormat = QStringLiteral("#0.000");
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1.23456}});
    book.exec("update TB1 set F9=1.23456");
    open(QStringLiteral("B1"));
    EXPECT_EQ(window->listGrid().textMatrix(1, 5), "1.23");
    child<QTabBar>(QStringLiteral("TabS"))->setCurrentIndex(1);
    EXPECT_EQ(cell(1, 4), "1.235");
    EXPECT_EQ(cell(1, 5), "1.235");
    EXPECT_EQ(panel4(), "入库单明细：共 1 条记录 当前为第 1 条");
}

TEST_F(DocumentWindowTest, HalfUnitAmountAndTotalTextsPerKind)
{
    addGoods(QStringLiteral("G3"), 5, 0.5);
    for (const char *kind : {"B1", "B3"}) {
        open(QString::fromLatin1(kind));
        trigger(QStringLiteral("Menu_Add"));
        enterLine(QStringLiteral("G3"), QStringLiteral("1"));
        EXPECT_EQ(cell(1, 5), "0.5") << kind;
        EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "0.5") << kind;
        trigger(QStringLiteral("Menu_cancel"));
    }
}

TEST_F(DocumentWindowTest, LockedPriceAndQuantityOnlySkipThePriceCell)
{
    for (const auto &[lock, keep] : {std::pair{1, 1}, std::pair{0, 0}}) {
        m().gOptLockLinePrice = lock;
        m().gOptKeepPrices = keep;
        open(QStringLiteral("B1"));
        trigger(QStringLiteral("Menu_Add"));
        typeInCell(QStringLiteral("G1"));
        typeInCell(QStringLiteral("2"));
        EXPECT_EQ(openCell(), std::make_pair(1, 6)) << lock << keep;
        trigger(QStringLiteral("Menu_cancel"));
    }
}

TEST_F(DocumentWindowTest, ReturnChecksALookedUpCodeForTheQuantityWritten)
{
    m().gOptNoOverdraw = 1;
    book.exec("update TA4 set F8=0 where F1='G2'");
    open(QStringLiteral("B3"));
    trigger(QStringLiteral("Menu_Add"));
    typeInCell(QStringLiteral("G2"));
    EXPECT_EQ(book.prompt().lastText(), "G2库存数量不足！");
    EXPECT_EQ(cell(1, 0), "");
}

TEST_F(DocumentWindowTest, AbsoluteQuantitiesOptionAppliesToTheEntryStrip)
{
    m().gOptAbsoluteQuantities = 1;
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    auto *qty = child(QStringLiteral("TxtSL"));
    auto *code = child(QStringLiteral("TxtHPBM"));
    code->setText(QStringLiteral("G1"));
    qty->setText(QStringLiteral("-3"));
    QTest::keyClick(qty, Qt::Key_Return);
    EXPECT_EQ(cell(1, 3), "3");
}

TEST_F(DocumentWindowTest, EditAndDeleteOfAnAuditedNoteAreRefused)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}},
            QStringLiteral("2026-12-02 08:00:00"));
    addNote(B1, QStringLiteral("RK2"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    open(QStringLiteral("B1"));
    EXPECT_EQ(panel4(), "入库单列表：共 2 条记录 当前为第 1 条");
    // Audited on another computer after the list was loaded: refused, and the
    // stale row leaves the list of open notes.
    book.exec("update TB1 set F6='李四'");
    trigger(QStringLiteral("Menu_edit"));
    EXPECT_EQ(book.prompt().lastText(), "此单据已经审核，不可修改！");
    EXPECT_EQ(window->Edstu(), 0);
    EXPECT_EQ(panel4(), "入库单列表：共 1 条记录 当前为第 1 条");
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_del"));
    EXPECT_EQ(book.prompt().lastText(), "该单据已审核，不能删除！");
    EXPECT_EQ(book.value("select count(*) from TB11"), "2");
    EXPECT_EQ(panel4(), "无单据信息");

    // With the auditor in the list row no question is asked at all.
    window->setListAll(true);
    window->LoadDocumentList(B1.queryStatement());
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "李四");
    book.prompt().clear();
    trigger(QStringLiteral("Menu_del"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"该单据已审核，不能删除！"});
}

TEST_F(DocumentWindowTest, RefusedAuditBringsTheStaleListRowInLine)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 10, 6}});
    // The open-notes list: the note audited elsewhere leaves it.
    open(QStringLiteral("B1"));
    book.exec("update TB1 set F6='李四'");
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().lastText(), "该单据已审核，不需要再次审核！");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
    EXPECT_EQ(panel4(), "无单据信息");

    // A query's answer keeps the row and shows who audited it; a cancel made
    // elsewhere clears the auditor again.
    book.exec("update TB1 set F6=''");
    open(QStringLiteral("B1"));
    window->setListAll(true);
    book.exec("update TB1 set F6='李四'");
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "李四");
    book.exec("update TB1 set F6=''");
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_noOK"));
    EXPECT_EQ(book.prompt().lastText(), "该单据未审核，不能执行撤销审核！");
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
}

TEST_F(DocumentWindowTest, NoteDeletedElsewhereLeavesTheListOnEditAuditOrSave)
{
    const struct {
        const char *before;  // done before the note is deleted elsewhere
        const char *item;
    } cases[] = {{nullptr, "Menu_edit"}, {nullptr, "Menu_Ok"}, {"Menu_edit", "Menu_save"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 10, 6}});
        open(QStringLiteral("B1"));
        EXPECT_EQ(panel4(), "入库单列表：共 1 条记录 当前为第 1 条");
        if (c.before)
            trigger(QString::fromLatin1(c.before));
        book.exec("delete from TB11");
        book.exec("delete from TB1");
        book.prompt().answerYes();
        trigger(QString::fromLatin1(c.item));
        EXPECT_EQ(book.prompt().lastText(), "该单据已不存在，可能已被其它用户删除！");
        EXPECT_EQ(window->Edstu(), 0);
        EXPECT_EQ(panel4(), "无单据信息");
        EXPECT_TRUE(window->listGrid().textMatrix(1, 0).isEmpty());
        EXPECT_EQ(book.value("select count(*) from TB1"), "0");
    }
}

TEST_F(DocumentWindowTest, EditSaveOfANoteAuditedElsewhereEndsTheEdit)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 10, 6}});
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_edit"));
    enterLine(QStringLiteral("G2"), QStringLiteral("4"));
    book.exec("update TB1 set F6='李四'");
    trigger(QStringLiteral("Menu_save"));
    EXPECT_EQ(book.prompt().lastText(), "此单据已经审核，不可修改！");
    EXPECT_EQ(window->Edstu(), 0);
    EXPECT_EQ(panel4(), "无单据信息");  // the open-notes list holds no audited note
    EXPECT_EQ(book.value("select group_concat(F1) from TB11"), "G1");
}

TEST_F(DocumentWindowTest, EditSaveMovesTheNoteToTheEndAndDeleteEmptiesTheList)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}},
            QStringLiteral("2026-12-02 08:00:00"));
    addNote(B1, QStringLiteral("RK2"), QStringLiteral("2026-12-01"), {{QStringLiteral("G2"), 2, 2}},
            QStringLiteral("2026-12-01 08:00:00"));
    open(QStringLiteral("B1"));
    EXPECT_EQ(window->listGrid().textMatrix(1, 0), "RK1");  // newest stamp first
    trigger(QStringLiteral("Menu_edit"));
    EXPECT_EQ(window->Edstu(), 2);
    EXPECT_EQ(window->lineGrid().rows(), 3);  // the line and an empty row
    enterLine(QStringLiteral("G2"), QStringLiteral("4"));
    trigger(QStringLiteral("Menu_save"));
    EXPECT_EQ(window->Edstu(), 0);
    EXPECT_EQ(window->listGrid().textMatrix(1, 0), "RK2");
    EXPECT_EQ(window->listGrid().textMatrix(2, 0), "RK1");
    EXPECT_EQ(window->listRow(), 2);
    EXPECT_EQ(book.value("select group_concat(F1||':'||F6) from (select * from TB11 where F0='RK1' order by F1)"),
              "G1:1.0,G2:4.0");
    // The editing operator becomes the entry clerk; the stamp is this save's.
    EXPECT_EQ(book.value("select F5||'|'||H8 from TB1 where F1='RK1'"), "系统管理员|2026-12-09 10:00:00");

    book.prompt().answerYes(2);
    trigger(QStringLiteral("Menu_del"));
    trigger(QStringLiteral("Menu_del"));
    EXPECT_EQ(book.value("select count(*) from TB1"), "0");
    EXPECT_EQ(panel4(), "无单据信息");
    book.prompt().clear();
    trigger(QStringLiteral("Menu_del"));
    EXPECT_EQ(book.prompt().lastText(), "无单据可删除！");
}

TEST_F(DocumentWindowTest, LockDateAndConfirmationInEachKindsOrder)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2025-12-31"), {{QStringLiteral("G1"), 1, 1}});
    addNote(B3, QStringLiteral("TH1"), QStringLiteral("2025-12-31"), {{QStringLiteral("G1"), 1, 1}});
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"单据日期不能在 2026-01-01 之前！"});
    EXPECT_EQ(book.prompt().shown.last().title, "");

    book.prompt().clear();
    open(QStringLiteral("B3"));
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    ASSERT_EQ(book.prompt().shown.size(), 2);
    EXPECT_EQ(book.prompt().shown[0].kind, "ask");
    EXPECT_EQ(book.prompt().shown[1].text, "单据日期不能在 2026-01-01 之前！");

    // Cancel audit of an audited note before the lock date, reached through a query's answer.
    book.exec("update TB3 set F6='李四'");
    window->setListAll(true);
    window->LoadDocumentList(QStringLiteral("select TB3.F1,TB3.F2,TA1.F2,TB3.F5,TB3.F6,TB3.F9,TB3.F10,TB3.F3 "
                                            "from TB3 left join TA1 on TB3.F3=TA1.F1 "));
    book.prompt().clear();
    trigger(QStringLiteral("Menu_noOK"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"单据日期在 2026-01-01 之前，不能撤销审核！"});
    EXPECT_EQ(book.value("select F6 from TB3"), "李四");
}

TEST_F(DocumentWindowTest, AnUnreadableStoredDateIsRefusedAsSuch)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-13-45"), {{QStringLiteral("G1"), 1, 1}});
    open(QStringLiteral("B1"));
    const QString refusal = B1.headerLabels[1] + QStringLiteral("不是有效的日期！");
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().texts(), QStringList{refusal});
    book.exec("update TB1 set F6='李四'");
    window->setListAll(true);
    window->LoadDocumentList(QStringLiteral("select TB1.F1,TB1.F2,TA1.F2,TB1.F5,TB1.F6,TB1.F9,TB1.F10,TB1.F3 "
                                            "from TB1 left join TA1 on TB1.F3=TA1.F1 "));
    book.prompt().clear();
    trigger(QStringLiteral("Menu_noOK"));
    EXPECT_EQ(book.prompt().texts(), QStringList{refusal});
    EXPECT_EQ(book.value("select F6 from TB1"), "李四");
}

TEST_F(DocumentWindowTest, AuditInAQueryAnswerKeepsTheRowAndCancelClearsIt)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 10, 6}});
    open(QStringLiteral("B1"));
    window->setListAll(true);
    book.prompt().answerYes(2);
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "系统管理员");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 20);
    trigger(QStringLiteral("Menu_noOK"));
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
    EXPECT_EQ(book.prompt().shown[1].text,
              "如果这批已审核入库的货品已经出库，\n\n撤销审核操作可能会造成库存货品数据出现负数！\n\n真的要继续吗？");
}

TEST_F(DocumentWindowTest, CancelAuditMenuOnlyForTheHighestAdministrator)
{
    m().gUserCode = QStringLiteral("002");
    open(QStringLiteral("B1"));
    EXPECT_FALSE(child<QAction>(QStringLiteral("Menu_noOK"))->isVisible());
    trigger(QStringLiteral("Menu_Add"));
    trigger(QStringLiteral("Menu_cancel"));
    EXPECT_FALSE(child<QAction>(QStringLiteral("Menu_noOK"))->isVisible());
}

TEST_F(DocumentWindowTest, SearchPanelPicksAndGoesBack)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    auto *code = child(QStringLiteral("TxtHPBM"));
    auto *panel = child<QWidget>(QStringLiteral("PicLRQ"));
    auto *note = child<QWidget>(QStringLiteral("Frm"));
    const QRect noteBefore = note->geometry();
    const QRect collapsed = panel->geometry();
    code->setFocus();
    code->setText(QStringLiteral(" g "));
    QTest::keyClick(code, Qt::Key_Down);
    EXPECT_TRUE(window->isSearchPanelExpanded());
    // Expanded, the panel drops down over the note, which stays where it was.
    EXPECT_EQ(note->geometry(), noteBefore);
    EXPECT_EQ(panel->geometry().topLeft(), collapsed.topLeft());
    EXPECT_GT(panel->geometry().bottom(), note->geometry().top() + 200);
    EXPECT_EQ(child<QLabel>(QStringLiteral("LabInfo"))->text(), "所有货品编码以“g”开头的记录");
    auto *grid = child<QTableView>(QStringLiteral("GdQuery"));
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(code->text(), "G2");
    EXPECT_EQ(child(QStringLiteral("TxtSL"))->text(), "1");
    EXPECT_FALSE(window->isSearchPanelExpanded());
    EXPECT_EQ(panel->geometry(), collapsed);

    code->setText(QStringLiteral("G1"));
    child<QPushButton>(QStringLiteral("CmdQuery"))->click();
    EXPECT_TRUE(window->isSearchPanelExpanded());
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(window->isSearchPanelExpanded());
    EXPECT_EQ(code->text(), "G1");
    EXPECT_TRUE(code->hasFocus());
}

TEST_F(DocumentWindowTest, QuantityOnlyModeShowsQuantities)
{
    m().gOptKeepPrices = 0;
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 2, 3}});
    book.exec("update TB1 set F9=2.125");
    open(QStringLiteral("B1"));
    EXPECT_EQ(window->listGrid().textMatrix(0, 5), "数量");
    EXPECT_EQ(window->listGrid().textMatrix(1, 5), "2.125");
    EXPECT_EQ(child<QLabel>(QStringLiteral("Lab5"))->text(), "数量合计");
    EXPECT_FALSE(child<QAction>(QStringLiteral("Menu_prn1"))->isEnabled());
    auto *lines = child<QTableView>(QStringLiteral("GdMx"));
    EXPECT_TRUE(lines->isColumnHidden(4));
    EXPECT_TRUE(lines->isColumnHidden(5));
    // Their room goes to the name and the remark, also after a resize.
    window->resize(1000, 600);
    EXPECT_EQ(lines->columnWidth(1), 3 * lines->columnWidth(0));
    EXPECT_EQ(lines->columnWidth(6), 2 * lines->columnWidth(0));
    trigger(QStringLiteral("Menu_edit"));
    enterLine(QStringLiteral("G2"), QStringLiteral("4"));
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "6");  // quantities are summed
}

TEST_F(DocumentWindowTest, SearchErrorLeavesThePanelCollapsed)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    book.exec("drop table TA4");
    child<QPushButton>(QStringLiteral("CmdQuery"))->click();
    EXPECT_FALSE(window->isSearchPanelExpanded());
    EXPECT_EQ(book.prompt().shown.size(), 1);
}

TEST_F(DocumentWindowTest, EnterMovesFromHeaderToPartyToGoodsCode)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    auto *combo = child<QComboBox>(QStringLiteral("CmbLB"));
    for (const char *box : {"Txt0", "Txt6"}) {
        auto *header = child(QString::fromLatin1(box));
        header->setFocus();
        QTest::keyClick(header, Qt::Key_Return);
        EXPECT_TRUE(combo->hasFocus() || combo->lineEdit()->hasFocus()) << box;
    }
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(child(QStringLiteral("TxtHPBM"))->hasFocus());
}

TEST_F(DocumentWindowTest, MainMenuOpensTheDocumentWindowsAndExitWaitsForAnEdit)
{
    register_documents_windows();
    MForm main;
    for (const char *kind : {"B3", "B1"}) {
        main.findChild<QAction *>(QStringLiteral("Menu_") + QLatin1String(kind))->trigger();
        QMdiSubWindow *active = main.mdiArea()->activeSubWindow();
        ASSERT_NE(active, nullptr);
        auto *document = qobject_cast<DocumentWindow *>(active->widget());
        ASSERT_NE(document, nullptr) << kind;
        EXPECT_EQ(document->kind().name, kind);
    }
    auto *stockIn = qobject_cast<DocumentWindow *>(main.mdiArea()->activeSubWindow()->widget());
    stockIn->NewDocument();
    EXPECT_FALSE(main.ConfirmExit());
    EXPECT_TRUE(book.prompt().lastText().startsWith("正在有数据被编辑"));
    stockIn->CancelEdit();
}

TEST_F(DocumentWindowTest, DateBoxHandsOverToThePickerWithItsCalendarOpen)
{
    open(QStringLiteral("B1"));
    trigger(QStringLiteral("Menu_Add"));
    auto *date = child(QStringLiteral("Txt1"));
    date->setText(QStringLiteral("2026-12-03"));
    date->setFocus();
    auto *picker = child<QDateEdit>(QStringLiteral("DTP1"));
    EXPECT_EQ(picker->date(), QDate(2026, 12, 3));
    EXPECT_TRUE(picker->hasFocus());
    QApplication::processEvents();
    QWidget *popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_NE(popup->findChild<QCalendarWidget *>(), nullptr);
    popup->close();
    picker->setDate(QDate(2026, 12, 5));
    EXPECT_EQ(date->text(), "2026-12-05");
}

TEST_F(DocumentWindowTest, LineGridNumbersAlignRightAndTextsLeft)
{
    const struct {
        const char *window;
        QList<int> numberColumns;
    } cases[] = {
        {"B1", {ColQuantity, ColPrice, ColAmount}},
        {"C2", {ColUnit, ColQuantity, ColPrice, ColAmount}},  // column 2 holds the book quantity
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.window);
        open(QString::fromLatin1(c.window));
        trigger(QStringLiteral("Menu_Add"));
        enterLine(QStringLiteral("G1"), QStringLiteral("2"));
        ASSERT_EQ(cell(1, ColCode), "G1");
        for (int col = ColCode; col <= ColRemark; ++col) {
            const QVariant shown = window->lineGrid().data(window->lineGrid().index(0, col), Qt::TextAlignmentRole);
            EXPECT_EQ(Qt::Alignment(shown.toInt()) & Qt::AlignHorizontal_Mask,
                      c.numberColumns.contains(col) ? Qt::AlignRight : Qt::AlignLeft)
                << "column " << col;
        }
        trigger(QStringLiteral("Menu_cancel"));
    }
}
