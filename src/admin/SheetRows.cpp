#include "SheetRows.h"

#include <algorithm>

namespace admin {

namespace {

bool before(const SheetRows::Cell &a, const SheetRows::Cell &b)
{
    return a.row != b.row ? a.row < b.row : a.col < b.col;
}

// Sorts the cells by row and column, keeping the last given of a cell that
// came twice. A sheet's cells mostly come in order, and then nothing moves.
void sortUnique(QVector<SheetRows::Cell> &cells)
{
    const auto unordered = std::adjacent_find(cells.cbegin(), cells.cend(),
                                              [](const auto &a, const auto &b) { return !before(a, b); });
    if (unordered == cells.cend())
        return;
    std::stable_sort(cells.begin(), cells.end(), before);
    // Of each run of one cell, the last one moves to where the run starts.
    qsizetype kept = 0;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const bool lastOfRun = i + 1 == cells.size() || before(cells[i], cells[i + 1]);
        if (lastOfRun)
            cells[kept++] = std::move(cells[i]);
    }
    cells.resize(kept);
}

} // namespace

SheetRows::SheetRows(QVector<Cell> cells, int rowCount) : cells_(std::move(cells))
{
    sortUnique(cells_);
    rowEnds_.resize(qMax(0, rowCount));
    qsizetype at = 0;
    for (int row = 0; row < rowEnds_.size(); ++row) {
        while (at < cells_.size() && cells_[at].row == row)
            ++at;
        rowEnds_[row] = int(at);
    }
    cells_.resize(at);
    cells_.squeeze();
}

std::span<const SheetRows::Cell> SheetRows::cells(int row) const
{
    if (row < 0 || row >= size())
        return {};
    const int begin = row == 0 ? 0 : rowEnds_[row - 1];
    return {cells_.constData() + begin, size_t(rowEnds_[row] - begin)};
}

QStringList SheetRows::texts(int row) const
{
    const std::span<const Cell> held = cells(row);
    QStringList texts;
    if (held.empty())
        return texts;
    texts.resize(held.back().col + 1);
    for (const Cell &cell : held)
        texts[cell.col] = cell.text;
    return texts;
}

QString SheetRows::text(int row, int col) const
{
    const std::span<const Cell> held = cells(row);
    const auto found = std::lower_bound(held.begin(), held.end(), col, [](const Cell &c, int wanted) { return c.col < wanted; });
    return found != held.end() && found->col == col ? found->text : QString();
}

} // namespace admin
