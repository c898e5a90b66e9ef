#pragma once

#include "platform/report/ReportEngine.h"

#include <QString>

namespace report {

// Writes a filled report to an Excel workbook (.xlsx) of one sheet, in the
// order it prints: the title and header lines of the first page, the column
// captions, then the rows with their group lines and the total row, cell by
// cell. Cells of a figure column (formatted, summed or right-aligned, and not
// an identifier column) that hold a number are written as numbers shown as
// printed (same decimals and thousands separators); other cells as text.
// False, with the reason in error, when the file cannot be written.
// Progress is told page by page.
bool writeWorkbook(const FilledReport &report, const QString &path, QString *error,
                   const PageProgress &progress = {});

} // namespace report
