#pragma once

#include "shell/Query.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The statements of the document statistics: one kind of trade document
// (stock-in, return to supplier, stock-out, return-in), its lines joined to
// header, party, goods and category, audited documents only.
namespace reports::statistics {

struct StatisticsKind {
    QString code;        // "B2", "B4", "D2", "D4"
    QString word;        // "入库", "退货", "出库", "退库"
    QString headTable;   // TB1, TB3, TD1, TD3
    QString lineTable;   // the header table's name followed by "1"
    QString partyTable;  // TA1 (suppliers) or TA2 (receivers)

    // "供货" for the supplier table, else "出货".
    QString partyWord() const;
    // The window caption: the kind word followed by "统计".
    QString caption() const { return word + QStringLiteral("统计"); }
};

// The kind of a code; nullptr for any other text.
const StatisticsKind *kindOf(const QString &code);

// Grid columns.
enum Column {
    NumberColumn = 0,
    DateColumn = 1,
    PartyCodeColumn = 2,
    PartyColumn = 3,
    GoodsNameColumn = 6,
    CategoryCodeColumn = 8,
    UnitColumn = 10,
    QuantityColumn = 11,
    PriceColumn = 12,
    AmountColumn = 13,
    ColumnCount = 15
};

// The 15 column captions of the kind.
QStringList gridCaptions(const StatisticsKind &kind);

// The select list and joins (no conditions): one row per line, and one row
// for a header without lines.
QString baseStatement(const StatisticsKind &kind);
// The documents dated on one day, a range the header date index serves; its two
// parameters are db::onDayValues of the day.
QString documentsOnDayCondition(const StatisticsKind &kind);
// Headers whose auditor field holds a name.
QString auditedCondition(const StatisticsKind &kind);
// The held statement for conditions: the base statement, and the conditions
// in parentheses after " Where " when there are any.
QString heldStatement(const StatisticsKind &kind, const QString &conditions);
// What a fill runs: the held statement narrowed to audited documents, then the order.
QString listStatement(const StatisticsKind &kind, const QString &held, bool heldHasConditions,
                      const QString &orderBy);

// The ORDER BY text of sort item 0..5 (date, party, goods, quantity, price, amount).
QString sortOrder(const StatisticsKind &kind, int index);
inline constexpr int kSortItems = 6;

// The query dialog's fields, captions from the grid's caption row.
QVector<QueryField> queryFields(const StatisticsKind &kind, const QStringList &captions);

// The report titles: the line list ("入库流水帐") and the summary ("入库统计表").
QString lineListTitle(const StatisticsKind &kind);
QString summaryTitle(const StatisticsKind &kind);

} // namespace reports::statistics
