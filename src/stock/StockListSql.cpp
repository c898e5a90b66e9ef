#include "StockListSql.h"

#include "frames/GoodsColumns.h"

namespace stock::stocklist {

namespace {

using frames::CellKind;
using frames::ListColumn;

// The sorts run by code, category code, quantity, price and amount. The totals
// row sums the quantity and the amount, its label under the size/model; in
// quantity-only mode the price hands its room to the name and the amount to
// the size/model.
frames::ListColumns describe(bool cost)
{
    frames::GoodsNamingColumns n = frames::goodsNamingColumns();
    n.code.sort = {QStringLiteral("&1.按货品编码")};
    n.category.sort = {QStringLiteral("&2.按所属类别"), n.category.searchedBy.expression, false};
    n.model.totalsLabel = true;
    const ListColumn quantity{.caption = QStringLiteral("数量"),
                              .field = QStringLiteral("TA4.F8"),
                              .kind = CellKind::Quantity,
                              .totalled = true,
                              .sort = {QStringLiteral("&2.按库存数量")}};
    const QString price = cost ? QStringLiteral("TA4.F7") : QStringLiteral("TA4.F71");
    return {
        n.code,
        n.name,
        n.category,
        n.unit,
        n.model,
        quantity,
        {.caption = cost ? QStringLiteral("成本价格") : QStringLiteral("销售价格"),
         .field = price,
         .kind = CellKind::Money,
         .role = StockColumn::PriceFigure,
         .roomTo = frames::expressionOf(n.name),
         .sort = {QStringLiteral("&3.按核算价格")}},
        {.caption = QStringLiteral("库存金额"),
         .field = price + QLatin1Char('*') + quantity.field + QStringLiteral(" AS JE"),
         .kind = CellKind::Money,
         .role = StockColumn::PriceFigure,
         .roomTo = frames::expressionOf(n.model),
         .totalled = true,
         .sort = {QStringLiteral("&4.按库存金额")}},
    };
}

} // namespace

const PriceBasisColumns &listColumns()
{
    static const PriceBasisColumns columns{describe(false), describe(true)};
    return columns;
}

QString selectPart(const frames::ListColumns &columns)
{
    return QStringLiteral("select ") + frames::selectList(columns) +
           QStringLiteral(" from TA4 left join TA3 on TA4.F3=TA3.F1 ");
}

} // namespace stock::stocklist
