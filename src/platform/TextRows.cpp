#include "TextRows.h"

void TextRows::append(const QStringList &cells)
{
    const int n = qMin(cols_, int(cells.size()));
    qsizetype length = 0;
    for (int c = 0; c < n; ++c)
        length += cells[c].size();
    QString text;
    text.reserve(length);
    for (int c = 0; c < n; ++c) {
        text.append(cells[c]);
        ends_.append(int(text.size()));
    }
    for (int c = n; c < cols_; ++c)
        ends_.append(int(text.size()));
    texts_.append(std::move(text));
}

void TextRows::appendJoined(QStringView text, const int *ends, int count)
{
    const int n = qMin(cols_, count);
    const int length = n > 0 ? ends[n - 1] : 0;
    for (int c = 0; c < n; ++c)
        ends_.append(ends[c]);
    for (int c = n; c < cols_; ++c)
        ends_.append(length);
    texts_.append(text.left(length).toString());
}

void TextRows::append(const TextRows &rows)
{
    if (rows.cols_ == cols_) {
        texts_.append(rows.texts_);
        ends_.append(rows.ends_);
        return;
    }
    for (int r = 0; r < rows.size(); ++r)
        append(rows.row(r));
}

void TextRows::reserve(int rows)
{
    texts_.reserve(rows);
    ends_.reserve(qsizetype(rows) * cols_);
}

QStringView TextRows::cell(int row, int col) const
{
    const qsizetype first = qsizetype(row) * cols_;
    const int start = col == 0 ? 0 : ends_[first + col - 1];
    return QStringView(texts_[row]).mid(start, ends_[first + col] - start);
}

QStringList TextRows::row(int row) const
{
    QStringList cells;
    cells.reserve(cols_);
    for (int c = 0; c < cols_; ++c)
        cells.append(cell(row, c).toString());
    return cells;
}
