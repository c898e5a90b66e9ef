#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <utility>

// The values a spreadsheet program saved with the formula cells of one
// worksheet of an Excel 97-2003 workbook (.xls). The cell reader gives no
// value for a formula cell; the value the workbook shows is kept in the
// sheet's FORMULA record (a number, a boolean, an error, or a text in the
// STRING record that follows it).
namespace admin {

struct SavedValue {
    enum class Kind { Number, Text, Boolean, Error, Unreadable };
    Kind kind = Kind::Unreadable;
    double number = 0;  // Number; Boolean: 1 for TRUE, 0 for FALSE
    QString text;       // Text (a number the cell shows as a date too: "2026-12-11"); Error: "#DIV/0!"
};

// (row, column) of a cell, both from 0 as the workbook counts them.
using CellPosition = std::pair<int, int>;
using SavedValues = std::map<CellPosition, SavedValue>;

// Reads the saved formula values of the worksheet named sheetName (letter
// case ignored) from a workbook stream (BIFF8, or BIFF5 of older files).
// A formula whose value cannot be read (its STRING record missing or cut
// short) is listed as Unreadable. Returns false when the stream is damaged
// (a record running past its end, no end of the sheet) or holds no such sheet.
bool readSavedValues(const QByteArray &workbookStream, const QString &sheetName, SavedValues &values);

// The same from the workbook file at path, a compound file holding the
// workbook stream. False when the file is no such workbook or is damaged.
bool readFormulaValues(const QString &path, const QString &sheetName, SavedValues &values);

} // namespace admin
