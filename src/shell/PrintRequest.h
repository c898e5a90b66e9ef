#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

class GridModel;

namespace db {
class Database;
}

// What a printing window hands the print host: the template, the rows to
// stage, the selection and the formulas.
struct PrintRequest {
    QString reportFile;      // the template as the window names it, e.g. "Prnta12.rpt"
    QString testedFile;      // tested in gProgramPath before anything else; "" = no test
    QString missingMessage;  // "" = "报表文件" + testedFile + "丢失！"

    QString stagingTable;                 // "" = nothing staged (the template reads the book)
    QStringList stagingColumns;           // e.g. {"F1","F2",...}
    QVector<QVariantList> stagingRows;    // one bound value per column: QString texts, double numbers
    // Or, in place of stagingRows, the data rows of a grid staged straight
    // from its texts: these grid columns, in the order of stagingColumns.
    const GridModel *stagingGrid = nullptr;
    QVector<int> stagingGridColumns;

    QString selectionFormula;  // SelectionFormulaText(...) for a single document
    QStringList formulas;      // FormulaText(...) texts, the title Cpt first
};

// Runs a print request on the open book (Module1): the hourglass pointer;
// the template test ("报表文件" + name + "丢失！", title "提示", and nothing
// else happens); then, in one transaction, the staging table is emptied and
// filled (one insert per row, values bound) and the report control reads it;
// then the print host Prnt shows the preview. A staging or report failure is
// shown to the operator and shows no preview. True when the report is on show.
// The host outlives the window that printed: it is placed by Prnt's show hook
// (the main window's MDI area), not parented to the caller.
bool RunPrintRequest(const PrintRequest &request);

// "Cpt='供货单位列表'": the name, "=", the value in single quotes (doubled inside).
QString FormulaText(const QString &name, const QString &value);
// "{TB1.F1}='RK0001'": selects one document of a header table.
QString SelectionFormulaText(const QString &headerTable, const QString &number);

// True when gProgramPath holds a file of this name, without regard to letter case.
bool ReportFileExists(const QString &fileName);

// The staging column names "F<first>" .. "F<last>".
QStringList StagingColumns(int first, int last);

// The cell texts of grid rows firstRow .. lastRow (-1: the last row) in the
// given columns, as staging rows. An empty list gives its one blank row.
QVector<QVariantList> GridTextRows(const GridModel &grid, const QVector<int> &columns, int firstRow = 1,
                                   int lastRow = -1);

// Empties table and writes the rows (inside the caller's transaction).
// False with the reason in error when a statement fails.
bool StageRows(db::Database &db, const QString &table, const QStringList &columns,
               const QVector<QVariantList> &rows, QString *error);
// The same for every data row of grid: its texts in gridColumns, one per
// staging column (missing ones staged as empty texts).
bool StageGridRows(db::Database &db, const QString &table, const QStringList &columns, const GridModel &grid,
                   const QVector<int> &gridColumns, QString *error);
