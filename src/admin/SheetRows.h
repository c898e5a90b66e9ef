#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <span>

// The texts of a worksheet's rows, kept as sparse as the sheet: only the
// cells holding a value take room, however many columns lie between them
// (a row with one cell in the last column costs one cell, not 256). A row
// reads as long as its last cell holding a value.
namespace admin {

class SheetRows {
public:
    struct Cell {
        int row = 0;
        int col = 0;
        QString text;
    };

    SheetRows() = default;
    // The rows 0 .. rowCount - 1 holding these cells, given in any order;
    // where a cell comes twice, the later one counts. Cells past the last row
    // are dropped.
    SheetRows(QVector<Cell> cells, int rowCount);

    int size() const { return int(rowEnds_.size()); }
    bool isEmpty() const { return rowEnds_.isEmpty(); }

    // The cells of a row holding a value, by column.
    std::span<const Cell> cells(int row) const;
    // A row's texts up to its last cell holding a value ("" between).
    QStringList texts(int row) const;
    // The text of a cell; "" for a cell holding none.
    QString text(int row, int col) const;

private:
    QVector<Cell> cells_;  // by row, then by column
    QVector<int> rowEnds_;  // the index in cells_ past each row's last cell
};

} // namespace admin
