#pragma once

#include "ExcelSheet.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class Module1;

// Loading goods master data from a table of texts (a worksheet read into the
// import window's grid) into TA4, creating missing categories in TA3.
// An existing goods (same code) is updated in place, a new code is added.
namespace admin {

// Which table column holds each goods field; -1 = the field is not read.
struct GoodsColumns {
    int code = -1;
    int name = -1;
    int categoryName = -1;
    int unit = -1;
    int model = -1;
    QVector<int> remark;          // joined, each part after two blanks
    int cost = -1;                // cost price and year-opening price
    int salePrice = -1;
    int categoryCode = -1;
    int categoryCodeLength = 0;   // > 0: only the first characters of that cell
    int quantity = -1;            // quantity on hand and year-opening quantity
    int safetyStock = -1;
    int highestStock = -1;

    bool categoryMapped() const { return categoryName >= 0 || categoryCode >= 0; }
};

// The number of mapping lists and their captions, in list order.
inline constexpr int kGoodsColumnLists = 12;
QString goodsColumnCaption(int list);

// Reads the twelve mapping texts (a column letter; the remark list several
// letters; the category-code list a letter, a comma and a count). A text
// that is blank leaves its field unread. Fails with a message when a text
// names a column outside 0 .. columns - 1 or carries a bad count.
bool parseGoodsColumns(const QStringList &texts, int columns, GoodsColumns &map, QString &problem);

struct GoodsImportSettings {
    GoodsColumns columns;
    QString defaultCategoryCode;  // for rows without a usable category
    QString defaultCategoryName;
};

struct SkippedRow {
    int row = 0;       // 1-based row of the table (grid row)
    QString reason;
};

struct GoodsImportResult {
    QString error;     // "" on success; else nothing was imported
    int added = 0;
    int updated = 0;
    QVector<SkippedRow> skipped;  // rows with content that were not imported
};

// The table the goods are read from, cell by cell, so that a wide sparse
// sheet is not copied as full rows: text(row, col), both from 0, is "" past
// a row's end.
struct ImportTable {
    int rows = 0;
    int columns = 0;
    std::function<QString(int row, int col)> text;
};

// Imports every row in one transaction: the whole table or nothing. Rows
// without a code, without a name (when the name is read), with a number
// cell that holds no number, or reading a cell listed in its faults (an
// error value, or a value that could not be read; faults holds one entry per
// row, or none)
// are skipped, listed, and leave no trace (not even a new category).
// Entirely blank rows are passed over unlisted.
GoodsImportResult importGoods(Module1 &m, const ImportTable &rows, const GoodsImportSettings &settings,
                              const QVector<CellFaults> &faults = {});
// The same from rows of texts.
GoodsImportResult importGoods(Module1 &m, const QVector<QStringList> &rows, const GoodsImportSettings &settings,
                              const QVector<CellFaults> &faults = {});

} // namespace admin
