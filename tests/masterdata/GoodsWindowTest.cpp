#include "support/ListServices.h"
#include "support/WindowDriver.h"
#include "masterdata/GoodsStore.h"
#include "masterdata/GoodsWindow.h"
#include "platform/NumberText.h"
#include "support/ColumnFitChecks.h"
#include "support/TestBook.h"

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QTabBar>

namespace {

using masterdata::GoodsStore;

class GoodsWindow : public ::testing::Test {
protected:
    GoodsWindow()
    {
        book.exec("insert into TA3 (F1,F2) values ('01','五金')");
        book.exec("insert into TA3 (F1,F2) values ('02','电料')");
    }
    void addGoods(const QString &code, const QString &name, const QString &category = QStringLiteral("01"),
                  double cost = 10, double stock = 0)
    {
        book.exec("insert into TA4 (F1,F2,F3,F4,F7,F71,F8,V3,V4) values (?,?,?,'个',?,?,?,?,?)",
                  {code, name, category, cost, cost * 2, stock, stock, cost});
    }
    template <class T> T *child(const char *name, QWidget &w) { return w.findChild<T *>(QString::fromLatin1(name)); }
    // Adds a goods of category 01 through the card as a clerk types it; true
    // when the window is back to browsing, the goods saved.
    bool addThroughCard(A4 &w, WindowDriver<A4> &d, const QString &code, const QString &name)
    {
        d.menu("Menu_Add");
        d.type(0, code);
        d.type(1, name);
        child<QComboBox>("CmbLB", w)->setEditText(QStringLiteral("01"));
        d.menu("Menu_save");
        return w.Edstu() == 0;
    }
    // A picture file whose name does not tell its format.
    QString pictureFile(const QString &name)
    {
        const QString path = book.dir() + QLatin1Char('/') + name;
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    TestBook book;
};

TEST_F(GoodsWindow, NewUserAddsGoodsWithStockCostAndPicture)
{
    A4 w;
    WindowDriver<A4> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("货品编码"));
    d.menu("Menu_Add");
    auto *category = child<QComboBox>("CmbLB", w);
    EXPECT_EQ(category->currentText(), QStringLiteral("001.所有货品"));
    EXPECT_TRUE(child<QLineEdit>("TxtSL", w)->isVisibleTo(&w));
    EXPECT_EQ(child<QLabel>("LabSL", w)->text(), QStringLiteral("原始库存"));
    EXPECT_EQ(child<QLabel>("LabInfo", w)->text(), A4::kPictureHint);

    d.type(0, QStringLiteral("a-1"));
    EXPECT_EQ(d.box(0)->text(), QStringLiteral("A-1"));
    d.type(1, QStringLiteral("螺丝"));
    category->setEditText(QStringLiteral("01"));
    child<QComboBox>("CmbDW", w)->setEditText(QStringLiteral("盒"));
    d.type(5, QStringLiteral("2.5"));
    WindowDriver<A4>::typeText(child<QLineEdit>("TxtSL", w), QStringLiteral("100"));

    const QString picture = pictureFile(QStringLiteral("screw.jpg"));
    book.fileDialogs().answer(picture);
    QTest::mouseDClick(child<QLabel>("Img", w), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>("LabInfo", w)->text(), picture);
    EXPECT_FALSE(child<QLabel>("Img", w)->pixmap().isNull());

    d.menu("Menu_save");
    EXPECT_TRUE(book.prompt().shown.isEmpty()) << book.prompt().lastText().toStdString();
    EXPECT_EQ(w.Edstu(), 0);
    EXPECT_EQ(book.value("select F2||'|'||F3||'|'||F4||'|'||F11||'|'||F9 from TA4 where F1='A-1'"),
              QStringLiteral("螺丝|01|盒|00016300000A-1|") + picture);
    EXPECT_EQ(book.number("select F8 from TA4 where F1='A-1'"), 100);
    EXPECT_EQ(book.number("select V3 from TA4 where F1='A-1'"), 100);
    EXPECT_EQ(book.number("select V4 from TA4 where F1='A-1'"), 2.5);
    EXPECT_EQ(d.column(0), QStringList{"A-1"});
    EXPECT_EQ(d.cell(1, 2), QStringLiteral("五金"));
    EXPECT_EQ(d.box(2)->text(), QStringLiteral("五金"));
    EXPECT_GE(child<QComboBox>("CmbDW", w)->findText(QStringLiteral("盒")), 0);

    // Edit straight from the card, cancel the picture dialog: the path stays.
    d.menu("Menu_edit");
    EXPECT_EQ(child<QLabel>("LabInfo", w)->text(), picture);
    QTest::mouseDClick(child<QLabel>("Img", w), Qt::LeftButton);
    d.type(1, QStringLiteral("螺丝钉"));
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F2||'|'||F9 from TA4 where F1='A-1'"), QStringLiteral("螺丝钉|") + picture);

    // Browsing, a double-click on the picture does nothing.
    QTest::mouseDClick(child<QLabel>("Img", w), Qt::LeftButton);
    EXPECT_EQ(book.fileDialogs().captions.size(), 2);
    EXPECT_EQ(book.fileDialogs().captions.first(), QStringLiteral("导入货品图片"));

    // Opened again, the card shows the stored picture and its path.
    A4 again;
    child<QTabBar>("TabS", again)->setCurrentIndex(1);
    EXPECT_EQ(child<QLabel>("LabInfo", again)->text(), picture);
    EXPECT_FALSE(child<QLabel>("Img", again)->pixmap().isNull());
}

TEST_F(GoodsWindow, MissingOrUnreadablePictureShowsNone)
{
    book.exec("insert into TA4 (F1,F2,F3,F9) values ('G1','甲','01','/nowhere/moved.jpg')");
    const QString notPicture = book.dir() + QStringLiteral("/text.jpg");
    QFile f(notPicture);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    A4 w;
    WindowDriver<A4> d{w};
    child<QTabBar>("TabS", w)->setCurrentIndex(1);
    EXPECT_EQ(child<QLabel>("LabInfo", w)->text(), A4::kNoPicture);
    d.menu("Menu_edit");
    EXPECT_EQ(child<QLabel>("LabInfo", w)->text(), A4::kPictureHint);
    book.fileDialogs().answer(notPicture);
    QTest::mouseDClick(child<QLabel>("Img", w), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>("LabInfo", w)->text(), A4::kPictureHint);
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F9 from TA4 where F1='G1'"), A4::kPictureHint);
}

// The card on show follows a query to other goods, picture and all: an edit
// then keeps that goods' own picture, or its lack of one.
TEST_F(GoodsWindow, ACardRefilledByAQueryShowsAndKeepsItsOwnPicture)
{
    const QString picture = pictureFile(QStringLiteral("bolt.jpg"));
    const struct {
        const char *name;
        QString shownPicture, queriedPicture;
    } cases[] = {
        {"shown goods with a picture", picture, A4::kPictureHint},
        {"queried goods with a picture", A4::kPictureHint, picture},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        book.exec("delete from TA4");
        addGoods(QStringLiteral("K1"), QStringLiteral("甲"));
        addGoods(QStringLiteral("M2"), QStringLiteral("乙"));
        book.exec("update TA4 set F9=? where F1='K1'", {c.shownPicture});
        book.exec("update TA4 set F9=? where F1='M2'", {c.queriedPicture});
        ListServices services;
        A4 w;
        WindowDriver<A4> d{w};
        child<QTabBar>("TabS", w)->setCurrentIndex(1);
        services.answerQuery(0, 0, QStringLiteral("M2"));
        d.menu("Menu_query");

        const bool queriedHasPicture = c.queriedPicture == picture;
        EXPECT_EQ(w.picturePath(), queriedHasPicture ? picture : QString());
        EXPECT_EQ(child<QLabel>("LabInfo", w)->text(), queriedHasPicture ? picture : A4::kNoPicture);
        d.menu("Menu_edit");
        d.menu("Menu_save");
        ASSERT_EQ(w.Edstu(), 0) << book.prompt().lastText().toStdString();
        EXPECT_EQ(book.value("select F9 from TA4 where F1='M2'"), c.queriedPicture);
        EXPECT_EQ(book.value("select F9 from TA4 where F1='K1'"), c.shownPicture);
    }
}

TEST_F(GoodsWindow, NumbersThatCannotBeStoredAreRefusedNamingTheirBox)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"Txt5", "Lab5", "1e309"},    {"Txt7", "Lab7", "-1e308"},   {"TxtSL", "LabSL", "1e400"},
        {"Txt8", "Lab8", "1e15"},     {"Txt9", "Lab9", "1e999"},
    };
    A4 w;
    WindowDriver<A4> d{w};
    for (const auto &[boxName, labelName, text] : cases) {
        d.menu("Menu_Add");
        d.type(0, QStringLiteral("G9"));
        d.type(1, QStringLiteral("货"));
        child<QComboBox>("CmbLB", w)->setEditText(QStringLiteral("01"));
        auto *box = child<QLineEdit>(boxName, w);
        box->setText(QString::fromLatin1(text));
        d.menu("Menu_save");
        EXPECT_EQ(book.prompt().lastText(), numtext::unstorableMessage(child<QLabel>(labelName, w)->text())) << boxName;
        EXPECT_EQ(w.focusWidget(), box) << boxName;
        d.menu("Menu_cancel");
        box->clear();
    }
    EXPECT_EQ(book.number("select count(*) from TA4"), 0);
}

TEST_F(GoodsWindow, TypedPricesAreStoredAsShownAndTheCardShowsWhatIsStored)
{
    struct Case {
        const char *typed;
        double stored;
        const char *shown;  // the cost and sale boxes, and the list's cost, after the save
    };
    const Case cases[] = {
        {"1,234.50", 1234.5, "1234.5"}, {"12,345", 12345, "12345"}, {"1,234,567.8", 1234567.8, "1234567.8"},
        {"12abc", 12, "12"},           {"1,23", 1, "1"},          {"2.50", 2.5, "2.50"},
    };
    A4 w;
    WindowDriver<A4> d{w};
    int n = 0;
    for (const Case &c : cases) {
        const QString code = QStringLiteral("G%1").arg(++n);
        d.menu("Menu_Add");
        d.type(0, code);
        d.type(1, QStringLiteral("货"));
        child<QComboBox>("CmbLB", w)->setEditText(QStringLiteral("01"));
        d.type(5, QString::fromUtf8(c.typed));
        d.type(7, QString::fromUtf8(c.typed));
        d.menu("Menu_save");
        EXPECT_EQ(w.Edstu(), 0) << c.typed;
        EXPECT_EQ(book.number("select F7 from TA4 where F1=?", {code}), c.stored) << c.typed;
        EXPECT_EQ(book.number("select F71 from TA4 where F1=?", {code}), c.stored) << c.typed;
        EXPECT_EQ(book.number("select V4 from TA4 where F1=?", {code}), c.stored) << c.typed;
        EXPECT_EQ(d.box(5)->text(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(d.box(7)->text(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(d.cell(n, 5), QString::fromUtf8(c.shown)) << c.typed;
    }

    // An edited cost that reads as another number gives way to the stored one too.
    d.menu("Menu_edit");
    d.type(5, QStringLiteral("7.5元"));
    d.menu("Menu_save");
    EXPECT_EQ(book.number("select F7 from TA4 where F1='G6'"), 7.5);
    EXPECT_EQ(d.box(5)->text(), QStringLiteral("7.5"));
}

TEST_F(GoodsWindow, ALongStoredCodeIsKeptWholeThroughEditAndSave)
{
    const QString code(30, QLatin1Char('L'));
    addGoods(code, QStringLiteral("长编码"));
    book.exec("insert into TB11 (F0,F1,F6,F7) values ('RK2612090001',?,1,1)", {code});  // the code is in use
    A4 w;
    WindowDriver<A4> d{w};
    d.pickRow(1);
    d.menu("Menu_edit");
    EXPECT_EQ(d.box(0)->text(), code);
    d.type(1, QStringLiteral("新名"));
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F1||'|'||F2 from TA4"), code + QStringLiteral("|新名"));
}

// The goods window sets its own column widths; its codes and prices are
// still fitted whole on a 1280x800 screen, the name taking what is left.
TEST_F(GoodsWindow, AListedCodeOfTwentyFiveCharactersShowsWhole)
{
    addGoods(QStringLiteral("GJ-2026-1211-ABCDEF-00001"), QStringLiteral("高强度六角头螺栓"), QStringLiteral("01"),
             1234567.125);
    A4 w;
    w.resize(1280, 800);
    w.show();
    QTableView *grid = w.findChild<QTableView *>(QStringLiteral("GD"));
    expectNoTextCut(grid, {0, 5});
}

// A goods added or edited in the window gets its room at once: its
// 25-character code whole, its long name as far as the grid has room.
TEST_F(GoodsWindow, AGoodsAddedOrEditedIsFittedAtOnce)
{
    addGoods(QStringLiteral("A1"), QStringLiteral("甲"));
    A4 w;
    WindowDriver<A4> d{w};
    w.resize(1280, 800);
    ASSERT_TRUE(d.showActive());
    auto *grid = child<QTableView>("GD", w);
    const auto expectWhole = [&](const QString &code, const char *step) {
        const int row = d.column(0).indexOf(code);
        ASSERT_GE(row, 0) << step;
        auto *view = static_cast<QAbstractItemView *>(grid);
        grid->scrollTo(grid->model()->index(row, 0));
        expectNoTextCut(grid, {0, 5});
        EXPECT_GE(grid->columnWidth(1), view->sizeHintForColumn(1)) << step;
    };

    ASSERT_TRUE(addThroughCard(w, d, QStringLiteral("GJ-2026-1211-ABCDEF-00001"),
                               QStringLiteral("加厚双层防潮防震气泡膜卷材宽一米二")))
        << book.prompt().lastText().toStdString();
    expectWhole(QStringLiteral("GJ-2026-1211-ABCDEF-00001"), "added");

    d.menu("Menu_edit");
    d.type(1, QStringLiteral("加厚双层防潮防震气泡膜卷材宽一米二长五十米透明款"));
    d.menu("Menu_save");
    ASSERT_EQ(w.Edstu(), 0) << book.prompt().lastText().toStdString();
    expectWhole(QStringLiteral("GJ-2026-1211-ABCDEF-00001"), "edited");

    // Deleted, it leaves no room behind: the columns are as a window opened
    // on the book now lays them out.
    book.prompt().answerYes();
    d.menu("Menu_del");
    ASSERT_EQ(d.column(0).indexOf(QStringLiteral("GJ-2026-1211-ABCDEF-00001")), -1);
    A4 reopened;
    reopened.resize(w.size());
    reopened.show();
    auto *reopenedGrid = child<QTableView>("GD", reopened);
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        EXPECT_EQ(grid->columnWidth(c), reopenedGrid->columnWidth(c)) << "deleted, column " << c;
}

// Number boxes left empty store 0, and the card says so right after the save,
// as it does when it is filled from the list.
TEST_F(GoodsWindow, NumberBoxesLeftEmptyShowTheirZeroAfterTheSave)
{
    A4 w;
    WindowDriver<A4> d{w};
    ASSERT_TRUE(addThroughCard(w, d, QStringLiteral("G1"), QStringLiteral("货"))) << book.prompt().lastText().toStdString();
    for (int box : {5, 7, 8, 9})
        EXPECT_EQ(d.box(box)->text(), QStringLiteral("0")) << "Txt" << box;
    EXPECT_EQ(d.cell(1, 5), QStringLiteral("0"));
    EXPECT_EQ(book.value("select V1||'|'||V2 from TA4 where F1='G1'"), QStringLiteral("0.0|0.0"));

    d.menu("Menu_edit");
    d.box(8)->clear();
    d.type(9, QStringLiteral("12"));
    d.menu("Menu_save");
    EXPECT_EQ(d.box(8)->text(), QStringLiteral("0"));
    EXPECT_EQ(d.box(9)->text(), QStringLiteral("12"));
}

TEST_F(GoodsWindow, CategoryIsCheckedByItsCodePart)
{
    A4 w;
    WindowDriver<A4> d{w};
    ASSERT_TRUE(d.showActive());
    auto *category = child<QComboBox>("CmbLB", w);
    d.menu("Menu_Add");
    d.type(0, QStringLiteral("g1"));
    d.type(1, QStringLiteral("甲"));
    category->setEditText(QStringLiteral("99.五金"));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("所属类别编码输入错误！"));
    EXPECT_TRUE(category->hasFocus());
    category->setEditText(QStringLiteral(""));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("所属类别不能为空！"));
    EXPECT_EQ(book.number("select count(*) from TA4"), 0);
    category->setEditText(QStringLiteral("02.随便"));
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F3 from TA4 where F1='G1'"), QStringLiteral("02"));
    EXPECT_EQ(d.box(2)->text(), QStringLiteral("电料"));
}

TEST_F(GoodsWindow, EnterWalksTheCardThroughBothCombos)
{
    A4 w;
    WindowDriver<A4> d{w};
    ASSERT_TRUE(d.showActive());
    d.menu("Menu_Add");
    d.box(1)->setFocus();
    QStringList walked;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        walked.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(walked, (QStringList{"CmbLB", "CmbDW", "Txt4", "Txt5"}));
}

TEST_F(GoodsWindow, ListJoinsCategoriesAndCardShowsLimits)
{
    addGoods("B1", "乙");
    addGoods("A1", "甲");
    addGoods("X1", "无类别", "77");
    A4 w;
    WindowDriver<A4> d{w};
    EXPECT_EQ(d.column(0), (QStringList{"A1", "B1"}));
    EXPECT_EQ(w.grid().rowTexts(1), (QStringList{"A1", "甲", "五金", "个", "", "10", "", "01", "20"}));
    child<QTabBar>("TabS", w)->setCurrentIndex(1);
    EXPECT_EQ(d.box(8)->text(), QStringLiteral("0"));
    EXPECT_EQ(d.box(9)->text(), QStringLiteral("0"));
    EXPECT_EQ(d.box(7)->text(), QStringLiteral("20"));
    EXPECT_EQ(child<QComboBox>("CmbLB", w)->currentText(), QStringLiteral("01.五金"));
}

TEST_F(GoodsWindow, CostIsMaskedAndHiddenWithoutTheCostRight)
{
    book.m().gMayViewCost = false;
    addGoods("A1", "甲");
    A4 w;
    WindowDriver<A4> d{w};
    w.resize(1000, 600);
    w.show();
    auto *grid = child<QTableView>("GD", w);
    EXPECT_EQ(d.box(5)->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(grid->isColumnHidden(5));
    EXPECT_EQ(grid->columnWidth(6), 2 * grid->columnWidth(0));
    EXPECT_TRUE(grid->isColumnHidden(7));
    EXPECT_TRUE(grid->isColumnHidden(8));
}

TEST_F(GoodsWindow, SalePriceFollowsCostByTheFactor)
{
    addGoods("A1", "甲");
    book.m().gOptSalePriceFactor = 1.5f;
    {
        A4 w;
        WindowDriver<A4> d{w};
        EXPECT_EQ(child<QLabel>("LabPrice", w)->text(),
                  QStringLiteral("当前设置：修改成本价格会影响销售价格(销售价格=成本价格 x 1.5) 修改销售价格不会影响成本价格"));
        d.menu("Menu_edit");
        EXPECT_TRUE(child<QLabel>("LabPrice", w)->isVisibleTo(&w));
        d.type(5, QStringLiteral("10"));
        EXPECT_EQ(d.box(7)->text(), QStringLiteral("15.00"));
        d.type(7, QStringLiteral("16"));
        d.menu("Menu_save");
        EXPECT_EQ(book.number("select F71 from TA4"), 16);
    }
    book.m().gOptSalePriceFactor = 0;
    A4 w;
    WindowDriver<A4> d{w};
    EXPECT_EQ(child<QLabel>("LabPrice", w)->text(), QStringLiteral("当前设置：成本价格与销售价格无关联"));
    d.menu("Menu_edit");
    d.type(5, QStringLiteral("30"));
    EXPECT_EQ(d.box(7)->text(), QStringLiteral("16"));
}

TEST_F(GoodsWindow, QuantityOnlyModeHidesPrices)
{
    book.m().gOptKeepPrices = 0;
    addGoods("A1", "甲");
    A4 w;
    WindowDriver<A4> d{w};
    d.menu("Menu_edit");
    for (const char *name : {"Lab5", "Txt5", "Lab7", "Txt7", "LabPrice"})
        EXPECT_FALSE(w.findChild<QWidget *>(QString::fromLatin1(name))->isVisibleTo(&w)) << name;
}

TEST_F(GoodsWindow, StockAndOpeningBoxesFollowTheAdministratorOptions)
{
    addGoods("A1", "甲", "01", 10, 5);
    const auto stockShown = [&](const QString &user, int editsStock) {
        book.m().gUserCode = user;
        book.m().gOptAdminEditsStock = editsStock;
        book.m().gOptAdminEditsOpening = editsStock;
        A4 w;
        WindowDriver<A4> d{w};
        d.menu("Menu_edit");
        const bool shown = child<QLineEdit>("TxtSL", w)->isVisibleTo(&w);
        EXPECT_EQ(shown, d.box(10)->isVisibleTo(&w));
        if (shown) {
            EXPECT_EQ(child<QLabel>("LabSL", w)->text(), QStringLiteral("库存数量"));
            EXPECT_EQ(child<QLineEdit>("TxtSL", w)->text(), QStringLiteral("5"));
        }
        d.menu("Menu_cancel");
        return shown;
    };
    EXPECT_FALSE(stockShown(QStringLiteral("001"), 0));
    EXPECT_FALSE(stockShown(QStringLiteral("002"), 1));
    EXPECT_TRUE(stockShown(QStringLiteral("001"), 1));
}

TEST_F(GoodsWindow, EditKeepsAnAuditPostedMeanwhile)
{
    addGoods("A1", "甲", "01", 10, 5);
    A4 w;
    WindowDriver<A4> d{w};
    d.menu("Menu_edit");
    // An audit on another computer: stock in 7 at 13.6, moving average 12.
    book.exec("update TA4 set F8=F8+7, F7=12 where F1='A1'");
    d.type(1, QStringLiteral("甲改"));
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F2 from TA4 where F1='A1'"), QStringLiteral("甲改"));
    EXPECT_EQ(book.number("select F8 from TA4 where F1='A1'"), 12);
    EXPECT_EQ(book.number("select F7 from TA4 where F1='A1'"), 12);
    EXPECT_EQ(book.number("select V3 from TA4 where F1='A1'"), 5);
    EXPECT_EQ(d.cell(1, 5), QStringLiteral("12"));

    // The administrator allowed to set the stock sets it.
    book.m().gOptAdminEditsStock = 1;
    d.menu("Menu_edit");
    book.exec("update TA4 set F8=F8+1 where F1='A1'");
    WindowDriver<A4>::typeText(child<QLineEdit>("TxtSL", w), QStringLiteral("0"));  // 12 -> 120
    d.menu("Menu_save");
    EXPECT_EQ(book.number("select F8 from TA4 where F1='A1'"), 120);

    // So are the opening values, by their own option; the one left alone is the book's.
    book.m().gOptAdminEditsOpening = 1;
    d.menu("Menu_edit");
    book.exec("update TA4 set V4=7 where F1='A1'");
    d.type(10, QStringLiteral("8"));
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select V3||'|'||V4 from TA4 where F1='A1'"), QStringLiteral("8.0|7.0"));
}

TEST_F(GoodsWindow, DuplicateCodeAndInUseGoods)
{
    addGoods("A1", "甲");
    addGoods("B1", "乙");
    addGoods("C1", "丙");
    book.exec("insert into TB11 (F0,F1,F6,F7) values ('RK2612090001','A1',1,1)");
    book.exec("insert into TC21 (F0,F1,F5,F6) values ('PD2612090001','B1',1,2)");
    A4 w;
    WindowDriver<A4> d{w};

    d.pickRow(3);
    d.menu("Menu_edit");
    EXPECT_FALSE(d.box(0)->isReadOnly());
    d.type(0, QStringLiteral("b1"));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("[乙]已经使用了B1这个编码，请重新设置编码!"));
    d.menu("Menu_cancel");

    d.pickRow(1);
    d.menu("Menu_edit");
    EXPECT_TRUE(d.box(0)->isReadOnly());
    d.menu("Menu_cancel");
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("本编码已经在系统中采用，不可以删除！"));

    // Only a stocktaking note names B1: it can go; so can the last goods.
    d.pickRow(2);
    book.prompt().answerYes(2);
    d.menu("Menu_del");
    EXPECT_EQ(book.number("select count(*) from TA4 where F1='B1'"), 0);
    book.exec("delete from TB11");
    d.pickRow(1);
    d.menu("Menu_del");
    d.menu("Menu_del");
    book.prompt().answerYes();
    d.menu("Menu_del");
    EXPECT_EQ(book.number("select count(*) from TA4"), 0);
    EXPECT_EQ(w.grid().rows(), 2);
    EXPECT_EQ(w.curRow(), 0);
    EXPECT_EQ(w.recordCount(), 0);
}

TEST_F(GoodsWindow, UnitJoinsTheListAfterAFailedSaveAndEditKeepsHiddenField)
{
    addGoods("A1", "甲");
    book.exec("update TA4 set V5=9 where F1='A1'");
    A4 w;
    WindowDriver<A4> d{w};
    d.menu("Menu_Add");
    child<QComboBox>("CmbDW", w)->setEditText(QStringLiteral("箱"));
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("货品编码不能为空！"));
    EXPECT_GE(child<QComboBox>("CmbDW", w)->findText(QStringLiteral("箱")), 0);
    d.menu("Menu_cancel");
    d.menu("Menu_edit");
    d.type(4, QStringLiteral("M6"));
    d.menu("Menu_save");
    EXPECT_EQ(book.number("select V5 from TA4 where F1='A1'"), 9);
    EXPECT_EQ(book.value("select F5 from TA4 where F1='A1'"), QStringLiteral("M6"));
}

TEST_F(GoodsWindow, QueryByPriceFindsGoodsOutsideTheCategories)
{
    addGoods("A1", "便宜", "01", 5);
    addGoods("B1", "贵", "01", 12);
    addGoods("X1", "无类别", "77", 20);
    book.m().gMayViewCost = false;  // the price field is offered all the same
    ListServices services;
    A4 w;
    WindowDriver<A4> d{w};
    EXPECT_EQ(d.column(0), (QStringList{"A1", "B1"}));
    int startField = -1;
    services.answerQuery(5, 0, QStringLiteral("10"), &startField);
    d.menu("Menu_query");
    EXPECT_EQ(startField, 0);
    QStringList found = d.column(0);
    found.sort();
    EXPECT_EQ(found, (QStringList{"B1", "X1"}));
    const int x = d.column(0).indexOf(QStringLiteral("X1")) + 1;
    EXPECT_EQ(d.cell(x, 2), QString());
    EXPECT_EQ(d.cell(x, 7), QStringLiteral("77"));
}

TEST_F(GoodsWindow, PrintCarriesCostOrSalePriceByTheCostRight)
{
    addGoods("A1", "甲", "01", 10);  // sale 20
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("PrnTa4.rpt"));
    for (const bool mayViewCost : {true, false}) {
        book.m().gMayViewCost = mayViewCost;
        A4 w;
        WindowDriver<A4> d{w};
        d.menu("Menu_print");
        const report::FilledReport *shown = ListServices::shownReport();
        ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
        EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("货品编码资料"));
        EXPECT_EQ(book.value("select F1||'|'||F3||'|'||F6 from PrTA1"),
                  mayViewCost ? QStringLiteral("A1|五金|10") : QStringLiteral("A1|五金|20"));
        // Prices print with the book's decimals.
        ASSERT_EQ(shown->rows.size(), 1);
        EXPECT_EQ(shown->rows[0].value(5), mayViewCost ? QStringLiteral("10.00") : QStringLiteral("20.00"));
    }
    book.exec("delete from TA4");
    A4 empty;
    WindowDriver<A4> d{empty};
    d.menu("Menu_print");
    EXPECT_EQ(book.value("select count(*) from PrTA1"), QStringLiteral("0"));  // an empty list has no record
}

TEST(GoodsStore, DerivedCodeF11)
{
    const struct {
        const char *category, *goods, *expected;
    } cases[] = {
        {"01", "A001", "0001640000A001"},
        {"1", "ABCDEFGHIJ", "0001510ABCDEFGH"},
        {"ABCDEF", "X", "ABCD1010000000X"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GoodsStore::MakeF11(QString::fromUtf8(c.category), QString::fromUtf8(c.goods)),
                  QString::fromUtf8(c.expected))
            << c.category << " " << c.goods;
}

TEST(GoodsStore, FailingInsertRollsBackTheEdit)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F3,F8) values ('A1','甲','001',4)");
    book.exec("create trigger refuse before insert on TA4 when new.F2='坏' begin select raise(abort,'refused'); end");
    GoodsStore store(book.db());
    auto record = *store.read(QStringLiteral("A1"));
    record.name = QStringLiteral("坏");
    const auto result = store.save(record, QStringLiteral("A1"));
    EXPECT_EQ(result.outcome, frames::MasterRecordStore::Outcome::Failed);
    EXPECT_TRUE(result.error.contains(QStringLiteral("refused")));
    EXPECT_EQ(book.value("select F2||F8 from TA4"), QStringLiteral("甲4.0"));
}

} // namespace
