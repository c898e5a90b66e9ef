#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

// Rows of a fixed number of cell texts, each row kept in one string with the
// cells' end offsets beside it: a long list costs one allocation per row, not
// one per cell. Rows are padded with empty cells or cut to the column count.
class TextRows {
public:
    explicit TextRows(int cols) : cols_(qMax(1, cols)) {}

    int cols() const { return cols_; }
    int size() const { return int(texts_.size()); }
    bool isEmpty() const { return texts_.isEmpty(); }

    void append(const QStringList &cells);
    void append(const TextRows &rows);  // rows of the same column count
    // Appends one row whose cells lie one after another in text, cell c
    // ending at ends[c]; count cells are given (padded or cut as above).
    void appendJoined(QStringView text, const int *ends, int count);
    void reserve(int rows);

    QStringView cell(int row, int col) const;  // valid until the rows change
    QStringList row(int row) const;
    QStringList operator[](int row) const { return this->row(row); }
    QStringList last() const { return row(size() - 1); }

private:
    friend class GridModel;
    int cols_;
    QVector<QString> texts_;
    QVector<int> ends_;  // cell c of row r ends at ends_[r * cols_ + c]
};
