#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>
#include <QVector>

// Rows of a fixed number of cell texts. The characters of many rows share one
// large block and each row's cells are found by their end offsets, so a long
// list costs a few allocations, not one per row or cell. Rows are padded with
// empty cells or cut to the column count.
class TextRows {
public:
    explicit TextRows(int cols) : cols_(qMax(1, cols)) {}

    int cols() const { return cols_; }
    int size() const { return int(places_.size()); }
    bool isEmpty() const { return places_.isEmpty(); }

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
    // Where a row's characters begin: a block and the offset in it. A row
    // without characters has no block.
    struct RowPlace {
        int block = -1;
        int start = 0;
    };

    int cols_;
    QVector<RowPlace> places_;
    QVector<int> ends_;  // cell c of row r ends at ends_[r * cols_ + c]
    // The rows' characters. A block never grows once made; rows are added at
    // the end of the last one. A copy of the rows shares the blocks until
    // either writes to one.
    QVector<QString> blocks_;
    qsizetype lastBlockUsed_ = 0;
    qsizetype storedChars_ = 0;  // characters written to the blocks
    qsizetype unusedChars_ = 0;  // of those, ones no row uses any more

    int rowLength(int row) const { return ends_[qsizetype(row) * cols_ + cols_ - 1]; }
    const QChar *rowText(int row) const;
    // Copies a row's characters to the end of the blocks.
    RowPlace store(const QChar *text, qsizetype length);
    void dropRowText(int row) { unusedChars_ += rowLength(row); }
    // Rewrites the rows into fresh blocks once edits have left many
    // characters unused.
    void compactIfWasteful();

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
