#pragma once

#include "platform/report/ReportTemplate.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace report {

class ReportRows;

enum class LineKind { Title, Text, Captions, Detail, GroupHeader, GroupTotal, Total };

// Table lines hold a cell per column; the others are text lines.
inline bool isTableLine(LineKind kind)
{
    return kind == LineKind::Captions || kind == LineKind::Detail || kind == LineKind::GroupTotal ||
           kind == LineKind::Total;
}

constexpr double kCellPadding = 4.0;    // points each side: a right-aligned number keeps clear of the next column
constexpr double kSmallestSize = 7.0;   // points: the smallest size a code or a caption shrinks to

// One cell of a table line as it is printed.
struct LaidOutCell {
    QString text;     // its lines, joined by '\n'; a text cut short ends in "…"
    double size = 0;  // font size in points
};

// How the columns of a report share the width of the page, and how the cells
// of a table line are set in them.
//
// Columns are fitted to what they print (captions, rows, group and total
// rows). Where everything fits, every column gets at least what its widest
// text needs and the room left over goes by the template's widths: a
// template whose widths already suit its texts prints as it is written.
// Where the page is too narrow for that, the columns of short texts keep what
// they need and the widest texts give way: a text column down to a few
// characters, a column of identifiers (codes, note numbers, dates) to its
// texts at the smallest size. A column of figures keeps its width while the
// page holds it; a page narrower than the figures alone narrows every column
// in proportion.
//
// In its column a text too wide for one line goes on in further lines of its
// row; an identifier or a caption first shrinks, down to the smallest size; a
// figure keeps the body size, going on in a further line only in a column
// narrower than itself. Only a row that would grow taller than its page
// is cut short, with "…": short of that, every code, figure and text prints
// whole.
class ColumnLayout {
public:
    ColumnLayout() = default;
    // rows are the detail rows; summing lines the group and total rows (bold).
    ColumnLayout(const ReportTemplate &t, double pageWidth, const QStringList &captions, const ReportRows &rows,
                 const QVector<QStringList> &summingLines);

    const QVector<double> &widths() const { return widths_; }

    // The most lines a cell of such a line may take: as many as fit in room
    // points.
    void setRoom(LineKind kind, double room);

    QVector<LaidOutCell> layOut(LineKind kind, const QStringList &cells) const;
    double height(LineKind kind, const QStringList &cells) const;
    // The height of a detail row; one line unless a column holds texts wider
    // than itself.
    double detailHeight(const ReportRows &rows, int row) const;

private:
    LaidOutCell layOutCell(LineKind kind, int column, const QString &text) const;
    double heightOf(int lines) const;
    int linesIn(double room) const;

    QVector<Column> columns_;
    QVector<double> widths_;
    QVector<bool> overfull_;  // a detail text of the column is wider than the column
    double bodySize_ = 10;
    int captionLines_ = 1;
    int bodyLines_ = 1;
};

} // namespace report
