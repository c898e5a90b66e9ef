#pragma once

#include "frames/ListColumns.h"

#include <QString>

// The columns and statements of the stock list: a select part per price
// basis (the basis is switched by putting the other select part before the
// list's conditions) and the conditions of its three views.
namespace stock::stocklist {

// What the stock list makes of its columns beyond their cells.
enum class StockColumn {
    PriceFigure,  // a figure of the price basis (the price, the amount): none in quantity-only mode
};

// The list's columns under each price basis.
struct PriceBasisColumns {
    frames::ListColumns sale;
    frames::ListColumns cost;
    const frames::ListColumns &of(bool costShown) const { return costShown ? cost : sale; }
};
// The goods' naming columns, the quantity on hand, the price and the stock amount.
const PriceBasisColumns &listColumns();
// The select list of columns and the list's from part, ending in a blank
// that the conditions follow.
QString selectPart(const frames::ListColumns &columns);

inline const QString kSaleSelectPart = selectPart(listColumns().sale);
inline const QString kCostSelectPart = selectPart(listColumns().cost);

// The goods in stock (the default list), at most kListLimit of them.
inline const QString kStockCondition = QStringLiteral("where TA4.F8<>0 ");
inline constexpr int kListLimit = 1800;
// The alarm views, at most kAlarmLimit goods each.
inline const QString kBelowSafetyCondition = QStringLiteral("where TA4.F8<TA4.V1 ");
inline const QString kAboveMaximumCondition = QStringLiteral("where TA4.F8>TA4.V2 and TA4.V2<>0 ");
inline constexpr int kAlarmLimit = 1000;

inline const QString kDefaultOrder = QStringLiteral("order by TA4.F1");

} // namespace stock::stocklist
