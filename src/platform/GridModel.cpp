#include "GridModel.h"

#include "platform/NumberText.h"

#include "db/Database.h"

GridModel::GridModel(int cols, QObject *parent) : QAbstractTableModel(parent), rows_(cols)
{
    rows_.resize(2);
}

static quint64 cellKey(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

void GridModel::setRows(int rows)
{
    beginResetModel();
    rows_.resize(qMax(2, rows));
    endResetModel();
}

void GridModel::setCols(int cols)
{
    if (qMax(1, cols) == rows_.cols())
        return;
    beginResetModel();
    rows_.setCols(cols);
    endResetModel();
}

QString GridModel::textMatrix(int row, int col) const
{
    return cellView(row, col).toString();
}

QStringView GridModel::cellView(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return {};
    return rows_.cell(row, col);
}

void GridModel::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return;
    rows_.setCell(row, col, text);
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

QStringList GridModel::rowTexts(int row) const
{
    if (row < 0 || row >= rows())
        return {};
    return rows_.row(row);
}

void GridModel::setCaptions(const QStringList &captions)
{
    if (captions.size() != cols())
        setCols(int(captions.size()));
    for (int c = 0; c < cols(); ++c)
        if (rows_.cell(0, c) != captions.value(c))
            setTextMatrix(0, c, captions.value(c));
}

void GridModel::addItem(const QString &tabSeparated, int index)
{
    const int at = (index < 1 || index > rows()) ? rows() : index;
    beginInsertRows({}, at - 1, at - 1);
    rows_.insert(at, tabSeparated.split(QLatin1Char('\t')));
    shiftForeground(at, +1);
    endInsertRows();
}

void GridModel::removeItem(int row)
{
    if (row < 1 || row >= rows())
        return;
    if (rows() == 2) {
        rows_.resize(1);
        rows_.resize(2);
        shiftForeground(1, 0);
        emit dataChanged(index(0, 0), index(0, cols() - 1));
        return;
    }
    beginRemoveRows({}, row - 1, row - 1);
    rows_.removeAt(row);
    shiftForeground(row, -1);
    endRemoveRows();
}

void GridModel::clearRows()
{
    // A grid already cleared stays as it is: its views need no reset.
    if (rows() == 2 && rowTexts(1).join(QString()).isEmpty() && foreground_.isEmpty())
        return;
    beginResetModel();
    rows_.resize(1);
    rows_.resize(2);
    foreground_.clear();
    endResetModel();
}

void GridModel::setDataRows(const QVector<QStringList> &dataRows)
{
    TextRows rows(cols());
    rows.reserve(int(dataRows.size()));
    for (const QStringList &row : dataRows)
        rows.append(row);
    setDataRows(std::move(rows));
}

void GridModel::setDataRows(TextRows &&dataRows)
{
    beginResetModel();
    rows_.resize(1);
    if (dataRows.isEmpty())
        rows_.resize(2);
    else
        rows_.append(std::move(dataRows));
    foreground_.clear();
    endResetModel();
}

void GridModel::fillFromStatement(db::Statement &statement,
                                  const std::function<QStringList(const db::Statement &)> &format)
{
    TextRows dataRows(cols());
    while (statement.next()) {
        if (format) {
            dataRows.append(format(statement));
        } else {
            QStringList row;
            const int n = qMin(cols(), statement.columnCount());
            row.reserve(cols());
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

Qt::Alignment GridModel::GeneralAlignment(QStringView text)
{
    // A number: an optional sign, digits with thousands commas, one decimal
    // point, an optional percent sign; blanks around it do not count.
    const QStringView t = text.trimmed();
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
    return parent.isValid() ? 0 : cols();
}

void GridModel::setColDisplayPattern(int col, const QString &pattern)
{
    quantityDisplay_.remove(col);
    if (pattern.isEmpty())
        displayPattern_.remove(col);
    else
        displayPattern_.insert(col, pattern);
    if (rows() > 1)
        emit dataChanged(index(0, col), index(rows() - 2, col));
}

void GridModel::setColQuantityDisplay(int col)
{
    displayPattern_.remove(col);
    quantityDisplay_.insert(col);
    if (rows() > 1)
        emit dataChanged(index(0, col), index(rows() - 2, col));
}

bool GridModel::hasDisplayRule(int col) const
{
    return quantityDisplay_.contains(col) || !displayPattern_.value(col).isEmpty();
}

QString GridModel::shownText(int row, int col) const
{
    const QString text = textMatrix(row, col);
    if (!hasDisplayRule(col) || text.trimmed().isEmpty())
        return text;
    if (quantityDisplay_.contains(col))
        return numtext::quantityText(numtext::leadingNumber(text));
    return numtext::formatNumber(numtext::leadingNumber(text), displayPattern_.value(col));
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return shownText(row, index.column());
    case Qt::ForegroundRole: {
        const QColor color = cellForeground(row, index.column());
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::TextAlignmentRole:
        if (alignment_.contains(index.column()))
            return QVariant(int(alignment_.value(index.column())));
        return QVariant(int(GeneralAlignment(cellView(row, index.column()))));
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
