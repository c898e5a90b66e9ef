#include "support/TestBook.h"
#include "support/ListServices.h"
#include "support/WindowDriver.h"
#include "masterdata/GoodsWindow.h"
#include "masterdata/MasterDataKinds.h"
#include "masterdata/MasterDataWindows.h"

#include <QApplication>
#include <QTabBar>

namespace {

const QString kStatus = QStringLiteral("共 %1 条记录 当前为第 %2 条");

class SupplierWindow : public ::testing::Test {
protected:
    TestBook book;
    QString status() { return book.m().statusPanels().panelText(4); }
};

// Every field of a unit is a text: a code or a number to dial made of
// digits stands left as one with letters does.
TEST_F(SupplierWindow, TextsOfDigitsAlignLeftAsOthersDo)
{
    book.exec("insert into TA1 (F1,F2,F4) values ('S01','五金公司','0571-1234567'),('502','电料公司','12345678')");
    A1 w;
    const GridModel &grid = w.grid();
    ASSERT_EQ(grid.rows(), 4);
    for (int row = 0; row < 3; ++row)
        for (int col : {0, 3}) {
            const auto align = Qt::Alignment(grid.data(grid.index(row, col), Qt::TextAlignmentRole).toInt());
            EXPECT_EQ(align & Qt::AlignHorizontal_Mask, Qt::AlignLeft) << grid.textMatrix(row + 1, col).toStdString();
        }
}

TEST_F(SupplierWindow, NewUserAddsEditsAndIsRefusedDeletes)
{
    A1 w;
    WindowDriver<A1> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("供货单位资料"));
    EXPECT_EQ(w.recordCount(), 1);

    d.menu("Menu_Add");
    EXPECT_EQ(w.Edstu(), 1);
    EXPECT_TRUE(d.menuVisible("Menu_save"));
    EXPECT_FALSE(d.menuVisible("Menu_Add"));
    d.type(0, QStringLiteral("a01"));
    d.type(1, QStringLiteral("五金公司"));
    d.type(3, QStringLiteral("0571-1234'5"));
    d.menu("Menu_save");
    EXPECT_EQ(w.Edstu(), 0);
    EXPECT_EQ(book.value("select F2 from TA1 where F1='A01'"), QStringLiteral("五金公司"));
    EXPECT_EQ(book.value("select F4 from TA1 where F1='A01'"), QStringLiteral("0571-1234'5"));
    EXPECT_EQ(d.box(0)->text(), QStringLiteral("A01"));
    EXPECT_EQ(d.column(0), (QStringList{"001", "A01"}));
    EXPECT_EQ(status(), kStatus.arg(2).arg(2));
    EXPECT_TRUE(book.prompt().shown.isEmpty());

    // Editing keeps its own code: the duplicate test passes.
    d.menu("Menu_edit");
    EXPECT_EQ(w.Edstu(), 2);
    EXPECT_FALSE(d.box(0)->isReadOnly());
    d.type(1, QStringLiteral("五金总公司"));
    d.menu("Menu_save");
    EXPECT_EQ(w.Edstu(), 0);
    EXPECT_EQ(book.value("select F2 from TA1 where F1='A01'"), QStringLiteral("五金总公司"));
    EXPECT_EQ(book.number("select count(*) from TA1"), 2);

    // A stock-in note names the supplier: its code is locked, the name is not,
    // and it cannot be deleted.
    book.exec("insert into TB1 (F1,F2,F3) values ('RK2612090001','2026-12-09','A01')");
    d.pickRow(2);
    d.menu("Menu_edit");
    EXPECT_TRUE(d.box(0)->isReadOnly());
    EXPECT_FALSE(d.box(1)->isReadOnly());
    d.menu("Menu_cancel");
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("本编码已经在系统中采用，不可以删除！"));
    EXPECT_EQ(book.number("select count(*) from TA1 where F1='A01'"), 1);

    // The default unit can go (another remains), after the confirmation.
    d.pickRow(1);
    book.prompt().answerYes();
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().shown.last().kind, QStringLiteral("ask"));
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("真的要删除默认货品来源的资料吗？"));
    EXPECT_EQ(book.number("select count(*) from TA1"), 1);
    EXPECT_EQ(d.column(0), QStringList{"A01"});
    EXPECT_EQ(status(), kStatus.arg(1).arg(1));
}

TEST_F(SupplierWindow, LastRecordIsKeptAndNoAnswerChangesNothing)
{
    A1 w;
    WindowDriver<A1> d{w};
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("系统中必须保留至少一条供货单位记录！"));
    EXPECT_EQ(book.number("select count(*) from TA1"), 1);

    book.exec("insert into TA1 (F1,F2) values ('B01','乙')");
    A1 w2;
    WindowDriver<A1> d2{w2};
    book.prompt().answerNo();
    d2.menu("Menu_del");
    EXPECT_EQ(book.number("select count(*) from TA1"), 2);
}

TEST_F(SupplierWindow, EmptyListKeepsBlankRowAndEditDoesNothing)
{
    book.exec("delete from TA1");
    book.m().statusPanels().setPanelText(4, QStringLiteral("帐本"));
    A1 w;
    WindowDriver<A1> d{w};
    EXPECT_EQ(w.grid().rows(), 2);
    EXPECT_EQ(w.recordCount(), 0);
    EXPECT_EQ(status(), QStringLiteral("帐本"));

    d.menu("Menu_edit");
    EXPECT_EQ(w.Edstu(), 0);
    d.menu("Menu_del");
    EXPECT_TRUE(book.prompt().shown.isEmpty());

    // The first record replaces the blank row.
    d.menu("Menu_Add");
    d.type(0, QStringLiteral("x1"));
    d.type(1, QStringLiteral("新单位"));
    d.menu("Menu_save");
    EXPECT_EQ(w.grid().rows(), 2);
    EXPECT_EQ(d.cell(1, 0), QStringLiteral("X1"));
    EXPECT_EQ(status(), kStatus.arg(1).arg(1));
}

TEST_F(SupplierWindow, RequiredFieldsAndDuplicateCodesAreRefused)
{
    book.exec("insert into TA1 (F1,F2) values ('B01','乙公司')");
    book.exec("insert into TA1 (F1,F2) values ('C01','丙公司')");
    A1 w;
    WindowDriver<A1> d{w};

    d.menu("Menu_Add");
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("单位编码不能为空！"));
    d.type(0, QStringLiteral("  "));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("单位编码不能为空！"));
    d.type(0, QStringLiteral("b01"));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("单位名称不能为空！"));
    d.type(1, QStringLiteral("另一家"));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("[乙公司]已经使用了B01这个编码，请重新设置编码!"));
    EXPECT_EQ(w.Edstu(), 1);
    EXPECT_EQ(book.number("select count(*) from TA1"), 3);
    d.menu("Menu_cancel");

    // Editing C01 to take B01 names the holder; nothing changes.
    d.pickRow(3);
    d.menu("Menu_edit");
    d.type(0, QStringLiteral("B01"));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("[乙公司]已经使用了B01这个编码，请重新设置编码!"));
    EXPECT_EQ(w.Edstu(), 2);
    EXPECT_EQ(book.number("select count(*) from TA1 where F1='C01'"), 1);
}

TEST_F(SupplierWindow, ChangedCodeMovesRecordToTheEnd)
{
    book.exec("insert into TA1 (F1,F2,F3) values ('A01','甲','地址甲')");
    book.exec("insert into TA1 (F1,F2) values ('B01','乙')");
    A1 w;
    WindowDriver<A1> d{w};
    d.pickRow(2);
    d.menu("Menu_edit");
    d.type(0, QStringLiteral("c09"));
    d.menu("Menu_save");
    EXPECT_EQ(book.number("select count(*) from TA1 where F1='A01'"), 0);
    EXPECT_EQ(book.value("select F3 from TA1 where F1='C09'"), QStringLiteral("地址甲"));
    EXPECT_EQ(d.column(0), (QStringList{"001", "B01", "C09"}));
    EXPECT_EQ(w.curRow(), 3);
}

TEST_F(SupplierWindow, FailingSaveLeavesTheRecordAsItWas)
{
    book.exec("insert into TA1 (F1,F2) values ('A01','甲')");
    book.exec("create trigger refuse before insert on TA1 when new.F2='坏' begin select raise(abort,'refused'); end");
    A1 w;
    WindowDriver<A1> d{w};
    d.pickRow(2);
    d.menu("Menu_edit");
    d.type(1, QStringLiteral("坏"));
    d.menu("Menu_save");
    // the engine's own words are the details of a Chinese message
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("数据库操作失败，数据没有改变：\n帐本数据库报告了错误。"));
    EXPECT_EQ(book.prompt().shown.last().details, QStringLiteral("refused"));
    EXPECT_EQ(w.Edstu(), 2);
    EXPECT_EQ(book.value("select F2 from TA1 where F1='A01'"), QStringLiteral("甲"));
    EXPECT_EQ(d.column(0), (QStringList{"001", "A01"}));
}

TEST_F(SupplierWindow, CloseIsRefusedWhileEditing)
{
    book.m().gBookName = QStringLiteral("一号帐本");
    A1 w;
    WindowDriver<A1> d{w};
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    d.menu("Menu_Add");
    EXPECT_FALSE(w.close());
    EXPECT_EQ(book.prompt().lastText(),
              QStringLiteral("正在有数据被编辑,现在退出会造成本次编辑的数据丢失。\n\n请您首先点击<保存>或<取消>菜单结束本次编辑。"));
    EXPECT_EQ(w.Edstu(), 1);
    d.menu("Menu_cancel");
    EXPECT_EQ(d.box(0)->text(), QStringLiteral("001"));
    d.menu("Menu_Return");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("一号帐本"));
}

TEST_F(SupplierWindow, DeletingLastRowFromCardReturnsToList)
{
    book.exec("insert into TA1 (F1,F2) values ('A01','甲')");
    book.exec("insert into TA1 (F1,F2) values ('B01','乙')");
    A1 w;
    WindowDriver<A1> d{w};
    auto *tabs = w.findChild<QTabBar *>(QStringLiteral("TabS"));
    d.pickRow(3);
    tabs->setCurrentIndex(1);
    EXPECT_EQ(d.box(1)->text(), QStringLiteral("乙"));
    book.prompt().answerYes();
    d.menu("Menu_del");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(w.curRow(), 2);
    EXPECT_EQ(status(), kStatus.arg(2).arg(2));
}

TEST_F(SupplierWindow, FocusColourAndEnterMovesOn)
{
    A1 w;
    WindowDriver<A1> d{w};
    ASSERT_TRUE(d.showActive());
    auto *tabs = w.findChild<QTabBar *>(QStringLiteral("TabS"));
    tabs->setCurrentIndex(1);
    d.box(2)->setFocus();
    EXPECT_TRUE(tabs->hasFocus());  // browsing: the card passes focus on

    d.menu("Menu_Add");
    EXPECT_TRUE(d.box(0)->hasFocus());
    EXPECT_EQ(d.box(0)->palette().color(QPalette::Base), QColor(192, 255, 255));
    QTest::keyClick(d.box(0), Qt::Key_Return);
    EXPECT_TRUE(d.box(1)->hasFocus());
    EXPECT_NE(d.box(0)->palette().color(QPalette::Base), QColor(192, 255, 255));
    d.box(6)->setFocus();
    QTest::keyClick(d.box(6), Qt::Key_Return);
    EXPECT_FALSE(d.box(6)->hasFocus());
}

TEST_F(SupplierWindow, QueryNarrowsTheListAndPrintShowsIt)
{
    book.exec("insert into TA1 (F1,F2) values ('A01','五金公司')");
    book.exec("insert into TA1 (F1,F2) values ('B01','电料行')");
    book.exec("insert into TA1 (F1,F2) values ('C01','小五金店')");
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prnta12.rpt"));
    A1 w;
    WindowDriver<A1> d{w};

    int startField = -1;
    services.answerQuery(1, 1, QStringLiteral("五金"), &startField);
    d.menu("Menu_query");
    EXPECT_EQ(startField, 1);
    EXPECT_EQ(w.PubSql, QStringLiteral("Select TA1.* from TA1  Where TA1.F2 like '%五金%' ESCAPE '\\'  "))
        << w.PubSql.toStdString();
    QStringList found = d.column(0);
    found.sort();
    EXPECT_EQ(found, (QStringList{"A01", "C01"}));
    EXPECT_EQ(w.recordCount(), 2);

    // A cancelled query leaves the list as it was.
    services.cancelQuery();
    d.menu("Menu_query");
    EXPECT_EQ(w.recordCount(), 2);

    d.menu("Menu_print");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("供货单位列表"));
    ASSERT_EQ(shown->rows.size(), 2);
    EXPECT_EQ(book.number("select count(*) from PrTA1"), 2);

    // The only listed supplier may go while the table holds others.
    services.answerQuery(0, 0, QStringLiteral("B01"));
    d.menu("Menu_query");
    ASSERT_EQ(d.column(0), QStringList{"B01"});
    book.prompt().answerYes();
    d.menu("Menu_del");
    EXPECT_EQ(book.number("select count(*) from TA1 where F1='B01'"), 0);
    EXPECT_EQ(w.curRow(), 0);

    // An empty list prints no record.
    d.menu("Menu_print");
    ASSERT_NE(ListServices::shownReport(), nullptr);
    EXPECT_EQ(book.value("select count(*) from PrTA1"), QStringLiteral("0"));
    EXPECT_TRUE(ListServices::shownReport()->pageText(0).contains(QStringLiteral("共 0 条")))
        << ListServices::shownReport()->pageText(0).toStdString();
}

TEST_F(SupplierWindow, MissingTemplateIsNamed)
{
    ListServices services;
    const auto missing = [&](frames::MasterDataWindow &w) {
        WindowDriver<frames::MasterDataWindow> d{w};
        d.menu("Menu_print");
        EXPECT_EQ(ListServices::shownReport(), nullptr);
        return book.prompt().lastText();
    };
    A2 units;
    EXPECT_EQ(missing(units), QStringLiteral("报表文件prnta12.rpt丢失！"));
    A3 categories;
    EXPECT_EQ(missing(categories), QStringLiteral("报表文件prnTA3.rpt丢失！"));
    A4 goods;
    EXPECT_EQ(missing(goods), QStringLiteral("报表文件prnTa4.rpt丢失！"));
}

TEST(ReceivingUnitWindow, IsTheSameWindowOnItsOwnTable)
{
    TestBook book;
    book.exec("insert into TA2 (F1,F2) values ('K01','客户')");
    book.exec("insert into TD3 (F1,F2,F3) values ('TK2612090001','2026-12-09','K01')");
    A2 w;
    WindowDriver<A2> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("出货单位资料"));
    EXPECT_EQ(d.column(0), (QStringList{"001", "K01"}));
    d.pickRow(2);
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("本编码已经在系统中采用，不可以删除！"));
    d.pickRow(1);
    book.exec("delete from TA2 where F1='K01'");
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("系统中必须保留至少一条出货单位记录！"));

    // The one template, with this list's title.
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prnta12.rpt"));
    d.menu("Menu_print");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("出货单位列表"));
    EXPECT_EQ(shown->rows.size(), 2);
}

TEST(CategoryWindow, UpperCasesTypingLimitsCodeAndKeepsCategoriesWithGoods)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F3) values ('G1','货','001')");
    A3 w;
    WindowDriver<A3> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("货品类别资料"));
    d.menu("Menu_Add");
    d.type(0, QString(26, QLatin1Char('a')));
    EXPECT_EQ(d.box(0)->text(), QString(25, QLatin1Char('A')));
    d.type(1, QStringLiteral("ab五金c"));
    EXPECT_EQ(d.box(1)->text(), QStringLiteral("AB五金C"));
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F2 from TA3 where F1=?", {QString(25, QLatin1Char('A'))}), QStringLiteral("AB五金C"));

    // Category 001 holds goods: locked code on edit, no delete.
    d.pickRow(1);
    d.menu("Menu_edit");
    EXPECT_TRUE(d.box(0)->isReadOnly());
    d.menu("Menu_cancel");
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("本编码已经在系统中采用，不可以删除！"));

    // The one category left cannot go.
    book.exec("delete from TA4");
    d.pickRow(2);
    book.prompt().answerYes();
    d.menu("Menu_del");
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("系统中必须保留至少一种货品类别！"));
    EXPECT_EQ(book.number("select count(*) from TA3"), 1);

    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("PrnTA3.rpt"));
    d.menu("Menu_print");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("货品类别编码表"));
    EXPECT_EQ(book.value("select F1||F2 from PrTA1"), QStringLiteral("001所有货品"));
}

} // namespace

// The list/card frame over a kind as given.
class DescribedWindow : public frames::MasterDataWindow {
public:
    explicit DescribedWindow(frames::MasterDataKind kind) : MasterDataWindow(std::move(kind), nullptr) { initWindow(); }
};

// A category list described with its name before its code, the card keeping
// the code first: each box shows the column of its role, and a category
// saved, added or edited, is listed in the list's order.
TEST(CategoryWindow, DescribedListAndCardMeetByRole)
{
    TestBook book;
    enum class Field { Code, Name };
    frames::MasterDataKind kind = masterdata::categoryKind();
    kind.listColumns = {{.caption = QStringLiteral("类别"), .field = QStringLiteral("TA3.F2"), .role = Field::Name},
                        {.caption = QStringLiteral("编码"), .field = QStringLiteral("TA3.F1"), .role = Field::Code}};
    kind.columnCaptions = frames::columnCaptions(kind.listColumns);
    kind.listSql = QStringLiteral("select ") + frames::selectList(kind.listColumns) + QStringLiteral(" from TA3 order by F1");
    kind.cardBoxes = {{kind.labelCaptions[0], Field::Code}, {kind.labelCaptions[1], Field::Name}};
    DescribedWindow w(kind);
    WindowDriver<DescribedWindow> d{w};
    EXPECT_EQ(w.grid().rowTexts(1), (QStringList{"所有货品", "001"}));
    w.findChild<QTabBar *>(QStringLiteral("TabS"))->setCurrentIndex(1);
    EXPECT_EQ(d.box(0)->text(), QStringLiteral("001"));
    EXPECT_EQ(d.box(1)->text(), QStringLiteral("所有货品"));

    d.menu("Menu_Add");
    d.type(0, QStringLiteral("02"));
    d.type(1, QStringLiteral("电料"));
    d.menu("Menu_save");
    ASSERT_EQ(w.Edstu(), 0) << book.prompt().lastText().toStdString();
    EXPECT_EQ(book.value("select F2 from TA3 where F1='02'"), QStringLiteral("电料"));
    EXPECT_EQ(w.grid().rowTexts(w.curRow()), (QStringList{"电料", "02"}));

    d.menu("Menu_edit");
    d.type(1, QStringLiteral("电器"));
    d.menu("Menu_save");
    EXPECT_EQ(d.column(1), (QStringList{"001", "02"}));
    EXPECT_EQ(w.grid().rowTexts(w.curRow()), (QStringList{"电器", "02"}));
}

TEST(CategoryWindow, ALongStoredCodeIsKeptWholeAndTypingStaysLimited)
{
    TestBook book;
    const QString code(30, QLatin1Char('K'));
    book.exec("insert into TA3 (F1,F2) values (?,'长类')", {code});
    A3 w;
    WindowDriver<A3> d{w};
    d.pickRow(2);
    d.menu("Menu_edit");
    EXPECT_EQ(d.box(0)->text(), code);
    d.type(1, QStringLiteral("新类"));
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F2 from TA3 where F1=?", {code}), QStringLiteral("新类"));

    // Shortened by the operator, the code takes no more than the limit again.
    d.pickRow(2);
    d.menu("Menu_edit");
    d.box(0)->setFocus();
    d.box(0)->end(false);
    QTest::keyClick(d.box(0), Qt::Key_Backspace);
    QTest::keyClicks(d.box(0), "KK");
    EXPECT_EQ(d.box(0)->text(), QString(29, QLatin1Char('K')));
    d.box(0)->setText(QString(25, QLatin1Char('M')));
    QTest::keyClicks(d.box(0), "M");
    EXPECT_EQ(d.box(0)->text(), QString(25, QLatin1Char('M')));
}

TEST_F(SupplierWindow, ACodeTakenIntoUseDuringTheEditIsRefusedWithASaveText)
{
    book.exec("insert into TA1 (F1,F2) values ('A01','甲')");
    A1 w;
    WindowDriver<A1> d{w};
    d.pickRow(2);
    d.menu("Menu_edit");
    ASSERT_FALSE(d.box(0)->isReadOnly());
    book.exec("insert into TB1 (F1,F3) values ('RK2612090001','A01')");
    d.type(0, QStringLiteral("B01"));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("本编码已经在系统中采用，不可以修改编码！"));
    EXPECT_EQ(book.value("select F1 from TA1 where F2='甲'"), QStringLiteral("A01"));
}
