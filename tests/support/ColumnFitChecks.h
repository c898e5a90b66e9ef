#pragma once

#include "shell/MergedCaptionHeader.h"

#include <QHeaderView>
#include <QTableView>
#include <QVector>
#include <gtest/gtest.h>

// Each listed visible column of the grid is as wide as Qt itself finds its
// widest cell, its caption has the width Qt finds for it (over all the
// columns it stands over), and the grid needs no horizontal scrolling.
inline void expectNoTextCut(QTableView *grid, const QVector<int> &figureColumns)
{
    ASSERT_NE(grid, nullptr);
    auto *view = static_cast<QAbstractItemView *>(grid);
    QHeaderView *header = grid->horizontalHeader();
    auto *merged = qobject_cast<MergedCaptionHeader *>(header);
    for (int c : figureColumns) {
        if (grid->isColumnHidden(c))
            continue;
        EXPECT_GE(grid->columnWidth(c), view->sizeHintForColumn(c)) << grid->objectName().toStdString() << " column " << c;
        const auto [first, last] = merged ? merged->mergedColumns(c) : std::pair{c, c};
        int captionWidth = 0;
        for (int k = first; k <= last; ++k)
            captionWidth += grid->columnWidth(k);
        EXPECT_GE(captionWidth, header->sectionSizeHint(c))
            << grid->objectName().toStdString() << " caption of column " << c;
    }
    EXPECT_LE(header->length(), grid->viewport()->width()) << grid->objectName().toStdString();
}
