#include "GridModel.h"

#include "platform/NumberText.h"

#include "db/Database.h"

GridModel::GridModel(int cols, QObject *parent) : QAbstractTableModel(parent), cols_(qMax(1, cols))
{
    appendBlankRow();
    appendBlankRow();
}

QStringView GridModel::cell(int row, int col) const
{
    const qsizetype first = qsizetype(row) * cols_;
    const int start = col == 0 ? 0 : ends_[first + col - 1];
    return QStringView(texts_[row]).mid(start, ends_[first + col] - start);
}

void GridModel::appendBlankRow()
{
    texts_.append(QString());
    ends_.insert(ends_.size(), cols_, 0);
}

static quint64 cellKey(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

void GridModel::setRows(int rows)
{
    rows = qMax(2, rows);
    beginResetModel();
    if (texts_.size() > rows) {
        texts_.resize(rows);
        ends_.resize(qsizetype(rows) * cols_);
    }
    while (texts_.size() < rows)
        appendBlankRow();
    endResetModel();
}

void GridModel::setCols(int cols)
{
    cols = qMax(1, cols);
    if (cols == cols_)
        return;
    beginResetModel();
    QVector<int> ends;
    ends.reserve(texts_.size() * cols);
    for (int r = 0; r < rows(); ++r) {
        const qsizetype first = qsizetype(r) * cols_;
        for (int c = 0; c < cols; ++c)
            ends.append(c < cols_ ? ends_[first + c] : ends.last());
        texts_[r].truncate(ends.last());
    }
    cols_ = cols;
    ends_ = std::move(ends);
    endResetModel();
}

QString GridModel::textMatrix(int row, int col) const
{
    return cellView(row, col).toString();
}

QStringView GridModel::cellView(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        return {};
    return cell(row, col);
}

void GridModel::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        return;
    const qsizetype first = qsizetype(row) * cols_;
    const int start = col == 0 ? 0 : ends_[first + col - 1];
    const int delta = int(text.size()) - (ends_[first + col] - start);
    texts_[row].replace(start, ends_[first + col] - start, text);
    for (int c = col; c < cols_; ++c)
        ends_[first + c] += delta;
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

QStringList GridModel::rowTexts(int row) const
{
    QStringList texts;
    if (row < 0 || row >= rows())
        return texts;
    texts.reserve(cols_);
    for (int c = 0; c < cols_; ++c)
        texts.append(cell(row, c).toString());
    return texts;
}

void GridModel::setCaptions(const QStringList &captions)
{
    if (captions.size() != cols_)
        setCols(int(captions.size()));
    for (int c = 0; c < cols_; ++c)
        if (cell(0, c) != captions.value(c))
            setTextMatrix(0, c, captions.value(c));
}

void GridModel::addItem(const QString &tabSeparated, int index)
{
    TextRows row(cols_);
    row.append(tabSeparated.split(QLatin1Char('\t')));
    const int at = (index < 1 || index > rows()) ? rows() : index;
    beginInsertRows({}, at - 1, at - 1);
    texts_.insert(at, std::move(row.texts_.first()));
    ends_.insert(qsizetype(at) * cols_, cols_, 0);
    std::copy(row.ends_.cbegin(), row.ends_.cend(), ends_.begin() + qsizetype(at) * cols_);
    shiftForeground(at, +1);
    endInsertRows();
}

void GridModel::removeItem(int row)
{
    if (row < 1 || row >= rows())
        return;
    if (rows() == 2) {
        texts_[1].clear();
        std::fill(ends_.begin() + cols_, ends_.end(), 0);
        shiftForeground(1, 0);
        emit dataChanged(index(0, 0), index(0, cols_ - 1));
        return;
    }
    beginRemoveRows({}, row - 1, row - 1);
    texts_.removeAt(row);
    ends_.remove(qsizetype(row) * cols_, cols_);
    shiftForeground(row, -1);
    endRemoveRows();
}

void GridModel::clearRows()
{
    // A grid already cleared stays as it is: its views need no reset.
    if (rows() == 2 && texts_[1].isEmpty() && foreground_.isEmpty())
        return;
    beginResetModel();
    texts_.resize(1);
    ends_.resize(cols_);
    appendBlankRow();
    foreground_.clear();
    endResetModel();
}

void GridModel::setDataRows(const QVector<QStringList> &dataRows)
{
    TextRows rows(cols_);
    rows.reserve(int(dataRows.size()));
    for (const QStringList &row : dataRows)
        rows.append(row);
    setDataRows(std::move(rows));
}

void GridModel::setDataRows(TextRows &&dataRows)
{
    if (dataRows.cols() != cols_) {
        TextRows fitted(cols_);
        fitted.append(dataRows);
        dataRows = std::move(fitted);
    }
    beginResetModel();
    texts_.resize(1);
    ends_.resize(cols_);
    if (dataRows.isEmpty()) {
        appendBlankRow();
    } else {
        texts_.append(std::move(dataRows.texts_));
        ends_.append(std::move(dataRows.ends_));
    }
    foreground_.clear();
    endResetModel();
}

void GridModel::fillFromStatement(db::Statement &statement,
                                  const std::function<QStringList(const db::Statement &)> &format)
{
    TextRows dataRows(cols_);
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
    return parent.isValid() ? 0 : cols_;
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

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole: {
        const QString text = textMatrix(row, index.column());
        const bool quantity = quantityDisplay_.contains(index.column());
        const QString pattern = displayPattern_.value(index.column());
        if ((!quantity && pattern.isEmpty()) || text.trimmed().isEmpty())
            return text;
        if (quantity)
            return numtext::quantityText(numtext::leadingNumber(text));
        return numtext::formatNumber(numtext::leadingNumber(text), pattern);
    }
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
