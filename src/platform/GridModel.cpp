#include "GridModel.h"

#include "platform/NumberText.h"

#include "db/Database.h"

GridModel::GridModel(int cols, QObject *parent) : QAbstractTableModel(parent), cols_(qMax(1, cols))
{
    cells_ = {blankRow(), blankRow()};
}

QStringList GridModel::blankRow() const
{
    QStringList row;
    row.reserve(cols_);
    for (int i = 0; i < cols_; ++i)
        row.append(QString());
    return row;
}

static quint64 cellKey(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

void GridModel::setRows(int rows)
{
    rows = qMax(2, rows);
    beginResetModel();
    while (cells_.size() > rows)
        cells_.removeLast();
    while (cells_.size() < rows)
        cells_.append(blankRow());
    endResetModel();
}

void GridModel::setCols(int cols)
{
    cols = qMax(1, cols);
    beginResetModel();
    cols_ = cols;
    for (auto &row : cells_) {
        while (row.size() > cols)
            row.removeLast();
        while (row.size() < cols)
            row.append(QString());
    }
    endResetModel();
}

QString GridModel::textMatrix(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        return {};
    return cells_[row][col];
}

void GridModel::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        return;
    cells_[row][col] = text;
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

QStringList GridModel::rowTexts(int row) const
{
    return row >= 0 && row < rows() ? cells_[row] : QStringList();
}

void GridModel::setCaptions(const QStringList &captions)
{
    if (captions.size() != cols_)
        setCols(int(captions.size()));
    for (int c = 0; c < cols_; ++c)
        cells_[0][c] = captions.value(c);
    emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

void GridModel::addItem(const QString &tabSeparated, int index)
{
    QStringList row = tabSeparated.split(QLatin1Char('\t'));
    while (row.size() < cols_)
        row.append(QString());
    while (row.size() > cols_)
        row.removeLast();
    const int at = (index < 1 || index > rows()) ? rows() : index;
    beginInsertRows({}, at - 1, at - 1);
    cells_.insert(at, row);
    shiftForeground(at, +1);
    endInsertRows();
}

void GridModel::removeItem(int row)
{
    if (row < 1 || row >= rows())
        return;
    if (rows() == 2) {
        cells_[1] = blankRow();
        shiftForeground(1, 0);
        emit dataChanged(index(0, 0), index(0, cols_ - 1));
        return;
    }
    beginRemoveRows({}, row - 1, row - 1);
    cells_.removeAt(row);
    shiftForeground(row, -1);
    endRemoveRows();
}

void GridModel::clearRows()
{
    beginResetModel();
    const QStringList captions = cells_[0];
    cells_ = {captions, blankRow()};
    foreground_.clear();
    endResetModel();
}

void GridModel::setDataRows(QVector<QStringList> dataRows)
{
    beginResetModel();
    const QStringList captions = cells_[0];
    cells_.clear();
    cells_.reserve(dataRows.size() + 1);
    cells_.append(captions);
    for (auto &row : dataRows) {
        while (row.size() < cols_)
            row.append(QString());
        while (row.size() > cols_)
            row.removeLast();
        cells_.append(std::move(row));
    }
    if (cells_.size() < 2)
        cells_.append(blankRow());
    foreground_.clear();
    endResetModel();
}

void GridModel::fillFromStatement(db::Statement &statement,
                                  const std::function<QStringList(const db::Statement &)> &format)
{
    QVector<QStringList> dataRows;
    while (statement.next()) {
        if (format) {
            dataRows.append(format(statement));
        } else {
            QStringList row;
            const int n = qMin(cols_, statement.columnCount());
            row.reserve(cols_);
            for (int c = 0; c < n; ++c)
                row.append(statement.text(c));
            dataRows.append(row);
        }
    }
    setDataRows(std::move(dataRows));
}

// Cell colours belong to their rows: a row inserted at row moves the colours
// from there one row down (delta +1); a row removed at row drops its colours
// and moves the later ones up (delta -1); delta 0 only drops row's colours.
void GridModel::shiftForeground(int row, int delta)
{
    if (foreground_.isEmpty())
        return;
    QHash<quint64, QColor> moved;
    for (auto it = foreground_.cbegin(); it != foreground_.cend(); ++it) {
        const int r = int(it.key() >> 32);
        const int c = int(quint32(it.key()));
        if (r < row)
            moved.insert(it.key(), it.value());
        else if (r > row || delta > 0)
            moved.insert(cellKey(r + delta, c), it.value());
    }
    foreground_ = std::move(moved);
}

void GridModel::setCellForeground(int row, int col, const QColor &color)
{
    foreground_.insert(cellKey(row, col), color);
    if (row >= 1 && row < rows())
        emit dataChanged(index(row - 1, col), index(row - 1, col), {Qt::ForegroundRole});
}

QColor GridModel::cellForeground(int row, int col) const
{
    return foreground_.value(cellKey(row, col));
}

void GridModel::setColAlignment(int col, Qt::Alignment alignment)
{
    alignment_.insert(col, alignment);
}

Qt::Alignment GridModel::GeneralAlignment(const QString &text)
{
    // A number: an optional sign, digits with thousands commas, one decimal
    // point, an optional percent sign; blanks around it do not count.
    const QStringView t = QStringView(text).trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            digits = true;
        else if (c == u'.' && !point)
            point = true;
        else if (c == u',' && digits && !point)
            continue;
        else
            break;
    }
    if (i < t.size() && t[i] == u'%')
        ++i;
    const bool number = digits && i == t.size();
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows() - 1;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_;
}

void GridModel::setColDisplayPattern(int col, const QString &pattern)
{
    if (pattern.isEmpty())
        displayPattern_.remove(col);
    else
        displayPattern_.insert(col, pattern);
    if (rows() > 1)
        emit dataChanged(index(0, col), index(rows() - 2, col));
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole: {
        const QString text = textMatrix(row, index.column());
        const QString pattern = displayPattern_.value(index.column());
        if (pattern.isEmpty() || text.trimmed().isEmpty())
            return text;
        return numtext::formatNumber(numtext::leadingNumber(text), pattern);
    }
    case Qt::ForegroundRole: {
        const QColor color = cellForeground(row, index.column());
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::TextAlignmentRole:
        if (alignment_.contains(index.column()))
            return QVariant(int(alignment_.value(index.column())));
        return QVariant(int(GeneralAlignment(textMatrix(row, index.column()))));
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return textMatrix(0, section);
    return section + 1;
}
