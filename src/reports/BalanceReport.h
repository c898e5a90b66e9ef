#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace db {
class Database;
}

namespace reports {

// What the in/out/balance quantity report covers.
struct BalanceFilter {
    QDate from, to;           // both days included
    QString categoryCode;     // "" = every goods that has a category
    QString goodsPattern;     // "" = all; * and ? are wildcards, else the code itself
    bool costPrice = false;   // price column: cost (F7) or sale price (F71)
    QString order = QStringLiteral("TA4.F1");  // ORDER BY expression
};

struct BalanceReport {
    QVector<QStringList> rows;  // 10 cell texts per goods
    QStringList totals;         // "合计：" in column 3, sums of columns 4..9; empty without rows
};

// Quantities of every selected goods before, during and at the end of the
// period, worked back from today's stock on hand through the lines of every
// audited note (grouped sums, one pass): the two balances are the stock held
// at the end of the day before the first day and at the end of the last day.
// The four movement columns count stock-in, returns to supplier, stock-out and
// returns-in; a stocktaking difference within the period has no column, so
// there the start balance and the movements differ from the end balance by
// that difference. A goods whose end balance and period movements (stocktaking
// differences included) add up to 0 is left out. False with error when the
// statement fails.
bool ComputeBalanceReport(db::Database &db, const BalanceFilter &filter, const QString &moneyFormat,
                          BalanceReport *out, QString *error);

// The goods code filter as a LIKE pattern: * and ? become % and _, and a typed
// % or _ is matched literally (escaped with \).
QString likePattern(const QString &typed);

} // namespace reports
