#include "StockListSql.h"

namespace stock::stocklist {

namespace {

frames::ListColumns describe(bool cost)
{
    using frames::CellKind;
    using Search = frames::ListColumn::Search;
    const QString price = cost ? QStringLiteral("TA4.F7") : QStringLiteral("TA4.F71");
    // The category is searched by its code.
    return {
        {QStringLiteral("货品编码"), QStringLiteral("TA4.F1")},
        {QStringLiteral("货品名称"), QStringLiteral("TA4.F2")},
        {QStringLiteral("所属类别"), QStringLiteral("TA3.F2 AS LB"), CellKind::Text, Search::ByOther,
         {QStringLiteral("类别编码"), QStringLiteral("TA4.F3"), QStringLiteral("0")}},
        {QStringLiteral("计量单位"), QStringLiteral("TA4.F4")},
        {QStringLiteral("规格型号"), QStringLiteral("TA4.F5")},
        {QStringLiteral("数量"), QStringLiteral("TA4.F8"), CellKind::Quantity},
        {cost ? QStringLiteral("成本价格") : QStringLiteral("销售价格"), price, CellKind::Money},
        {QStringLiteral("库存金额"), price + QStringLiteral("*TA4.F8 AS JE"), CellKind::Money},
    };
}

} // namespace

const frames::ListColumns &listColumns(bool cost)
{
    static const frames::ListColumns sale = describe(false);
    static const frames::ListColumns costs = describe(true);
    return cost ? costs : sale;
}

QString selectPart(bool cost)
{
    return (QStringLiteral("select ") + frames::selectList(listColumns(cost)) +
            QStringLiteral(" from TA4 left join TA3 on TA4.F3=TA3.F1"))
        .leftJustified(kSelectPartLength);
}

} // namespace stock::stocklist
