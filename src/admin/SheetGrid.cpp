#include "SheetGrid.h"

#include "platform/GridModel.h"

namespace admin {

SheetGrid::SheetGrid(QObject *parent) : QAbstractTableModel(parent) {}

void SheetGrid::setRecords(SheetRows records, int cols)
{
    beginResetModel();
    records_ = std::move(records);
    cols_ = qMax(1, cols);
    lettered_ = true;
    endResetModel();
}

QString SheetGrid::textMatrix(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        return {};
    if (row == 0)
        return lettered_ && col < 26 ? QString(QChar(u'A' + col)) : QString();
    return records_.text(row - 1, col);
}

QStringList SheetGrid::rowTexts(int row) const
{
    if (row < 0 || row >= rows())
        return {};
    QStringList texts;
    texts.reserve(cols_);
    for (int c = 0; c < cols_; ++c)
        texts.append(textMatrix(row, c));
    return texts;
}

void SheetGrid::removeItem(int row)
{
    if (row < 1 || row >= rows())
        return;
    if (records_.size() <= 1) {
        records_ = {};
        emit dataChanged(index(0, 0), index(0, cols_ - 1));
        return;
    }
    beginRemoveRows({}, row - 1, row - 1);
    records_.removeRow(row - 1);
    endRemoveRows();
}

int SheetGrid::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows() - 1;
}

int SheetGrid::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_;
}

QVariant SheetGrid::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: return textMatrix(index.row() + 1, index.column());
    case Qt::TextAlignmentRole: return int(GridModel::GeneralAlignment(textMatrix(index.row() + 1, index.column())));
    default: return {};
    }
}

QVariant SheetGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return textMatrix(0, section);
    return section + 1;
}

} // namespace admin
