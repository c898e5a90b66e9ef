#pragma once

#include <QString>

// The statements of the stock list: two select parts of equal length (the
// price basis is switched by replacing the head of the list's statement) and
// the conditions of its three views.
namespace stock::stocklist {

// Sale prices: 123 characters and 10 blanks.
inline const QString kSaleSelectPart = QStringLiteral(
    "select TA4.F1,TA4.F2,TA3.F2 AS LB,TA4.F4,TA4.F5,TA4.F8,TA4.F71,TA4.F71*TA4.F8 AS JE from TA4 left join TA3 "
    "on TA4.F3=TA3.F1          ");
// Cost prices: 121 characters and 12 blanks.
inline const QString kCostSelectPart = QStringLiteral(
    "select TA4.F1,TA4.F2,TA3.F2 AS LB,TA4.F4,TA4.F5,TA4.F8,TA4.F7,TA4.F7*TA4.F8 AS JE from TA4 left join TA3 "
    "on TA4.F3=TA3.F1            ");

// The goods in stock (the default list), at most kListLimit of them.
inline const QString kStockCondition = QStringLiteral("where TA4.F8<>0 ");
inline constexpr int kListLimit = 1800;
// The alarm views, at most kAlarmLimit goods each.
inline const QString kBelowSafetyCondition = QStringLiteral("where TA4.F8<TA4.V1 ");
inline const QString kAboveMaximumCondition = QStringLiteral("where TA4.F8>TA4.V2 and TA4.V2<>0 ");
inline constexpr int kAlarmLimit = 1000;

inline const QString kDefaultOrder = QStringLiteral("order by TA4.F1");

} // namespace stock::stocklist
