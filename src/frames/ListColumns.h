#pragma once

#include "platform/NumberText.h"
#include "shell/Query.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>
#include <initializer_list>
#include <type_traits>

class GridModel;
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

// What a column is to the window that lists it, beyond its cells (the price
// it may hide, a code its card needs): each list names such columns in an
// enumeration of its own, and the frame only finds columns by that name.
// Roles of two enumerations never match. Empty: a column like any other.
class ColumnRole {
public:
    constexpr ColumnRole() = default;
    template <typename Role>
        requires std::is_enum_v<Role>
    constexpr ColumnRole(Role role) : enumeration_(&kEnumeration<Role>), value_(int(role))
    {
    }
    constexpr bool isEmpty() const { return enumeration_ == nullptr; }
    friend constexpr bool operator==(ColumnRole, ColumnRole) = default;

private:
    // One object per enumeration, whose address tells the enumerations apart.
    template <typename Role>
    static constexpr char kEnumeration = 0;

    const char *enumeration_ = nullptr;  // none: empty
    int value_ = 0;
};

// An item of a list's sort menu that orders the list by the column.
struct ListSort {
    QString caption;   // the menu item's caption; empty: the list is not sorted by the column
    QString by = {};   // the ORDER BY expression; empty: the column's own expression
    bool offered = true;  // the item shows in the menu
};

// One column of a list: the select list, the grid's captions and alignments,
// the query dialog's fields, the row writer, the widths, the print, the card
// and the totals all come from a list's columns (the card's boxes find their
// columns by role).
struct ListColumn {
    QString caption;
    QString field;  // its select-list expression, e.g. "TA3.F2 AS LB"
    CellKind kind = CellKind::Text;
    // The query dialog searches the column by its caption and field (its
    // number or text as its kind says), by another field named here, or not.
    enum class Search { ByField, ByOther, No } search = Search::ByField;
    QueryField searchedBy = {};  // with Search::ByOther
    ColumnRole role = {};
    // The cells' alignment; none: by the kind (texts left, figures right).
    Qt::Alignment alignment = {};
    // The column's width in halves of the list's standard column width; 0:
    // the column is never shown (its cells serve the window).
    int widthHalves = 2;
    // The field of the column that takes this column's width while this one
    // is hidden (prices not shown); empty: none.
    QString roomTo = {};
    bool printed = true;         // staged for the printed list, in column order
    bool totalled = false;       // the totals row sums the column
    bool totalsLabel = false;    // the totals row's label stands in the column
    ListSort sort = {};
};
using ListColumns = QVector<ListColumn>;

// The fields, comma-separated, as a select list.
QString selectList(const ListColumns &columns);
QStringList columnCaptions(const ListColumns &columns);
// The query dialog's fields of the searched columns, in column order.
QVector<QueryField> queryFields(const ListColumns &columns);
// The index among queryFields(columns) of column's field; -1 if it is not searched.
int queryFieldOf(const ListColumns &columns, int column);
// The index of the column of field (its expression without an alias); -1 if none.
int columnOf(const ListColumns &columns, QStringView field);
// The index of the first column with role, or of kind; -1 if none.
int columnWith(const ListColumns &columns, ColumnRole role);
int columnWith(const ListColumns &columns, CellKind kind);
// The column's expression without its alias.
QString expressionOf(const ListColumn &column);

// The alignment of the column's cells.
Qt::Alignment columnAlignment(const ListColumn &column);
void setColumnAlignments(GridModel &grid, const ListColumns &columns);
// The widths of the columns over width pixels: each column its halves of the
// standard width (width shared by the halves of all columns, two to a
// standard column, rounded down); never-shown columns 0.
QVector<int> columnWidths(const ListColumns &columns, int width);
// The columns of the roles given that hand their width to another while
// hidden: {the column that takes it, the column}.
QVector<QPair<int, int>> roomTransfers(const ListColumns &columns, std::initializer_list<ColumnRole> roles);
// Gives each transfer's width to its receiver and makes the giver 0.
void handOverRoom(QVector<int> &widths, const QVector<QPair<int, int>> &transfers);

QVector<int> printedColumns(const ListColumns &columns);
QVector<int> totalledColumns(const ListColumns &columns);
// The column the totals row's label stands in; the first column when no
// column is described as holding it.
int totalsLabelColumn(const ListColumns &columns);
// The columns the list can be sorted by, in column order.
QVector<int> sortColumns(const ListColumns &columns);
QString sortOrder(const ListColumn &column);

// Adds the cells of one row of a statement selecting selectList(columns);
// money in money's decimals.
void addListCells(TextRows &rows, const db::Statement &row, const ListColumns &columns,
                  const numtext::NumberPattern &money = numtext::NumberPattern(2, false));

} // namespace frames
