#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>
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
    void append(const TextRows &rows);
    void append(TextRows &&rows);
    void reserve(int rows);

    // Editing in place. Rows given as cell lists are padded or cut to cols().
    void setCell(int row, int col, QStringView text);
    void insert(int at, const QStringList &cells);
    void removeAt(int row);
    // Cuts the rows after the first count, or adds empty rows up to count.
    void resize(int count);
    // Keeps each row's first cols cells, or adds empty cells after them.
    void setCols(int cols);

    // Builds the next row cell by cell in a buffer kept from row to row, so a
    // row read from a statement costs one allocation, not one per cell: add
    // its cells in order, then endRow() (missing cells are empty, extra ones
    // are dropped).
    void addCell(QStringView text);
    void addCell(QLatin1StringView text);
    // A cell from UTF-8, decoded as QString::fromUtf8 does.
    void addUtf8Cell(QByteArrayView utf8);
    void endRow();

    QStringView cell(int row, int col) const;  // valid until the rows change
    QStringList row(int row) const;
    QStringList operator[](int row) const { return this->row(row); }
    QStringList last() const { return row(size() - 1); }

private:
    int cols_;
    QVector<QString> texts_;
    QVector<int> ends_;  // cell c of row r ends at ends_[r * cols_ + c]

    // Writes well-formed UTF-8 as UTF-16 to out and returns the end; nullptr
    // for anything else (a broken sequence, a byte-order mark or a
    // noncharacter), which the general decoder then takes.
    static QChar *decodeWellFormedUtf8(QByteArrayView utf8, QChar *out);
    // Room for n more characters of the row being built; returns where they go.
    QChar *extendPending(qsizetype n);
    void endPendingCell(const QChar *end);

    // The row being built (its first pendingLength_ characters) and the ends
    // of its cells so far.
    QString pending_;
    qsizetype pendingLength_ = 0;
    QVarLengthArray<int, 32> pendingEnds_;
};
