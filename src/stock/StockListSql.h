#pragma once

#include "frames/ListColumns.h"

#include <QString>

// The columns and statements of the stock list: two select parts of equal
// length (the price basis is switched by replacing the head of the list's
// statement) and the conditions of its three views.
namespace stock::stocklist {

// The list's columns under cost prices (cost) or sale prices.
const frames::ListColumns &listColumns(bool cost);
// The select part of the list under that price basis, padded with blanks to
// kSelectPartLength characters.
QString selectPart(bool cost);
inline constexpr int kSelectPartLength = 133;

inline const QString kSaleSelectPart = selectPart(false);
inline const QString kCostSelectPart = selectPart(true);

// The goods in stock (the default list), at most kListLimit of them.
inline const QString kStockCondition = QStringLiteral("where TA4.F8<>0 ");
inline constexpr int kListLimit = 1800;
// The alarm views, at most kAlarmLimit goods each.
inline const QString kBelowSafetyCondition = QStringLiteral("where TA4.F8<TA4.V1 ");
inline const QString kAboveMaximumCondition = QStringLiteral("where TA4.F8>TA4.V2 and TA4.V2<>0 ");
inline constexpr int kAlarmLimit = 1000;

inline const QString kDefaultOrder = QStringLiteral("order by TA4.F1");

} // namespace stock::stocklist
