#include "GridColumnFit.h"

#include "MergedCaptionHeader.h"
#include "platform/GridModel.h"

#include <QEvent>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QHeaderView>
#include <QPointer>
#include <QStyle>
#include <QTableView>
#include <QtMath>

#include <algorithm>
#include <optional>

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

// The widths the grid's item delegate asks for cell texts: a text's advance
// in the grid's font, the style's text margin on either side, and the grid
// line. Cheaper than asking the delegate, which lays the text out anew for
// every cell; and each distinct text is measured once while the font stays,
// as a list sorted or searched again shows mostly the same texts.
class TextWidths {
public:
    // Takes the grid's font and margins as they are now.
    void take(const QTableView *grid)
    {
        if (!metrics_ || grid->font() != font_) {
            font_ = grid->font();
            metrics_.emplace(font_);
            advances_.clear();
        }
        extra_ = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) +
                 (grid->showGrid() ? 1 : 0);
    }
    int operator()(const QString &text)
    {
        auto found = advances_.constFind(text);
        if (found == advances_.cend()) {
            if (advances_.size() >= kKeptAdvances)
                advances_.clear();
            found = advances_.insert(text, qCeil(metrics_->horizontalAdvance(text)));
        }
        return *found + extra_;
    }

private:
    static constexpr qsizetype kKeptAdvances = 4096;
    QFont font_;
    std::optional<QFontMetricsF> metrics_;
    QHash<QString, int> advances_;
    int extra_ = 0;
};

int captionWidth(QTableView *grid, int c)
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

// Numbers, dates and codes get their width: from the free room, then from
// columns wider than their texts, last from the names. What nothing can give
// makes the grid scroll: a figure is never cut. A layout a few pixels too
// wide for the grid gives them back from columns with room.
void widenFigures(QVector<Column> &columns, int gridWidth)
{
    QVector<Column *> roomy, names;
    int wanted = 0;
    int used = 0;
    for (Column &col : columns) {
        used += col.width;
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

// A column's longest texts by count, the few the font measures.
struct ColumnTexts {
    bool words = false;    // a name column: one of its widest texts is made of words
    int longest = -1;      // the largest width count
    QVector<int> rows;     // view rows of the texts to measure
};

// The widths a column's texts need, measured once per change of the texts.
struct ColumnNeed {
    int captions = -1;  // the caption, and the caption rows under it
    int texts = -1;     // the widest text below them
};

// The longest texts of every column of a GridModel, counted and measured
// once per change of its texts, and the widths the layout gave the columns.
// Kept as a child of the grid it serves. A grid laid out or filled before it
// was ever on show is fitted when it first shows; a grid filled anew is
// fitted again from the layout's widths.
class ColumnFitter : public QObject {
public:
    ColumnFitter(QTableView *grid, GridModel *model) : QObject(grid), grid_(grid), model_(model)
    {
        setObjectName(QStringLiteral("columnFitter"));
        connect(model, &QAbstractItemModel::modelReset, this, [this] {
            textsChanged();
            fitWhenShown();
        });
        auto changed = [this] { textsChanged(); };
        connect(model, &QAbstractItemModel::layoutChanged, this, changed);
        connect(model, &QAbstractItemModel::rowsInserted, this, changed);
        connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
        connect(model, &QAbstractItemModel::columnsInserted, this, changed);
        connect(model, &QAbstractItemModel::columnsRemoved, this, changed);
        // A cell's colour leaves its width as it is.
        connect(model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                    if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                        textsChanged();
                });
        connect(model, &QAbstractItemModel::headerDataChanged, this, [this] {
            for (ColumnNeed &need : needs_)
                need.captions = -1;
        });
        grid->installEventFilter(this);
    }

    GridModel *model() const { return model_; }

    // Takes the grid's present widths as the layout's, then fits when it may
    // (fitWhenShown). The first captionRows rows of the view are captions
    // under the caption row.
    void takeLayout(int captionRows)
    {
        if (captionRows != captionRows_)
            textsChanged();
        captionRows_ = captionRows;
        layoutWidths_.clear();
        for (int c = 0; c < model_->columnCount(); ++c)
            layoutWidths_.append(grid_->isColumnHidden(c) ? 0 : grid_->columnWidth(c));
        fitWhenShown();
    }

    void hold() { ++holds_; }
    void release()
    {
        if (--holds_ == 0 && due_)
            fitWhenShown();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == grid_) {
            if (event->type() == QEvent::Show && due_)
                fitWhenShown();
            else if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
                needs_.fill(ColumnNeed());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void textsChanged() { counted_ = false; }
    // Fits at once unless held or the grid has never been on show; else
    // when the hold ends or the grid first shows. A grid shown before and
    // hidden since (behind a card, say) keeps its size: it is fitted at once.
    void fitWhenShown()
    {
        if (layoutWidths_.isEmpty())
            return;
        shown_ = shown_ || grid_->isVisible();
        due_ = holds_ > 0 || !shown_;
        if (!due_)
            fit();
    }
    void fit();
    void count();
    const ColumnNeed &measured(int c);

    QTableView *grid_;
    QPointer<GridModel> model_;
    QVector<ColumnTexts> texts_;
    QVector<ColumnNeed> needs_;
    TextWidths widths_;
    QVector<int> layoutWidths_;
    int captionRows_ = 0;
    int holds_ = 0;
    bool counted_ = false;
    bool shown_ = false;  // the grid has been on show
    bool due_ = false;    // a fit waits for the grid to show or the hold to end
};

void ColumnFitter::count()
{
    const GridModel &model = *model_;
    const int rows = model.rowCount();
    const int cols = model.cols();
    texts_ = QVector<ColumnTexts>(cols);
    needs_ = QVector<ColumnNeed>(cols);
    // A column with a display rule is counted by the texts it shows
    // ("0.333" for 0.333333333333333), the others by their own texts.
    QVector<bool> shown(cols);
    for (int c = 0; c < cols; ++c)
        shown[c] = model.hasDisplayRule(c);
    const auto count = [&](int r, int c) {
        return shown[c] ? widthCount(model.shownText(r + 1, c)) : widthCount(model.cellView(r + 1, c));
    };
    // Row by row: each row's text is read once for all its columns, not once
    // per column, which on a long list would fetch every row from memory
    // again for each column.
    for (int r = captionRows_; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            ColumnTexts &col = texts_[c];
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
        for (int r : texts_[c].rows)
            texts_[c].words = texts_[c].words || isWords(model.shownText(r + 1, c));
    counted_ = true;
}

// The widths column c needs, measured when first asked for after a change.
const ColumnNeed &ColumnFitter::measured(int c)
{
    ColumnNeed &need = needs_[c];
    if (need.captions < 0) {
        need.captions = captionWidth(grid_, c);
        for (int r = 0; r < captionRows_ && r < model_->rowCount(); ++r)
            need.captions = qMax(need.captions, widths_(model_->shownText(r + 1, c)));
    }
    if (need.texts < 0) {
        need.texts = 0;
        for (int r : texts_[c].rows)
            need.texts = qMax(need.texts, widths_(model_->shownText(r + 1, c)));
    }
    return need;
}

void ColumnFitter::fit()
{
    due_ = false;
    QTableView *grid = grid_;
    GridModel *model = model_;
    if (!model || grid->model() != model)
        return;
    if (!counted_)
        count();
    widths_.take(grid);
    const int gridWidth = availableWidth(grid);
    QVector<Column> columns;
    for (int c = 0; c < texts_.size() && c < model->columnCount(); ++c) {
        if (c >= layoutWidths_.size() || layoutWidths_[c] == 0 || grid->isColumnHidden(c))
            continue;
        const ColumnNeed &need = measured(c);
        Column col{c, layoutWidths_[c], qMax(need.captions, need.texts), need.captions, texts_[c].words};
        // Within reason: no column asks for more than a third of the grid.
        col.need = qMin(col.need, qMax(col.width, gridWidth / 3));
        if (!col.name)
            col.floor = col.need;
        columns.append(col);
    }
    widenFigures(columns, gridWidth);
    widenCutNames(columns, gridWidth);
    for (const Column &col : columns)
        if (grid->columnWidth(col.index) != col.width)
            grid->setColumnWidth(col.index, col.width);
}

// The grid's fitter, made when first asked for; none for a grid without a
// GridModel.
ColumnFitter *fitterOf(QTableView *grid)
{
    auto *model = qobject_cast<GridModel *>(grid->model());
    if (!model)
        return nullptr;
    auto *fitter = grid->findChild<ColumnFitter *>(QStringLiteral("columnFitter"), Qt::FindDirectChildrenOnly);
    if (fitter && fitter->model() != model) {
        delete fitter;
        fitter = nullptr;
    }
    return fitter ? fitter : new ColumnFitter(grid, model);
}

} // namespace

void FitColumnsToTexts(QTableView *grid, int captionRows)
{
    if (ColumnFitter *fitter = fitterOf(grid))
        fitter->takeLayout(captionRows);
}

ColumnFitHold::ColumnFitHold(QTableView *grid) : fitter_(fitterOf(grid))
{
    if (fitter_)
        static_cast<ColumnFitter *>(fitter_.data())->hold();
}

ColumnFitHold::~ColumnFitHold()
{
    if (fitter_)
        static_cast<ColumnFitter *>(fitter_.data())->release();
}
