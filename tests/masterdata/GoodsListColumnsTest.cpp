#include "support/ListServices.h"
#include "support/WindowDriver.h"
#include "frames/MasterDataWindow.h"
#include "masterdata/GoodsWindow.h"
#include "masterdata/MasterDataKinds.h"
#include "platform/GridModel.h"
#include "support/TestBook.h"

#include <QComboBox>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

using frames::CellKind;
using frames::ListColumn;
using frames::ListColumns;

// The list/card frame on the goods list with the columns given: everything
// the list shows comes from its description.
class DescribedGoodsList : public frames::MasterDataWindow {
public:
    explicit DescribedGoodsList(const ListColumns &columns)
        : MasterDataWindow(masterdata::goodsKind(columns), nullptr)
    {
        initWindow();
    }
};

class GoodsListColumns : public ::testing::Test {
protected:
    GoodsListColumns()
    {
        book.exec("insert into TA3 (F1,F2) values ('01','五金')");
        book.exec("insert into TA4 (F1,F2,F3,F4,F5,F6,F7,F71) values ('A1','螺丝','01','个','M3','',2.5,5)");
    }
    TestBook book;
};

// Each kind of cell over a field of every stored type: the field is a
// literal, so its value keeps its type (no column affinity converts it).
// Money is rounded to two decimals here (the frame's default).
TEST_F(GoodsListColumns, EachCellKindWritesEveryStoredTypeByItsRule)
{
    struct Case {
        const char *field;
        const char *text, *number, *quantity, *money;
    } cases[] = {
        {"7", "7", "7", "7", "7"},
        {"-2.50", "-2.5", "-2.5", "-2.5", "-2.5"},
        {"12.0", "12.0", "12", "12", "12"},
        {"1e20", "1.0e+20", "1E+20", "100000000000000000000.000", "1E+20"},
        {"0.1+0.2", "0.3", "0.3", "0.3", "0.3"},
        {"1.2345678", "1.2345678", "1.2345678", "1.235", "1.23"},
        {"0.000012", "1.2e-05", "1.2E-05", "0.000", "0"},
        {"'12.50'", "12.50", "12.5", "12.50", "12.5"},
        {"'1.2345678'", "1.2345678", "1.2345678", "1.235", "1.23"},
        {"'螺丝'", "螺丝", "0", "螺丝", "0"},
        {"NULL", "", "", "", "0"},
    };
    const CellKind kinds[] = {CellKind::Text, CellKind::Number, CellKind::Quantity, CellKind::Money};
    ListColumns columns;
    for (const Case &c : cases)
        for (const CellKind kind : kinds)
            columns.append({QString::number(columns.size()), QString::fromUtf8(c.field), kind});
    DescribedGoodsList list(columns);
    ASSERT_EQ(list.recordCount(), 1);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const QStringList texts = list.grid().rowTexts(1).mid(4 * i, 4);
        const Case &c = cases[i];
        EXPECT_EQ(texts, QStringList({QString::fromUtf8(c.text), QString::fromUtf8(c.number),
                                      QString::fromUtf8(c.quantity), QString::fromUtf8(c.money)}))
            << c.field << ": " << texts.join(QLatin1Char('|')).toStdString();
    }
}

// A role is found only among columns named by its own enumeration: the
// first role of another list does not find the goods code, whose role is
// the goods fields' first.
TEST(GoodsListRoles, ARoleOfAnotherEnumerationFindsNoColumn)
{
    enum class OtherList { First };
    const ListColumns &columns = masterdata::goodsListColumns();
    EXPECT_EQ(frames::columnWith(columns, masterdata::GoodsField::Code), 0);
    EXPECT_EQ(frames::columnWith(columns, masterdata::GoodsField::Sale), int(columns.size()) - 1);
    EXPECT_EQ(frames::columnWith(columns, OtherList::First), -1);
}

TEST_F(GoodsListColumns, AColumnAddedToTheDescriptionShowsAndIsSearched)
{
    ListColumns columns = masterdata::goodsListColumns();
    const int added = int(columns.size());
    columns.append({QStringLiteral("最低库存"), QStringLiteral("TA4.V1"), CellKind::Number});
    book.exec("update TA4 set V1=3.25");

    DescribedGoodsList list(columns);
    EXPECT_EQ(list.grid().cols(), added + 1);
    EXPECT_EQ(list.grid().textMatrix(0, added), QStringLiteral("最低库存"));
    EXPECT_EQ(list.grid().rowTexts(1),
              QStringList({"A1", "螺丝", "五金", "个", "M3", "2.5", "", "01", "5", "3.25"}));
    const QVector<QueryField> fields = list.kind().queryFields;
    ASSERT_FALSE(fields.isEmpty());
    EXPECT_EQ(fields.last().caption, QStringLiteral("最低库存"));
    EXPECT_EQ(fields.last().expression, QStringLiteral("TA4.V1"));
    EXPECT_EQ(fields.last().type, QStringLiteral("1"));
    EXPECT_TRUE(list.kind().queryBase.startsWith(
        QStringLiteral("select TA4.F1,TA4.F2,TA3.F2 AS LB,TA4.F4,TA4.F5,TA4.F7,TA4.F6,TA4.F3,TA4.F71,TA4.V1 from")));
}

// A column added in the middle of the goods list's description: the grid,
// its widths and alignments, the card, the print, the query and a saved
// row all follow; no position is written anywhere else.
TEST_F(GoodsListColumns, AColumnAddedInTheMiddleMovesTheWindowCardPrintAndQueryAlong)
{
    book.exec("update TA4 set F1='001', F6='备', V1=3.25");
    book.exec("insert into TA4 (F1,F2,F3,F4,F5,F6,F7,F71) values ('S01','垫圈','01','只','M4','',1,2)");
    ListColumns columns = masterdata::goodsListColumns();
    columns.insert(2, {.caption = QStringLiteral("最低库存"), .field = QStringLiteral("TA4.V1"),
                       .kind = CellKind::Number, .printed = false});
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("PrnTa4.rpt"));
    A4 w(columns);
    WindowDriver<A4> d{w};
    w.resize(1000, 600);
    w.show();

    EXPECT_EQ(w.grid().rowTexts(0), QStringList({"货品编码", "货品名称", "最低库存", "所属类别", "计量单位", "规格型号",
                                                 "价格", "备注", "类别编码", "销售价格"}));
    EXPECT_EQ(w.grid().rowTexts(1), QStringList({"001", "螺丝", "3.25", "五金", "个", "M3", "2.5", "备", "01", "5"}));
    auto *grid = w.findChild<QTableView *>(QStringLiteral("GD"));
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(grid->isColumnHidden(c), c >= 8) << "column " << c;
    // Codes stand left whatever their characters, figures right, the unit centred.
    const auto horizontal = [&](int row, int col) {
        return Qt::Alignment(w.grid().data(w.grid().index(row, col), Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    for (int row : {0, 1})
        EXPECT_EQ(horizontal(row, 0), Qt::AlignLeft) << w.grid().textMatrix(row + 1, 0).toStdString();
    EXPECT_EQ(horizontal(0, 2), Qt::AlignRight);
    EXPECT_EQ(horizontal(0, 4), Qt::AlignHCenter);
    EXPECT_EQ(horizontal(0, 6), Qt::AlignRight);

    d.pickRow(1);
    w.findChild<QTabBar *>(QStringLiteral("TabS"))->setCurrentIndex(1);
    QStringList boxes;
    for (int i = 0; i <= 9; ++i)
        boxes.append(d.box(i)->text());
    EXPECT_EQ(boxes, QStringList({"001", "螺丝", "五金", "个", "M3", "2.5", "备", "5", "3.25", "0"}));
    EXPECT_EQ(w.findChild<QComboBox *>(QStringLiteral("CmbLB"))->currentText(), QStringLiteral("01.五金"));
    w.findChild<QTabBar *>(QStringLiteral("TabS"))->setCurrentIndex(0);

    for (const bool mayViewCost : {true, false}) {
        book.m().gMayViewCost = mayViewCost;
        d.menu("Menu_print");
        EXPECT_EQ(book.value("select F1||'|'||F2||'|'||F3||'|'||F4||'|'||F5||'|'||F6||'|'||F7 from PrTA1 where F1='001'"),
                  mayViewCost ? QStringLiteral("001|螺丝|五金|个|M3|2.5|备") : QStringLiteral("001|螺丝|五金|个|M3|5|备"));
    }

    // Without the cost right the price hands its room to the remark.
    A4 masked(columns);
    masked.resize(1000, 600);
    masked.show();
    auto *maskedGrid = masked.findChild<QTableView *>(QStringLiteral("GD"));
    EXPECT_TRUE(maskedGrid->isColumnHidden(6));
    EXPECT_EQ(maskedGrid->columnWidth(7), 2 * maskedGrid->columnWidth(0));
    book.m().gMayViewCost = true;

    QStringList captions;
    for (const QueryField &field : w.kind().queryFields)
        captions.append(field.caption);
    EXPECT_EQ(captions, QStringList({"货品编码", "货品名称", "最低库存", "类别编码", "计量单位", "规格型号", "价格", "备注"}));

    // A goods saved shows in the list as the book holds it, the added column too.
    d.menu("Menu_Add");
    d.type(0, QStringLiteral("N1"));
    d.type(1, QStringLiteral("新货"));
    w.findChild<QComboBox *>(QStringLiteral("CmbLB"))->setEditText(QStringLiteral("01"));
    d.type(5, QStringLiteral("2.50"));
    d.type(8, QStringLiteral("7"));
    d.menu("Menu_save");
    ASSERT_EQ(w.Edstu(), 0) << book.prompt().lastText().toStdString();
    EXPECT_EQ(w.grid().rowTexts(w.curRow()), QStringList({"N1", "新货", "7", "五金", "", "", "2.50", "", "01", "0"}));
}

} // namespace
