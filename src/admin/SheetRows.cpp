#include "SheetRows.h"

#include <algorithm>
#include <numeric>

namespace admin {

void SheetRows::set(int row, int col, QStringView text)
{
    if (row < 0 || col < 0 || col > kLastSheetColumn)
        return;
    const qsizetype start = chars_.size();
    chars_.append(text);
    place(row, col, start, text.size());
}

void SheetRows::setShared(int row, int col, qint64 key, QStringView text)
{
    if (row < 0 || col < 0 || col > kLastSheetColumn)
        return;
    const auto found = sharedStarts_.constFind(key);
    if (found != sharedStarts_.constEnd()) {
        place(row, col, *found, text.size());
        return;
    }
    const qsizetype start = chars_.size();
    chars_.append(text);
    sharedStarts_.insert(key, start);
    place(row, col, start, text.size());
}

void SheetRows::place(int row, int col, qsizetype start, qsizetype length)
{
    const int lastRow = int(rowEnds_.size()) - 1;
    const bool inOrder = rows_.isEmpty() && (row > lastRow || (row == lastRow && col > cols_.last()));
    if (inOrder) {
        // The usual way: the cells come row by row, each row by column, and
        // the row ends are kept as they come.
        rowEnds_.resize(row + 1, starts_.size());
        ++rowEnds_[row];
    } else {
        if (rows_.isEmpty()) {
            // Out of order: from now on each cell's row is kept, to order them at the end.
            rows_.reserve(starts_.size() + 1);
            for (int r = 0; r <= lastRow; ++r)
                rows_.resize(rowEnds_[r], r);
        }
        rows_.append(row);
    }
    starts_.append(start);
    lengths_.append(int(length));
    cols_.append(quint8(col));
}

QStringView SheetRows::textAt(qsizetype cell) const
{
    return QStringView(chars_).sliced(starts_[cell], lengths_[cell]);
}

// Orders the cells by row and column, keeping the last given of a cell that
// came twice. The texts stay where they are.
void SheetRows::sortByPlace()
{
    const auto place = [this](qsizetype i) { return (qint64(rows_[i]) << 8) | cols_[i]; };
    QVector<qsizetype> order(starts_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return place(a) < place(b); });
    QVector<qsizetype> starts;
    QVector<int> lengths;
    QVector<quint8> cols;
    QVector<int> rows;
    rows.reserve(order.size());
    for (qsizetype k = 0; k < order.size(); ++k) {
        const qsizetype i = order[k];
        if (k + 1 < order.size() && place(order[k + 1]) == place(i))
            continue;  // a later text of the same cell follows
        starts.append(starts_[i]);
        lengths.append(lengths_[i]);
        cols.append(cols_[i]);
        rows.append(rows_[i]);
    }
    starts_ = std::move(starts);
    lengths_ = std::move(lengths);
    cols_ = std::move(cols);
    rows_ = std::move(rows);
}

void SheetRows::finish(int rowCount)
{
    sharedStarts_ = {};
    rowCount = qMax(0, rowCount);
    if (!rows_.isEmpty()) {
        sortByPlace();
        rowEnds_.clear();
        for (int row : std::as_const(rows_)) {
            rowEnds_.resize(row + 1, rowEnds_.isEmpty() ? 0 : rowEnds_.last());
            ++rowEnds_[row];
        }
        rows_ = {};
    }
    const qsizetype held = rowCount == 0 ? 0 : rowEnds_.value(qMin(rowCount, int(rowEnds_.size())) - 1);
    rowEnds_.resize(rowCount, held);
    starts_.resize(held);
    lengths_.resize(held);
    cols_.resize(held);
}

void SheetRows::removeRow(int row)
{
    if (row < 0 || row >= size())
        return;
    const qsizetype begin = rowBegin(row), count = rowEnd(row) - begin;
    starts_.remove(begin, count);
    lengths_.remove(begin, count);
    cols_.remove(begin, count);
    rowEnds_.removeAt(row);
    for (qsizetype r = row; r < rowEnds_.size(); ++r)
        rowEnds_[r] -= count;
}

QStringList SheetRows::texts(int row) const
{
    QStringList texts;
    const qsizetype begin = rowBegin(row), end = rowEnd(row);
    if (begin == end)
        return texts;
    texts.resize(cols_[end - 1] + 1);
    for (qsizetype i = begin; i < end; ++i)
        texts[cols_[i]] = textAt(i).toString();
    return texts;
}

QString SheetRows::text(int row, int col) const
{
    const auto first = cols_.cbegin() + rowBegin(row), last = cols_.cbegin() + rowEnd(row);
    const auto found = std::lower_bound(first, last, col);
    return found != last && *found == col ? textAt(found - cols_.cbegin()).toString() : QString();
}

} // namespace admin
