#pragma once

#include "platform/GridModel.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The horizontal alignment a grid shows a data cell with (row counted as the
// grid counts it: row 0 is the caption row).
inline Qt::Alignment horizontalAlignment(const GridModel &grid, int row, int col)
{
    return Qt::Alignment(grid.data(grid.index(row - 1, col), Qt::TextAlignmentRole).toInt()) &
           Qt::AlignHorizontal_Mask;
}

// The data rows' texts of the columns given that do not stand left, as
// "text@column", for a clear failure message; empty when all stand left.
inline QStringList cellsNotLeft(const GridModel &grid, int firstRow, int lastRow, const QVector<int> &columns)
{
    QStringList wrong;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int col : columns)
            if (horizontalAlignment(grid, row, col) != Qt::AlignLeft)
                wrong.append(grid.textMatrix(row, col) + QLatin1Char('@') + QString::number(col));
    return wrong;
}
