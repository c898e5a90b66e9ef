#include "ListColumns.h"

#include "db/Database.h"
#include "platform/NumberText.h"
#include "platform/TextRows.h"

namespace frames {

namespace {

// The expression of a select-list field, without its alias.
QStringView expressionOf(const ListColumn &column)
{
    const qsizetype alias = column.field.indexOf(QLatin1String(" AS "), 0, Qt::CaseInsensitive);
    return QStringView(column.field).left(alias < 0 ? column.field.size() : alias);
}

void addQuantityCell(TextRows &rows, const db::Statement &row, int column)
{
    QString text;
    switch (row.type(column)) {
    case db::Statement::Type::Null:
        rows.addCell(QStringView());
        return;
    case db::Statement::Type::Real: {
        const numtext::NumberChars chars = numtext::numToChars(row.number(column));
        if (!numtext::needsThreeDecimals(chars.view())) {
            rows.addCell(chars.view());
            return;
        }
        text = QString(chars.view());
        break;
    }
    case db::Statement::Type::Integer:
        rows.addCell(numtext::integerChars(row.value(column).toLongLong()).view());
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
            fields.append({column.caption, expressionOf(column).toString(),
                           column.kind == CellKind::Text ? QStringLiteral("0") : QStringLiteral("1")});
    }
    return fields;
}

int columnOf(const ListColumns &columns, QStringView field)
{
    for (int c = 0; c < columns.size(); ++c)
        if (expressionOf(columns[c]) == field)
            return c;
    return -1;
}

void addListCells(TextRows &rows, const db::Statement &row, const ListColumns &columns,
                  const numtext::NumberPattern &money)
{
    for (int c = 0; c < columns.size(); ++c) {
        switch (columns[c].kind) {
        case CellKind::Number:
            if (row.isNull(c))
                rows.addCell(QStringView());
            else
                rows.addCell(numtext::numToChars(row.number(c)).view());
            break;
        case CellKind::Quantity:
            addQuantityCell(rows, row, c);
            break;
        case CellKind::Money:
            rows.addCell(numtext::roundedChars(row.number(c), money).view());
            break;
        default:
            rows.addUtf8Cell(row.utf8(c));
        }
    }
}

} // namespace frames
