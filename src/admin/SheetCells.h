#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The cells of one worksheet of an Excel 97-2003 workbook (BIFF8) or of an
// Excel 5/95 one (BIFF5), read from the workbook stream record by record:
// numbers (NUMBER, RK, MULRK), texts (shared strings, LABEL), booleans and
// error values (BOOLERR), and formulas (FORMULA, and its older ids some tools
// still write) as the value the spreadsheet saved with them (a number, a
// boolean, an error, or a text in the STRING record that follows). Blank
// cells hold no value and are not given.
namespace admin {

// The last column of a worksheet (IV); a cell past it is no cell of a workbook.
inline constexpr int kLastSheetColumn = 255;

struct CellValue {
    enum class Kind { Number, Text, Boolean, Error, Unreadable };
    Kind kind = Kind::Unreadable;
    double number = 0;     // Number; Boolean: 1 for TRUE, 0 for FALSE
    QString text;          // Text (a number the cell shows as a date too: "2026-12-11"); Error: "#DIV/0!"
    bool formula = false;  // the value saved with a formula
    // A text many cells may hold (a shared string, an error value): cells of
    // the same number hold the same text, so it can be kept once; -1 for a
    // text of the cell's own.
    qint64 shared = -1;
};

enum class SheetRead {
    Read,
    NoSheet,    // the workbook holds no worksheet of that name
    Damaged,    // a record running past the stream's end, no end of the globals or of the sheet
    Encrypted,  // the workbook is password protected (FILEPASS)
    OldFormat,  // a workbook of Excel 2.x to 4.0 (BIFF2-4)
};

// Receives each cell (row, column, both from 0) in the order the sheet holds them.
using CellSink = std::function<void(int row, int col, const CellValue &value)>;

// Reads the worksheet named sheetName from a workbook stream, giving each cell
// holding a value to sink. Letter case is ignored, and so are the blanks
// around the typed and the stored names when no sheet is spelt exactly as
// typed.
// A number that is no number (NaN, infinite) is the error "#NUM!"; a text or
// formula value that cannot be read (its STRING record missing or cut short, a
// shared string missing) is Unreadable. When reading fails part-way, sink may
// have been given some cells.
SheetRead readSheetCells(const QByteArray &workbookStream, const QString &sheetName, const CellSink &sink);

} // namespace admin
