#include "SheetRows.h"

#include <algorithm>
#include <numeric>

namespace admin {

void SheetRows::set(int row, int col, QStringView text)
{
    if (row < 0 || col < 0 || col > kLastSheetColumn)
        return;
    const int lastRow = int(rowEnds_.size()) - 1;
    const bool inOrder = rows_.isEmpty() && (row > lastRow || (row == lastRow && col > cols_.last()));
    if (inOrder) {
        // The usual way: the cells come row by row, each row by column, and
        // the row ends are kept as they come.
        rowEnds_.resize(row + 1, ends_.size());
        ++rowEnds_[row];
    } else {
        if (rows_.isEmpty()) {
            // Out of order: from now on each cell's row is kept, to order them at the end.
            rows_.reserve(ends_.size() + 1);
            for (int r = 0; r <= lastRow; ++r)
                rows_.resize(rowEnds_[r], r);
        }
        rows_.append(row);
    }
    chars_.append(text);
    ends_.append(chars_.size());
    cols_.append(quint8(col));
}

QStringView SheetRows::textAt(qsizetype cell) const
{
    const qsizetype start = cell == 0 ? 0 : ends_[cell - 1];
    return QStringView(chars_).sliced(start, ends_[cell] - start);
}

// Orders the cells by row and column, keeping the last given of a cell that
// came twice.
void SheetRows::sortByPlace()
{
    const auto place = [this](qsizetype i) { return (qint64(rows_[i]) << 8) | cols_[i]; };
    QVector<qsizetype> order(ends_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return place(a) < place(b); });
    SheetRows sorted;
    sorted.rows_.reserve(order.size());
    for (qsizetype k = 0; k < order.size(); ++k) {
        const qsizetype i = order[k];
        if (k + 1 < order.size() && place(order[k + 1]) == place(i))
            continue;  // a later text of the same cell follows
        sorted.chars_.append(textAt(i));
        sorted.ends_.append(sorted.chars_.size());
        sorted.cols_.append(cols_[i]);
        sorted.rows_.append(rows_[i]);
    }
    *this = std::move(sorted);
}

void SheetRows::finish(int rowCount)
{
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
    chars_.truncate(held == 0 ? 0 : ends_[held - 1]);
    ends_.resize(held);
    cols_.resize(held);
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
