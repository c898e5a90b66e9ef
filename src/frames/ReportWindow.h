#pragma once

#include "frames/ListColumns.h"
#include "platform/NumberText.h"
#include "platform/TextRows.h"
#include "shell/Query.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <QWidget>

class GridModel;
class QAction;
class QMenu;
class QMenuBar;
class QTableView;

namespace db {
class Statement;
}

namespace frames {

// What one report window is: its grid, counter, totals row and sizes.
struct ReportWindowKind {
    QString name;                 // objectName, e.g. "C1"
    QString caption;              // window caption
    QStringList captions;         // one per grid column
    QVector<Qt::Alignment> alignments;  // per grid column; none: the grid's general alignment
    QString statusPrefix;         // e.g. "货品库存资料：共 "
    QString totalsLabel;          // e.g. "合计："
    int totalsLabelColumn = 0;
    QVector<int> totalledColumns;
    int heightMarginTwips = 0;    // the grid is this much less high than the window
    int widthDivisor = 1;         // each column: grid width / widthDivisor - widthLessTwips
    int widthLessTwips = 0;
    QVector<int> hiddenColumns;   // always width 0
    // Quantity-only mode: {neighbour, hidden} — the price or amount column
    // hands its width to the neighbour and gets width 0.
    QVector<QPair<int, int>> quantityOnlyTransfers;
    QString emptyPrintMessage = QStringLiteral("无数据可打印！");
    // Caption rows above the data: row 0 (the view's header) and, for a
    // two-line heading, grid rows 1 .. headingRows-1 shown as the first rows.
    int headingRows = 1;
    // Choosing the totals row moves to the first data row instead of the last.
    bool totalsRowPicksFirst = false;
};

// Takes the captions, alignments, totalled columns and totals label column
// from a list's columns.
void takeColumns(ReportWindowKind &kind, const ListColumns &columns);
// Aligns the figure columns right and every other column left: numbers,
// codes, names, sizes/models and dates are texts, and a code of digits
// ("001") stands left as "S01" beside it does.
void alignFiguresRight(ReportWindowKind &kind, const QVector<int> &figureColumns);

// One item of the sort menu: its index names the action ("menu_S" + index).
struct ReportSortItem {
    int index = 0;
    QString caption;
    QString order;  // ORDER BY text
    bool visible = true;
};

// One print item: the template tested and printed, the staging table and formulas.
struct ReportPrint {
    QString objectName;   // e.g. "Menu_print" (the only item) or "Menu_print1"
    QString caption;
    QString testedFile;   // tested beside the program
    QString reportFile;   // the template run
    QString stagingTable; // e.g. "PRTc1"
    QStringList formulas; // FormulaText(...) texts
    // The staging table's columns; empty: F0..F8 (F0 the key, F1..F8 the values).
    QStringList stagingColumns;
    // The template run in quantity-only mode, a layout without prices and
    // amounts; "": reportFile in either mode.
    QString quantityOnlyReportFile;
};

// The read-only report window: one grid with a caption row, one row per
// record and a totals row; a record counter in status panel 4; sort, query
// and print menus; a return menu. Each report window is this frame with its
// own ReportWindowKind, menus and the hooks below.
class ReportWindow : public QWidget, public QueryLoader {
    Q_OBJECT
public:
    ~ReportWindow() override;

    // Kept for the report windows that hand a print statement around.
    QString PubPrntSql;

    GridModel &grid() { return *model_; }
    const GridModel &grid() const { return *model_; }
    int curRow() const { return CurRow; }
    // Data rows on show (the totals row not counted).
    int recordCount() const;
    QString reportSql() const { return ReportSql; }
    QString orderClause() const { return OrderClause; }
    // The statement the last fill ran.
    QString lastFillSql() const { return lastFillSql_; }

    // True in quantity-only mode (prices are not kept).
    static bool quantityOnly();

protected:
    ReportWindow(ReportWindowKind kind, QWidget *parent);

    // ---- menus, added by the window in its order ----
    QMenuBar *menuBar() const { return menuBar_; }
    QAction *addQueryMenu();
    QMenu *addSortMenu(const QVector<ReportSortItem> &items, int checkedIndex);
    void addPrintMenu(const QVector<ReportPrint> &prints);
    QAction *addReturnMenu();
    QAction *sortItem(int index) const;

    // A frame of filter controls above the grid (the window keeps it; the
    // frame places it at the top, its own height, and the grid below).
    void setTopFrame(QWidget *frame);
    QWidget *topFrame() const { return topFrame_; }

    // ---- the frame's steps ----
    void setReportGridHeaders();
    void fillReportGrid(const QString &sql);
    void showListStatus();
    void sortReport(int index);
    void queryReport();
    void printReport(int print);
    void closeWindow();
    virtual void layoutReportWindow();
    void setHasTotalsRow(bool has) { hasTotals_ = has; }

    // ---- hooks ----
    // The statement run for sql: the window's additions, then OrderClause.
    virtual QString fillStatement(const QString &sql) const;
    // Writes one record's grid texts into rows (their cells, then endRow),
    // straight in, without a string per cell: by default every field's
    // addFieldText. A window with its own cell rules writes its cells itself,
    // or revises cells of the row the default wrote (reviseLastCell).
    virtual void appendRecord(TextRows &rows, const db::Statement &row) const;
    // The ORDER BY text of a sort item.
    virtual QString sortOrder(int index) const;
    // Query dialog: base SELECT, fields and the field it opens on.
    virtual QString queryBase() const = 0;
    virtual QVector<QueryField> queryFields() const = 0;
    virtual int queryStartField() const = 0;
    // Column widths (pixels) before quantity-only mode takes its columns.
    virtual void adjustColumnWidths(QVector<int> &widths) const;
    // After the dialog: answered is false when it was cancelled.
    virtual void afterQuery(bool answered);
    // Staged values F1..F8 of data row for the print item.
    virtual QVariantList stagingValues(int print, int row) const = 0;
    // The staged key (F0) of data row; "1" unless the window numbers its rows.
    virtual QVariant stagingKey(int print, int row) const;
    // The formulas of a print item; by default those it was added with.
    virtual QStringList printFormulas(int print) const;
    // Values bound to the fill statement's parameters ("?"), in order.
    virtual QVariantList fillParameters() const { return {}; }
    // Runs after the columns were laid out: a window's own column widths.
    virtual void adjustColumns() {}

    // Adds the text of a record's field as the next cell of rows: numbers in
    // their plain text, Null empty.
    static void addFieldText(TextRows &rows, const db::Statement &row, int column);
    // Replaces cell col of the last row of rows by rule(its text).
    template <typename Rule>
    static void reviseLastCell(TextRows &rows, int col, Rule rule)
    {
        const int last = rows.size() - 1;
        const QString text = rows.cell(last, col).toString();
        const QString revised = rule(text);
        if (revised != text)
            rows.setCell(last, col, revised);
    }
    // Adds a price or amount rounded to the money decimals, in its plain
    // number text (no trailing zeros).
    void addMoneyText(TextRows &rows, double value) const;
    // The money decimals of the list being filled.
    const numtext::NumberPattern &moneyPattern() const { return moneyPattern_; }
    QString cell(int row, int col) const;

    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    ReportWindowKind kind_;
    QString ReportSql;
    QString OrderClause;
    int CurRow = 1;

    QTableView *GD = nullptr;
    GridModel *model_ = nullptr;

private:
    void onCurrentRowChanged(int viewRow);
    void setGridRow(int row);
    bool hasTotalsRow() const { return hasTotals_; }

    QMenuBar *menuBar_ = nullptr;
    QWidget *body_ = nullptr;
    QWidget *topFrame_ = nullptr;
    QVector<ReportSortItem> sortItems_;
    QVector<QAction *> sortActions_;
    QVector<ReportPrint> prints_;
    QString lastFillSql_;
    bool hasTotals_ = false;
    bool syncingGrid_ = false;
    // The money format of the fill under way.
    numtext::NumberPattern moneyPattern_{QString()};
};

} // namespace frames
