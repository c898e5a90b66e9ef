#pragma once

#include "platform/report/ReportPages.h"
#include "platform/report/ReportRows.h"
#include "platform/report/ReportTemplate.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace db {
class Database;
}

// The report engine: runs a template on an account book and gives the filled
// report (its texts, rows, totals and pages) that the painter draws and that
// tests read. It knows no report in particular.
namespace report {

// What the print control hands the engine besides the template.
struct ReportInput {
    QString selectionFormula;  // "{TB1.F1}='RK0001'" or empty
    QStringList formulas;      // "name='value'" texts, in order
    QDate today = QDate::currentDate();
    QString moneyFormat = QStringLiteral("#0.00");  // what the column format "money" stands for
};

struct GroupResult {
    QString value;
    int firstRow = 0;  // index into FilledReport::rows
    int rowCount = 0;
    QStringList subtotals;  // one text per column, "" where not summed
};

struct FilledReport {
    ReportTemplate layout;
    QMap<QString, QString> formulas;  // by lower-case name
    QMap<QString, QString> fields;    // document header values, by lower-case name
    QStringList captions;
    ReportRows rows;                  // the detail rows as read; their texts as printed
    QVector<GroupResult> groups;
    QStringList totals;               // the total row as printed; empty without [total]
    ReportPages pages;

    int pageCount() const { return pages.size(); }
    QString formula(const QString &name) const { return formulas.value(name.toLower()); }
    QString field(const QString &name) const { return fields.value(name.toLower()); }
    // Every text of a page, line by line, cells separated by tabs.
    QString pageText(int page) const;
};

// Told the pages written so far and the page count while a filled report is
// printed or exported.
using PageProgress = std::function<void(qint64 done, qint64 total)>;

// "Cpt='供货单位列表'" gives the name Cpt and the value 供货单位列表 (a doubled
// quote inside stands for one). False when the text is no formula.
bool parseFormula(const QString &text, QString *name, QString *value);

// "{TB1.F1}='RK0001'" gives the field TB1.F1 and the value RK0001.
// False when the text has another form.
bool parseSelectionFormula(const QString &text, QString *field, QString *value);

// Line heights of the layout, in points.
double bodyLineHeight(const ReportTemplate &t);
double titleLineHeight(const ReportTemplate &t);

// Reads the rows and values of a report from db and lays out its pages.
// On failure returns nullopt and puts the reason into error.
std::optional<FilledReport> fillReport(db::Database &db, const ReportTemplate &t, const ReportInput &input,
                                       QString *error);

} // namespace report
