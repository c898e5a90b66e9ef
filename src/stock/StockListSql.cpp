#include "StockListSql.h"

#include "masterdata/MasterDataKinds.h"

namespace stock::stocklist {

namespace {

frames::ListColumns describe(bool cost)
{
    using frames::CellKind;
    const QString price = cost ? QStringLiteral("TA4.F7") : QStringLiteral("TA4.F71");
    return masterdata::goodsNamingColumns() + frames::ListColumns{
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
