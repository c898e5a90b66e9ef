#pragma once

#include <QPointer>

class QTableView;

// Fits the visible columns of a grid filled from a GridModel to their texts,
// starting from the widths the window's layout just gave them, and fits them
// again from those widths each time the grid is filled anew. A grid that
// has never been on show is fitted when it first shows: a window opened but
// never shown measures nothing.
//
// A column of numbers, dates, codes, note numbers or quantities with their
// unit gets the width of its widest text, caption included, so no figure is
// ever cut. A figure is a text without wide characters or spaces, or a number
// followed by one space and a unit of at most four characters ("100 盒").
// The room comes first from the free space at the right of the grid, then
// from columns wider than their texts, last from name columns, which may be
// cut down to their caption's width; when all that is not enough, the grid
// scrolls. Then name columns (texts with wide characters or spaces) that are
// cut get what room is left: the free space, then what columns wider than
// their texts can give, up to their widest text; a name that still lacks room
// stays cut, and a name never makes the grid scroll. Columns keep their
// layout widths otherwise, and no column asks for more than a third of the
// grid (or its layout width, when that is more).
//
// Cheap on long lists: the widest text of a column is found by counting
// the characters it shows (a wide character counts two; a column with a
// display rule counts its texts in their shown form), and only the few
// longest texts are measured with the font, as wide as the grid's item
// delegate draws them. The counts and widths are kept until the grid's texts
// change, so a window that is laid out again or resized does not read or
// measure its rows again.
//
// captionRows: rows at the top of the view that are captions under the
// caption row (a two-line heading); they count like captions.
void FitColumnsToTexts(QTableView *grid, int captionRows = 0);

// Holds the fitting of a grid's columns while the grid is filled anew (its
// model may be cleared and filled in several steps): the grid is fitted once,
// when the hold ends, at once when it is on show, else when it shows.
class ColumnFitHold {
public:
    explicit ColumnFitHold(QTableView *grid);
    ~ColumnFitHold();
    ColumnFitHold(const ColumnFitHold &) = delete;
    ColumnFitHold &operator=(const ColumnFitHold &) = delete;

private:
    QPointer<QObject> fitter_;
};
