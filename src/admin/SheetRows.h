#pragma once

#include "SheetCells.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

// The texts of a worksheet's rows, kept as sparse as the sheet and in one
// buffer: only the cells holding a value take room, however many columns lie
// between them (a row with one cell in the last column costs one cell, not
// 256), and a cell costs its characters and thirteen bytes, not a string of
// its own. A text many cells share (a workbook's shared string) is kept once:
// each of its cells costs thirteen bytes. A row reads as long as its last
// cell holding a value.
namespace admin {

class SheetRows {
public:
    // Filling: puts a text into a cell (row and column from 0; a column past
    // the sheet's last is dropped), in any order; where a cell comes twice,
    // the later text counts. finish() ends the filling with the rows
    // 0 .. rowCount - 1 (cells past them are dropped).
    void set(int row, int col, QStringView text);
    // The same for a text that other cells may hold too, known by key (any
    // number naming that one text among the sheet's shared ones): its
    // characters are kept once, however many cells hold it.
    void setShared(int row, int col, qint64 key, QStringView text);
    void finish(int rowCount);

    // Removes a row; the rows after it move up by one.
    void removeRow(int row);

    int size() const { return int(rowEnds_.size()); }
    bool isEmpty() const { return rowEnds_.isEmpty(); }

    // Calls give(col, text) for each cell of the row holding a value, by
    // column; text is valid while the rows live.
    template <typename Give>
    void forEachCell(int row, Give give) const
    {
        for (qsizetype i = rowBegin(row), end = rowEnd(row); i < end; ++i)
            give(int(cols_[i]), textAt(i));
    }
    // A row's texts up to its last cell holding a value ("" between).
    QStringList texts(int row) const;
    // The text of a cell; "" for a cell holding none.
    QString text(int row, int col) const;

private:
    qsizetype rowBegin(int row) const { return row <= 0 || row >= size() ? 0 : rowEnds_[row - 1]; }
    qsizetype rowEnd(int row) const { return row < 0 || row >= size() ? 0 : rowEnds_[row]; }
    QStringView textAt(qsizetype cell) const;
    void place(int row, int col, qsizetype start, qsizetype length);
    void sortByPlace();

    // The cells, by row and then by column once finished: where each text
    // starts in chars_ and its length (cells sharing a text share its
    // characters), and its column.
    QString chars_;
    QVector<qsizetype> starts_;
    QVector<int> lengths_;
    QVector<quint8> cols_;
    QVector<int> rows_;           // while filling, once a cell came out of order: each cell's row
    QVector<qsizetype> rowEnds_;  // the cell past each row's last (while filling in order, up to the last row)
    QHash<qint64, qsizetype> sharedStarts_;  // while filling: where each shared text starts in chars_
};

} // namespace admin
