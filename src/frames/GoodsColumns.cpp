#include "GoodsColumns.h"

namespace frames {

GoodsNamingColumns goodsNamingColumns()
{
    return {
        {QStringLiteral("货品编码"), QStringLiteral("TA4.F1")},
        {QStringLiteral("货品名称"), QStringLiteral("TA4.F2")},
        {QStringLiteral("所属类别"), QStringLiteral("TA3.F2 AS LB"), CellKind::Text, ListColumn::Search::ByOther,
         {QStringLiteral("类别编码"), QStringLiteral("TA4.F3"), QStringLiteral("0")}},
        {QStringLiteral("计量单位"), QStringLiteral("TA4.F4")},
        {QStringLiteral("规格型号"), QStringLiteral("TA4.F5")},
    };
}

} // namespace frames
