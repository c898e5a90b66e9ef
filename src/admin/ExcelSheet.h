#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// One worksheet of an Excel 97-2003 workbook (.xls) read as a table: the
// first sheet row holds the field names, the rows below it are the records.
// Every cell comes as text: numbers in their general form ("1001", "0.8"),
// dates as "YYYY-MM-DD", empty cells as "".
namespace admin {

struct ExcelTable {
    QStringList fieldNames;        // the first sheet row
    QVector<QStringList> records;  // each has fieldNames.size() texts
};

// Reads the worksheet named sheetName (letter case ignored) of the workbook
// at path. On failure returns false and puts the reason into error.
bool readExcelSheet(const QString &path, const QString &sheetName, ExcelTable &table, QString &error);

} // namespace admin
