#pragma once

#include "CellFaults.h"
#include "SheetRows.h"

#include <QString>
#include <QStringList>
#include <QVector>

// One worksheet of an Excel 97-2003 workbook (.xls; Excel 5/95 too) read as a
// table: the first sheet row holds the field names, the rows below it are the
// records. Every cell comes as text: numbers in their general form ("1001",
// "0.8"), booleans as "1" and "0", dates as "YYYY-MM-DD", empty cells as "".
// A formula cell comes as the value the spreadsheet saved with it.
namespace admin {

// The table is as large as the cells that hold a value: as many rows as the
// last such row, as many columns as the last such column. Its memory follows
// the cells, not the table's extent.
struct ExcelTable {
    QStringList fieldNames;       // the first sheet row, one text per column of the table
    SheetRows records;            // the rows below it, each up to its last cell holding a value
    QVector<CellFaults> faults;   // one per record, empty for most
};

// Reads the worksheet named sheetName (letter case ignored, and the blanks
// around the names where no sheet is spelt as typed) of the workbook at path.
// On failure returns false and puts the reason into error.
bool readExcelSheet(const QString &path, const QString &sheetName, ExcelTable &table, QString &error);

} // namespace admin
