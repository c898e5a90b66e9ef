#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// One worksheet of an Excel 97-2003 workbook (.xls) read as a table: the
// first sheet row holds the field names, the rows below it are the records.
// Every cell comes as text: numbers in their general form ("1001", "0.8"),
// booleans as "1" and "0", dates as "YYYY-MM-DD", empty cells as "". A
// formula cell comes as the value the spreadsheet saved with it.
namespace admin {

// The cells of a record whose formula has no value to take: column -> what
// the cell shows (an error value such as "#DIV/0!", or "" when the saved
// value could not be read).
using CellFaults = QMap<int, QString>;

struct ExcelTable {
    QStringList fieldNames;        // the first sheet row
    QVector<QStringList> records;  // each has fieldNames.size() texts
    QVector<CellFaults> faults;    // one per record, empty for most
};

// Reads the worksheet named sheetName (letter case ignored) of the workbook
// at path. On failure returns false and puts the reason into error.
bool readExcelSheet(const QString &path, const QString &sheetName, ExcelTable &table, QString &error);

} // namespace admin
