#include "GridColumnFit.h"

#include "MergedCaptionHeader.h"
#include "platform/GridModel.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QPointer>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace {

// Texts measured with the font per column: the longest by count, and those
// up to kCountSlack counts shorter (a narrow text may have more characters).
constexpr int kMeasuredTexts = 24;
constexpr int kCountSlack = 2;

// The width a text needs, counted in characters; a wide (CJK) character
// counts two.
int widthCount(QStringView text)
{
    int count = int(text.size());
    for (const QChar ch : text)
        if (ch.unicode() >= 0x1100)
            ++count;
    return count;
}

// A quantity followed by its unit, such as "100 盒" or "-40.125 kg": a
// number (digits with an optional sign, point and thousands commas), one
// space, then a unit of at most kUnitLength characters without spaces (a
// goods without a unit leaves it empty).
constexpr int kUnitLength = 4;
bool isQuantityWithUnit(QStringView text)
{
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space <= 0)
        return false;
    const QStringView number = text.first(space);
    const QStringView unit = text.sliced(space + 1);
    if (unit.size() > kUnitLength || unit.contains(QLatin1Char(' ')))
        return false;
    bool digit = false;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar ch = number[i];
        if (ch.isDigit() && ch.unicode() < 0x80)
            digit = true;
        else if (!(ch == QLatin1Char('.') || ch == QLatin1Char(',') || (i == 0 && ch == QLatin1Char('-'))))
            return false;
    }
    return digit;
}

// A name or a remark, not a number, date, code or quantity with its unit:
// a text with a wide character or a space.
bool isWords(QStringView text)
{
    if (isQuantityWithUnit(text))
        return false;
    for (const QChar ch : text)
        if (ch.unicode() >= 0x1100 || ch == QLatin1Char(' '))
            return true;
    return false;
}

struct ColumnTexts {
    bool words = false;    // a name column: one of its widest texts is made of words
    int longest = -1;      // the largest width count
    QVector<int> rows;     // view rows of the texts to measure
};

// The longest texts of every column of a GridModel, counted once per change
// of its texts, and the widths the layout gave the columns. Kept as a child
// of the grid it serves; a grid filled anew is fitted again from those widths.
class ColumnFitter : public QObject {
public:
    ColumnFitter(QTableView *grid, GridModel *model) : QObject(grid), grid_(grid), model_(model)
    {
        setObjectName(QStringLiteral("columnFitter"));
        auto stale = [this] { stale_ = true; };
        connect(model, &QAbstractItemModel::modelReset, this, [this] {
            stale_ = true;
            if (!layoutWidths_.isEmpty())
                fit();
        });
        connect(model, &QAbstractItemModel::layoutChanged, this, stale);
        connect(model, &QAbstractItemModel::dataChanged, this, stale);
        connect(model, &QAbstractItemModel::rowsInserted, this, stale);
        connect(model, &QAbstractItemModel::rowsRemoved, this, stale);
        connect(model, &QAbstractItemModel::columnsInserted, this, stale);
        connect(model, &QAbstractItemModel::columnsRemoved, this, stale);
    }

    GridModel *model() const { return model_; }

    // Takes the grid's present widths as the layout's, then fits. The first
    // captionRows rows of the view are captions under the caption row.
    void fitFromLayout(int captionRows)
    {
        if (captionRows != captionRows_)
            stale_ = true;
        captionRows_ = captionRows;
        layoutWidths_.clear();
        for (int c = 0; c < model_->columnCount(); ++c)
            layoutWidths_.append(grid_->isColumnHidden(c) ? 0 : grid_->columnWidth(c));
        fit();
    }

private:
    void fit();
    const QVector<ColumnTexts> &columns()
    {
        if (stale_)
            count(*model_);
        stale_ = false;
        return columns_;
    }
    void count(const GridModel &model)
    {
        const int rows = model.rowCount();
        const int cols = model.cols();
        columns_ = QVector<ColumnTexts>(cols);
        // A column with a display rule is counted by the texts it shows
        // ("0.333" for 0.333333333333333), the others by their own texts.
        QVector<bool> shown(cols);
        for (int c = 0; c < cols; ++c)
            shown[c] = model.hasDisplayRule(c);
        const auto count = [&](int r, int c) {
            return shown[c] ? widthCount(model.shownText(r + 1, c)) : widthCount(model.cellView(r + 1, c));
        };
        // Row by row: each row's text is read once for all its columns,
        // not once per column, which on a long list would fetch every row
        // from memory again for each column.
        for (int r = captionRows_; r < rows; ++r) {
            for (int c = 0; c < cols; ++c) {
                ColumnTexts &col = columns_[c];
                const int n = count(r, c);
                if (n < col.longest - kCountSlack)
                    continue;
                if (n > col.longest) {
                    col.longest = n;
                    col.rows.removeIf([&](int kept) { return count(kept, c) < n - kCountSlack; });
                }
                if (col.rows.size() < kMeasuredTexts)
                    col.rows.append(r);
            }
        }
        // What the widest texts are decides, not a short label such as the
        // totals row's in a column of codes.
        for (int c = 0; c < cols; ++c)
            for (int r : columns_[c].rows)
                columns_[c].words = columns_[c].words || isWords(model.shownText(r + 1, c));
    }

    QTableView *grid_;
    QPointer<GridModel> model_;
    QVector<ColumnTexts> columns_;
    QVector<int> layoutWidths_;
    int captionRows_ = 0;
    bool stale_ = true;
};

struct Column {
    int index = 0;
    int width = 0;  // the layout's width, then the fitted one
    int need = 0;   // the widest text, caption included
    int floor = 0;  // narrowest width it may be given for others
    bool name = false;
};

// Takes up to amount pixels from the donors' width above their floor, from
// each in proportion to what it can give. Returns what was taken.
int takeFrom(QVector<Column *> &donors, int amount)
{
    if (amount <= 0)
        return 0;
    int available = 0;
    for (const Column *d : donors)
        available += qMax(0, d->width - d->floor);
    const int taken = qMin(amount, available);
    int left = taken;
    for (Column *d : donors) {
        const int spare = qMax(0, d->width - d->floor);
        const int give = qMin(left, int(qint64(spare) * taken / qMax(1, available)) + 1);
        d->width -= qMin(give, spare);
        left -= qMin(give, spare);
    }
    return taken - left;
}

// The width the grid's own delegate asks for the cell, and its grid line.
int cellNeed(QTableView *grid, const QModelIndex &index)
{
    QStyleOptionViewItem option;
    option.initFrom(grid);
    option.widget = grid;
    option.font = grid->font();
    option.fontMetrics = grid->fontMetrics();
    option.textElideMode = grid->textElideMode();
    return grid->itemDelegateForIndex(index)->sizeHint(option, index).width() + (grid->showGrid() ? 1 : 0);
}

// The widest need among the texts of column c in the view rows given, each
// distinct text measured once (a list repeats its dates, units and names).
int widestNeed(QTableView *grid, const GridModel &model, int c, const QVector<int> &rows)
{
    int need = 0;
    QVector<QStringView> measured;
    for (int r : rows) {
        const QStringView text = model.cellView(r + 1, c);
        if (measured.contains(text))
            continue;
        measured.append(text);
        need = qMax(need, cellNeed(grid, model.index(r, c)));
    }
    return need;
}

int captionNeed(QTableView *grid, int c)
{
    QHeaderView *header = grid->horizontalHeader();
    const int need = header->sectionSizeHint(c);
    if (auto *merged = qobject_cast<MergedCaptionHeader *>(header)) {
        const auto [first, last] = merged->mergedColumns(c);
        return need / qMax(1, last - first + 1);
    }
    return need;
}

// The width the columns share: the viewport's, less the vertical scroll bar
// when the rows will need one.
int availableWidth(QTableView *grid)
{
    const QSize viewport = grid->maximumViewportSize();
    int width = viewport.width();
    if (grid->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && grid->verticalHeader()->length() > viewport.height())
        width -= grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    return width;
}

// Widens the name columns that are cut towards their widest text, with the
// free room at the right of the grid, then with what columns wider than their
// texts can give down to their texts; in proportion to what each name lacks.
// The row never grows past the grid, and no figure is narrowed below its text.
void widenCutNames(QVector<Column> &columns, int gridWidth)
{
    QVector<Column *> cut, roomy;
    int lacking = 0;
    int used = 0;
    for (Column &col : columns) {
        used += col.width;
        if (col.name && col.need > col.width) {
            cut.append(&col);
            lacking += col.need - col.width;
        } else if (col.width > col.need) {
            col.floor = col.need;
            roomy.append(&col);
        }
    }
    if (lacking == 0)
        return;
    int room = qBound(0, gridWidth - used, lacking);
    room += takeFrom(roomy, lacking - room);
    int left = room;
    for (Column *col : cut) {
        const int lack = col->need - col->width;
        const int give = std::min({lack, left, int(qint64(lack) * room / lacking) + 1});
        col->width += give;
        left -= give;
    }
}

void ColumnFitter::fit()
{
    QTableView *grid = grid_;
    GridModel *model = model_;
    if (!model || grid->model() != model)
        return;
    const QVector<ColumnTexts> &texts = columns();

    const int gridWidth = availableWidth(grid);
    QVector<Column> columns;
    int used = 0;
    for (int c = 0; c < texts.size() && c < model->columnCount(); ++c) {
        if (c >= layoutWidths_.size() || layoutWidths_[c] == 0 || grid->isColumnHidden(c))
            continue;
        Column col{c, layoutWidths_[c], captionNeed(grid, c), 0, texts[c].words};
        for (int r = 0; r < captionRows_ && r < model->rowCount(); ++r)
            col.need = qMax(col.need, cellNeed(grid, model->index(r, c)));
        col.floor = col.need;
        col.need = qMax(col.need, widestNeed(grid, *model, c, texts[c].rows));
        // Within reason: no column asks for more than a third of the grid.
        col.need = qMin(col.need, qMax(col.width, gridWidth / 3));
        if (!col.name)
            col.floor = col.need;
        used += col.width;
        columns.append(col);
    }

    // Numbers, dates and codes get their width: from the free room, then
    // from columns wider than their texts, last from the names. What nothing
    // can give makes the grid scroll: a figure is never cut. A layout a few
    // pixels too wide for the grid gives them back from columns with room.
    QVector<Column *> roomy, names;
    int wanted = 0;
    for (Column &col : columns) {
        if (!col.name && col.need > col.width)
            wanted += col.need - col.width;
        else if (col.width > col.need)
            roomy.append(&col);
        else if (col.name)
            names.append(&col);
    }
    int shortfall = wanted - (gridWidth - used);
    for (Column *col : roomy)
        col->floor = col->need;
    shortfall -= takeFrom(roomy, shortfall);
    if (wanted > 0)
        takeFrom(names, shortfall);
    for (Column &col : columns)
        if (!col.name && col.need > col.width)
            col.width = col.need;
    widenCutNames(columns, gridWidth);
    for (const Column &col : columns)
        if (grid->columnWidth(col.index) != col.width)
            grid->setColumnWidth(col.index, col.width);
}

} // namespace

void FitColumnsToTexts(QTableView *grid, int captionRows)
{
    auto *model = qobject_cast<GridModel *>(grid->model());
    if (!model)
        return;
    auto *fitter = grid->findChild<ColumnFitter *>(QStringLiteral("columnFitter"), Qt::FindDirectChildrenOnly);
    if (fitter && fitter->model() != model) {
        delete fitter;
        fitter = nullptr;
    }
    if (!fitter)
        fitter = new ColumnFitter(grid, model);
    fitter->fitFromLayout(captionRows);
}
