#include "ListColumns.h"

#include "db/Database.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "platform/TextRows.h"

#include <algorithm>

namespace frames {

namespace {

// The expression of a select-list field, without its alias.
QStringView expressionView(const ListColumn &column)
{
    const qsizetype alias = column.field.indexOf(QLatin1String(" AS "), 0, Qt::CaseInsensitive);
    return QStringView(column.field).left(alias < 0 ? column.field.size() : alias);
}

template <typename Test>
QVector<int> columnsWhere(const ListColumns &columns, Test test)
{
    QVector<int> found;
    for (int c = 0; c < columns.size(); ++c)
        if (test(columns[c]))
            found.append(c);
    return found;
}

// Each figure is taken from the engine in one call: its type and number are
// then read from that value.
void addQuantityCell(TextRows &rows, const db::Statement &row, int column)
{
    const db::Statement::Field field = row.field(column);
    QString text;
    switch (field.type()) {
    case db::Statement::Type::Null:
        rows.addCell(QStringView());
        return;
    case db::Statement::Type::Real: {
        const numtext::NumberChars chars = numtext::numToChars(field.number());
        if (!numtext::needsThreeDecimals(chars.view())) {
            rows.addCell(chars.view());
            return;
        }
        text = QString(chars.view());
        break;
    }
    case db::Statement::Type::Integer:
        rows.addCell(numtext::integerChars(field.integer()).view());
        return;
    default:
        text = row.text(column);
    }
    if (numtext::needsThreeDecimals(QStringView(text)))
        text = numtext::formatNumber(numtext::leadingNumber(text), QStringLiteral("#0.000"));
    rows.addCell(text);
}

} // namespace

QString selectList(const ListColumns &columns)
{
    QStringList fields;
    for (const ListColumn &column : columns)
        fields.append(column.field);
    return fields.join(QLatin1Char(','));
}

QStringList columnCaptions(const ListColumns &columns)
{
    QStringList captions;
    for (const ListColumn &column : columns)
        captions.append(column.caption);
    return captions;
}

QVector<QueryField> queryFields(const ListColumns &columns)
{
    QVector<QueryField> fields;
    for (const ListColumn &column : columns) {
        if (column.search == ListColumn::Search::ByOther)
            fields.append(column.searchedBy);
        else if (column.search == ListColumn::Search::ByField)
            fields.append({column.caption, expressionOf(column),
                           column.kind == CellKind::Text ? QStringLiteral("0") : QStringLiteral("1")});
    }
    return fields;
}

int queryFieldOf(const ListColumns &columns, int column)
{
    if (column < 0 || column >= columns.size() || columns[column].search == ListColumn::Search::No)
        return -1;
    int field = 0;
    for (int c = 0; c < column; ++c)
        if (columns[c].search != ListColumn::Search::No)
            ++field;
    return field;
}

QString expressionOf(const ListColumn &column)
{
    return expressionView(column).toString();
}

int columnOf(const ListColumns &columns, QStringView field)
{
    for (int c = 0; c < columns.size(); ++c)
        if (expressionView(columns[c]) == field)
            return c;
    return -1;
}

int columnWith(const ListColumns &columns, ColumnRole role)
{
    return columnsWhere(columns, [role](const ListColumn &column) { return column.role == role; }).value(0, -1);
}

int columnWith(const ListColumns &columns, CellKind kind)
{
    return columnsWhere(columns, [kind](const ListColumn &column) { return column.kind == kind; }).value(0, -1);
}

// Codes, names and sizes/models are texts, whatever their characters:
// "001" stands left as "S01" does.
Qt::Alignment columnAlignment(const ListColumn &column)
{
    if (column.alignment != Qt::Alignment())
        return column.alignment;
    return (column.kind == CellKind::Text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

void setColumnAlignments(GridModel &grid, const ListColumns &columns)
{
    for (int c = 0; c < columns.size(); ++c)
        grid.setColAlignment(c, columnAlignment(columns[c]));
}

QVector<int> columnWidths(const ListColumns &columns, int width)
{
    int halves = 0;
    for (const ListColumn &column : columns)
        halves += column.widthHalves;
    QVector<int> widths(columns.size(), 0);
    if (halves <= 0)
        return widths;
    const int standard = 2 * width / halves;  // rounded down: no scroll bar for a pixel
    for (int c = 0; c < columns.size(); ++c)
        widths[c] = standard * columns[c].widthHalves / 2;
    return widths;
}

QVector<QPair<int, int>> roomTransfers(const ListColumns &columns, std::initializer_list<ColumnRole> roles)
{
    QVector<QPair<int, int>> transfers;
    for (int c = 0; c < columns.size(); ++c) {
        if (columns[c].roomTo.isEmpty() || std::find(roles.begin(), roles.end(), columns[c].role) == roles.end())
            continue;
        const int receiver = columnOf(columns, columns[c].roomTo);
        if (receiver >= 0)
            transfers.append({receiver, c});
    }
    return transfers;
}

void handOverRoom(QVector<int> &widths, const QVector<QPair<int, int>> &transfers)
{
    for (const auto &[receiver, giver] : transfers) {
        widths[receiver] += widths[giver];
        widths[giver] = 0;
    }
}

QVector<int> printedColumns(const ListColumns &columns)
{
    return columnsWhere(columns, [](const ListColumn &column) { return column.printed; });
}

QVector<int> totalledColumns(const ListColumns &columns)
{
    return columnsWhere(columns, [](const ListColumn &column) { return column.totalled; });
}

int totalsLabelColumn(const ListColumns &columns)
{
    return columnsWhere(columns, [](const ListColumn &column) { return column.totalsLabel; }).value(0, 0);
}

QVector<int> sortColumns(const ListColumns &columns)
{
    return columnsWhere(columns, [](const ListColumn &column) { return !column.sort.caption.isEmpty(); });
}

QString sortOrder(const ListColumn &column)
{
    return QStringLiteral("order by ") + (column.sort.by.isEmpty() ? expressionOf(column) : column.sort.by);
}

void addListCells(TextRows &rows, const db::Statement &row, const ListColumns &columns,
                  const numtext::NumberPattern &money)
{
    for (int c = 0; c < columns.size(); ++c) {
        switch (columns[c].kind) {
        case CellKind::Number: {
            const db::Statement::Field field = row.field(c);
            if (field.type() == db::Statement::Type::Null)
                rows.addCell(QStringView());
            else
                rows.addCell(numtext::numToChars(field.number()).view());
            break;
        }
        case CellKind::Quantity:
            addQuantityCell(rows, row, c);
            break;
        case CellKind::Money:
            rows.addCell(numtext::roundedChars(row.field(c).number(), money).view());
            break;
        default:
            rows.addUtf8Cell(row.utf8(c));
        }
    }
}

} // namespace frames
