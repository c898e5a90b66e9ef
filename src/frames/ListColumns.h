#pragma once

#include "platform/NumberText.h"
#include "shell/Query.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

class TextRows;
namespace db {
class Statement;
}

namespace frames {

// How a list cell is written from its field.
enum class CellKind {
    Text,      // the field's text as stored; Null empty
    Number,    // the field's number in its plain text; Null empty
    Quantity,  // as Number (a text as stored), cut to three decimals where
               // it has an exponent or more than five decimals
    Money,     // the field's number (0 for Null or text) rounded to the money
               // decimals, in its plain text
};

// One column of a list: the select list, the grid's captions, the query
// dialog's fields and the row writer all come from a list's columns.
struct ListColumn {
    QString caption;
    QString field;  // its select-list expression, e.g. "TA3.F2 AS LB"
    CellKind kind = CellKind::Text;
    // The query dialog searches the column by its caption and field (its
    // number or text as its kind says), by another field named here, or not.
    enum class Search { ByField, ByOther, No } search = Search::ByField;
    QueryField searchedBy = {};  // with Search::ByOther
};
using ListColumns = QVector<ListColumn>;

// The fields, comma-separated, as a select list.
QString selectList(const ListColumns &columns);
QStringList columnCaptions(const ListColumns &columns);
// The query dialog's fields of the searched columns, in column order.
QVector<QueryField> queryFields(const ListColumns &columns);
// The index of the column of field (its expression without an alias); -1 if none.
int columnOf(const ListColumns &columns, QStringView field);
// Adds the cells of one row of a statement selecting selectList(columns);
// money in money's decimals.
void addListCells(TextRows &rows, const db::Statement &row, const ListColumns &columns,
                  const numtext::NumberPattern &money = numtext::NumberPattern(2, false));

} // namespace frames
