// The document window's grids at 1280x800: note numbers, dates, codes and
// figures show whole while the grid has room, and the note list reads as
// every grid does (figures right, texts left).
#include "DocumentWindowFixture.h"

#include "documents/StocktakingLines.h"
#include "support/ColumnFitChecks.h"

#include <QAction>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>

using namespace documents;

namespace {

const QString kLongCode = QStringLiteral("GJ-2026-1234567-ABCDEFGHI");  // 25 characters
const QString kLongNumber = QStringLiteral("RK20261211000000000012345");

class DocumentGridFit : public DocumentWindowBook {
protected:
    DocumentGridFit()
    {
        addGoods(kLongCode, 1234567.125, 98765.4321, 99999.99, QStringLiteral("不锈钢内六角圆柱头螺钉"),
                 QStringLiteral("M3x12"), QStringLiteral("盒"));
    }

    // Opens the window on a 1280x800 screen.
    void openWide(const QString &name)
    {
        open(name);
        window->resize(1280, 800);
        QCoreApplication::processEvents();
    }
    QTableView *grid(const QString &name) { return child<QTableView>(name); }
    void showNote() { child<QTabBar>(QStringLiteral("TabS"))->setCurrentIndex(1); QCoreApplication::processEvents(); }
};

TEST_F(DocumentGridFit, StockInListAndLinesShowNumbersCodesAndFiguresWhole)
{
    addNote(B1, kLongNumber, QStringLiteral("2026-12-01"), {{kLongCode, 1234567.125, 98765.4321}});
    book.exec("update TB1 set F9=121932497469.73");
    openWide(QStringLiteral("B1"));
    ASSERT_EQ(window->listGrid().textMatrix(1, 0), kLongNumber);
    expectNoTextCut(grid(QStringLiteral("GD")), {0, 1, 5});

    showNote();
    ASSERT_EQ(cell(1, ColCode), kLongCode);
    expectNoTextCut(grid(QStringLiteral("GdMx")), {ColCode, ColQuantity, ColPrice, ColAmount});
    QLineEdit *numberBox = child(QStringLiteral("Txt0"));
    ASSERT_EQ(numberBox->text(), kLongNumber);
    EXPECT_GE(numberBox->width(), numberBox->fontMetrics().horizontalAdvance(kLongNumber) + 8);

    // A line entered later gets its room as well.
    addGoods(QStringLiteral("GJ-2026-7654321-ZYXWVUTSR"), 1, 1);
    trigger(QStringLiteral("Menu_edit"));
    enterLine(QStringLiteral("GJ-2026-7654321-ZYXWVUTSR"), QStringLiteral("123456789.125"));
    QCoreApplication::processEvents();
    expectNoTextCut(grid(QStringLiteral("GdMx")), {ColCode, ColQuantity, ColPrice, ColAmount});
}

TEST_F(DocumentGridFit, StocktakingLinesShowBookAndCountedQuantitiesWhole)
{
    book.exec("insert into TC2 (F1,F2,F3,F5,F9,F10) values (?,'2026-12-01','张三','录入',0,'')", {kLongNumber});
    book.exec("insert into TC21 (F0,F1,F5,F6,F7,F8) values (?,?,1234567.125,1234560.5,98765.4321,'')",
              {kLongNumber, kLongCode});
    openWide(QStringLiteral("C2"));
    expectNoTextCut(grid(QStringLiteral("GD")), {0, 1, 5});
    showNote();
    ASSERT_EQ(cell(1, ColCode), kLongCode);
    expectNoTextCut(grid(QStringLiteral("GdMx")), {ColCode, StocktakingLineEditor::ColBook, ColQuantity, ColPrice, ColAmount});
}

TEST_F(DocumentGridFit, StocktakingLinesShowALongNameWholeWhileTheRemarkIsEmpty)
{
    const QString longName = QStringLiteral("加长型不锈钢内六角圆柱头螺钉（带防松垫圈）");
    addGoods(QStringLiteral("GJ-2"), 40.125, 2.5, 3, longName, QStringLiteral("M3x12"));
    book.exec("insert into TC2 (F1,F2,F3,F5,F9,F10) values (?,'2026-12-01','张三','录入',0,'')", {kLongNumber});
    book.exec("insert into TC21 (F0,F1,F5,F6,F7,F8) values (?,'GJ-2',40.125,40.125,2.5,'')", {kLongNumber});
    openWide(QStringLiteral("C2"));
    showNote();
    ASSERT_TRUE(cell(1, ColName).startsWith(longName));
    QTableView *lines = grid(QStringLiteral("GdMx"));
    expectNoTextCut(lines, {ColCode, ColName, StocktakingLineEditor::ColBook, ColQuantity, ColPrice, ColAmount});
}

// The stocktaking window counts its own notes and lines in panel 4, also
// when it opens after the stock-in window.
TEST_F(DocumentGridFit, StocktakingWindowWritesItsOwnCounter)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{kLongCode, 2, 3}});
    open(QStringLiteral("B1"));
    ASSERT_EQ(panel4(), QStringLiteral("入库单列表：共 1 条记录 当前为第 1 条"));
    std::unique_ptr<documents::DocumentWindow> stockIn = std::move(window);
    open(QStringLiteral("C2"));
    EXPECT_EQ(panel4(), QStringLiteral("无单据信息"));
    window.reset();

    book.exec("insert into TC2 (F1,F2,F3,F5,F9,F10) values ('PD1','2026-12-01','张三','录入',0,'')");
    book.exec("insert into TC21 (F0,F1,F5,F6,F7,F8) values ('PD1',?,1,2,3,'')", {kLongCode});
    open(QStringLiteral("C2"));
    EXPECT_EQ(panel4(), QStringLiteral("盘点单列表：共 1 条记录 当前为第 1 条"));
    showNote();
    EXPECT_EQ(panel4(), QStringLiteral("盘点单明细：共 1 条记录 当前为第 1 条"));
    window->close();
    EXPECT_EQ(panel4(), m().gBookName);
}

TEST_F(DocumentGridFit, GoodsSearchShowsWholeCodesInANarrowWindow)
{
    open(QStringLiteral("B1"));
    window->resize(800, 600);
    trigger(QStringLiteral("Menu_Add"));
    child(QStringLiteral("TxtHPBM"))->setText(QStringLiteral("GJ"));
    window->SearchGoodsByCodePrefix();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->isSearchPanelExpanded());
    // The stock column reads "1234567.125 盒": a quantity with its unit is a figure.
    QTableView *search = grid(QStringLiteral("GdQuery"));
    ASSERT_EQ(search->model()->index(0, 2).data().toString(), QStringLiteral("1234567.125 盒"));
    expectNoTextCut(search, {0, 2});
    trigger(QStringLiteral("Menu_cancel"));
}

// A code of digits is a text as much as one of letters: both stand left.
TEST_F(DocumentGridFit, GoodsSearchAlignsEveryCodeLeft)
{
    addGoods(QStringLiteral("001"), 1, 1);
    addGoods(QStringLiteral("0S1"), 1, 1);
    open(QStringLiteral("C2"));
    trigger(QStringLiteral("Menu_Add"));
    child(QStringLiteral("TxtHPBM"))->setText(QStringLiteral("0"));
    window->SearchGoodsByCodePrefix();
    const QAbstractItemModel *search = grid(QStringLiteral("GdQuery"))->model();
    ASSERT_EQ(search->rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        const auto align = Qt::Alignment(search->index(r, 0).data(Qt::TextAlignmentRole).toInt());
        EXPECT_EQ(align & Qt::AlignHorizontal_Mask, Qt::AlignLeft) << search->index(r, 0).data().toString().toStdString();
    }
    trigger(QStringLiteral("Menu_cancel"));
}

TEST_F(DocumentGridFit, NoteListAlignsTheTotalRightAndTextsLeft)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{kLongCode, 2, 3}});
    book.exec("update TB1 set F9=6, F10='备注'");
    open(QStringLiteral("B1"));
    const GridModel &list = window->listGrid();
    for (int c = 0; c < 7; ++c) {
        const auto align = Qt::Alignment(list.data(list.index(0, c), Qt::TextAlignmentRole).toInt());
        EXPECT_EQ(align & Qt::AlignHorizontal_Mask, c == 5 ? Qt::AlignRight : Qt::AlignLeft) << "column " << c;
    }
}

} // namespace
