#pragma once

#include "platform/TextRows.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace db {
class Database;
}

// The monthly in/out/balance reports kept in table jxc: one row per goods per
// report. SortNo 0 is the generated, unsaved report; above 0 a saved report of
// the current fiscal year; below 0 a report of a closed year.
namespace reports {

// Grid columns of a period report (and the jxc fields they fill).
enum PeriodColumn {
    kCode = 0,       // Hpbm
    kNameSpecUnit,   // name/model/unit
    kCostPrice,      // Gprice
    kOpeningQty,     // As
    kOpeningAmount,  // Aj
    kCarriedQty,     // Bs
    kCarriedAmount,  // Bj
    kPeriodInQty,    // Cs
    kPeriodInAmount, // Cj
    kYearInQty,      // Ds
    kYearInAmount,   // Dj
    kPeriodOutQty,   // Es
    kPeriodOutAmount,// Ej
    kYearOutQty,     // Fs
    kYearOutAmount,  // Fj
    kClosingQty,     // Gs
    kClosingAmount,  // Gj
    kPeriodColumnCount
};

// How the closing amount is found.
enum ClosingMethod {
    kByCostPrice = 0,          // quantity on hand x cost price
    kByPeriodMovement = 1,     // carried + period in - period out
    kByCumulativeMovement = 2  // year opening + cumulative in - cumulative out
};

// Rows of a report as the grid shows them: 17 cell texts per goods and the
// totals row (17 texts). The numbers stored in jxc are the values of these texts.
struct PeriodReportRows {
    TextRows rows{kPeriodColumnCount};
    QStringList totals;
    QDate endDate;  // of an opened report (its Edate)
};

struct GenerationResult {
    enum Status {
        Done,      // rows generated and written with SortNo 0
        NoGoods,   // the goods table is empty
        AllSkipped,// no goods had anything to report (rows empty, totals of zeros)
        Conflict,  // a saved report already covers the period start
        Failed     // error holds the reason; nothing was written
    };
    Status status = Failed;
    PeriodReportRows report;
    QString error;
};

// Generates the report of the period start .. end (both days included) for
// every goods, and writes it as the generated report (SortNo 0) in place of
// any earlier one, all in one transaction. Period sums come from audited
// stock-in, returns-in and stocktaking surpluses (in) and audited stock-out,
// returns to supplier and stocktaking deficits (out); balances and cumulative
// sums carry on from each goods' newest saved report of the current year.
// moneyFormat rounds prices and amounts ("#0.00"; no thousands grouping).
GenerationResult GeneratePeriodReport(db::Database &db, const QDate &start, const QDate &end, int closingMethod,
                                      const QString &moneyFormat);

// The one statement generation reads: every goods with its newest saved
// report and its grouped sums in and out; binds ?1 the period start and ?2
// the day after its end (ISO dates).
QString PeriodReportSql();

// The rows of saved report number (0: the generated one), optionally narrowed
// by conditions on jxc and TA4 fields (SQL text, joined with "and"); cells
// show the stored values as generation writes them (the cost price in
// moneyFormat, the closing amount as closingMethod writes it), so a reopened
// report reads as it did when generated; a Null field is empty. The totals
// row carries "合计：" in column 0. False with error when the statement fails.
bool LoadPeriodReport(db::Database &db, int number, const QString &conditions, const QString &moneyFormat,
                      int closingMethod, PeriodReportRows *out, QString *error);

// Saves the generated report under the next number: greater than the
// magnitude of every number in the table. Returns the number; 0 when there is
// no generated report to save; -1 on failure (error set).
int SavePeriodReport(db::Database &db, QString *error);

// Deletes saved report number: the newest of the current year (number > 0),
// re-checked inside the transaction; or, for number < 0, every report of the
// closed years at once. False with error when refused or failed.
bool DeletePeriodReport(db::Database &db, int number, QString *error);

// The first day of the open period: the day after the newest saved report of
// the current year, else the fiscal-year start, else 2004-01-01.
QDate PeriodStartOf(db::Database &db);

// One goods' new cost price.
struct CostPrice {
    QString code;
    double price = 0;
};
// Writes the goods' cost prices (TA4.F7) in one transaction.
bool UpdateCostPrices(db::Database &db, const QVector<CostPrice> &prices, QString *error);

} // namespace reports
