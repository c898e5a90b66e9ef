#include "frames/MasterDataWindow.h"
#include "masterdata/MasterDataKinds.h"
#include "platform/GridModel.h"
#include "support/TestBook.h"

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

} // namespace
