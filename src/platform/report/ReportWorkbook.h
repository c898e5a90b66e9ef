#pragma once

#include <QString>

namespace report {

struct FilledReport;

// Writes a filled report to an Excel workbook (.xlsx) of one sheet, in the
// order it prints: the title and header lines of the first page, the column
// captions, then the rows with their group lines and the total row. Cells of
// a formatted or summed column that hold a number are written as numbers
// shown as printed (same decimals and thousands separators); other cells as
// text. False, with the reason in error, when the file cannot be written.
bool writeWorkbook(const FilledReport &report, const QString &path, QString *error);

} // namespace report
