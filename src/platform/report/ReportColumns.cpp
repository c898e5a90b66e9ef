#include "ReportColumns.h"

#include "ReportRows.h"
#include "ReportText.h"

#include <cmath>
#include <functional>

namespace report {

namespace {

constexpr double kLineHeight = 1.6;   // a body line is the body size times this
constexpr double kFewCharacters = 4;  // a text column keeps room for this many Chinese characters

// The widest of some texts in one font, and which text it is.
struct Widest {
    double width = 0;
    QString text;

    void add(const QString &t, const TextWidths &widths)
    {
        const double w = widths.width(QStringView(t));
        if (w > width) {
            width = w;
            text = t;
        }
    }

    // A cell of the rows, measured where it is stored when it prints as stored.
    void add(const ReportRows &rows, int row, int column, const TextWidths &widths)
    {
        QByteArrayView utf8;
        if (!rows.storedText(row, column, &utf8)) {
            add(rows.text(row, column), widths);
            return;
        }
        const double w = widths.width(utf8);
        if (w > width) {
            width = w;
            text = QString::fromUtf8(utf8);
        }
    }
};

// The x in [lo, hi] where the nondecreasing sum(x) reaches target.
double solve(const std::function<double(double)> &sum, double lo, double hi, double target)
{
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2;
        (sum(mid) < target ? lo : hi) = mid;
    }
    return hi;
}

// Widths that add up to total: each column between its floor and what it
// needs, as described in ColumnLayout.
QVector<double> shareWidth(double total, const QVector<double> &need, const QVector<double> &floor,
                           const QVector<double> &shares, const QVector<bool> &figures)
{
    const qsizetype n = need.size();
    const auto add = [n](const std::function<double(qsizetype)> &width) {
        double sum = 0;
        for (qsizetype c = 0; c < n; ++c)
            sum += width(c);
        return sum;
    };
    QVector<double> widths(n);
    const auto fill = [&](const std::function<double(qsizetype)> &width) {
        for (qsizetype c = 0; c < n; ++c)
            widths[c] = width(c);
    };
    const double needed = add([&](qsizetype c) { return need[c]; });
    const double least = add([&](qsizetype c) { return floor[c]; });
    if (needed <= total) {
        double smallest = shares[0];
        for (double s : shares)
            smallest = qMin(smallest, s);
        const auto width = [&](double scale) {
            return [&, scale](qsizetype c) { return qMax(need[c], scale * shares[c]); };
        };
        const double scale = solve([&](double s) { return add(width(s)); }, 0, total / smallest, total);
        fill(width(scale));
    } else if (least <= total) {
        double widest = 0;
        for (double w : need)
            widest = qMax(widest, w);
        const auto width = [&](double cap) { return [&, cap](qsizetype c) { return qBound(floor[c], cap, need[c]); }; };
        const double cap = solve([&](double x) { return add(width(x)); }, 0, widest, total);
        fill(width(cap));
    } else {
        // Narrower than every column at its least: the figures keep theirs
        // while the page holds them, the other columns share what is left.
        const double fixed = add([&](qsizetype c) { return figures[c] ? floor[c] : 0.0; });
        const double scale = fixed < total && least > fixed ? (total - fixed) / (least - fixed) : 1;
        fill([&](qsizetype c) { return figures[c] && fixed < total ? floor[c] : floor[c] * scale; });
    }
    const double sum = add([&](qsizetype c) { return widths[c]; });
    if (sum > 0)
        for (double &w : widths)
            w *= total / sum;
    return widths;
}

} // namespace

ColumnLayout::ColumnLayout(const ReportTemplate &t, double pageWidth, const QStringList &captions,
                           const ReportRows &rows, const QVector<QStringList> &summingLines)
    : columns_(t.columns), bodySize_(t.fontSize)
{
    const qsizetype n = columns_.size();
    if (n == 0)
        return;
    const double small = qMin(kSmallestSize, bodySize_);
    const TextWidths &plain = TextWidths::of(bodySize_, false);
    const TextWidths &bold = TextWidths::of(bodySize_, true);
    QVector<Widest> cells(n);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < n && c < rows.columnCount(); ++c)
            cells[c].add(rows, r, c, plain);
    QVector<Widest> sums(n);
    for (const QStringList &line : summingLines)
        for (int c = 0; c < n && c < line.size(); ++c)
            sums[c].add(line[c], bold);

    QVector<double> need(n), floor(n), shares(n);
    QVector<bool> figures(n);
    for (int c = 0; c < n; ++c) {
        const QString caption = captions.value(c);
        const double content = qMax(cells[c].width, sums[c].width);
        const double captionSmall = TextWidths::of(small, true).width(caption);
        need[c] = qMax(bold.width(caption), content) + 2 * kCellPadding;
        double least;
        if (columns_[c].figure())
            least = content;
        else if (columns_[c].id)
            least = qMax(TextWidths::of(small, false).width(cells[c].text), TextWidths::of(small, true).width(sums[c].text));
        else
            least = qMin(content, kFewCharacters * bodySize_);
        floor[c] = qMin(need[c], qMax(captionSmall, least) + 2 * kCellPadding);
        shares[c] = qMax(columns_[c].width, 0.01);
        figures[c] = columns_[c].figure();
    }
    widths_ = shareWidth(pageWidth, need, floor, shares, figures);
    overfull_.resize(n);
    for (int c = 0; c < n; ++c)
        overfull_[c] = cells[c].width > widths_[c] - 2 * kCellPadding;
}

double ColumnLayout::heightOf(int lines) const
{
    return bodySize_ * kLineHeight + (lines - 1) * TextWidths::of(bodySize_, false).lineSpacing();
}

int ColumnLayout::linesIn(double room) const
{
    const double first = bodySize_ * kLineHeight;
    const double next = TextWidths::of(bodySize_, false).lineSpacing();
    return room <= first || next <= 0 ? 1 : 1 + int(std::floor((room - first) / next + 1e-9));
}

void ColumnLayout::setRoom(LineKind kind, double room)
{
    (kind == LineKind::Captions ? captionLines_ : bodyLines_) = linesIn(room);
}

LaidOutCell ColumnLayout::layOutCell(LineKind kind, int column, const QString &text) const
{
    if (text.isEmpty())
        return {QString(), bodySize_};
    const bool bold = kind != LineKind::Detail;
    const double inner = qMax(0.0, widths_[column] - 2 * kCellPadding);
    const TextWidths *widths = &TextWidths::of(bodySize_, bold);
    const bool oneLine = !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
    if (oneLine && widths->width(text) <= inner)
        return {text, bodySize_};
    double size = bodySize_;
    if (kind == LineKind::Captions || columns_[column].id) {
        // Fonts are drawn at whole points: try each size down to the smallest.
        for (double s = std::ceil(bodySize_) - 1; s >= kSmallestSize && widths->width(text) > inner; s -= 1) {
            size = s;
            widths = &TextWidths::of(s, bold);
        }
    }
    const int most = kind == LineKind::Captions ? captionLines_ : bodyLines_;
    return {wrapText(text, inner, *widths, most).join(QLatin1Char('\n')), size};
}

QVector<LaidOutCell> ColumnLayout::layOut(LineKind kind, const QStringList &cells) const
{
    QVector<LaidOutCell> out;
    out.reserve(cells.size());
    for (int c = 0; c < cells.size() && c < widths_.size(); ++c)
        out.append(layOutCell(kind, c, cells[c]));
    return out;
}

double ColumnLayout::height(LineKind kind, const QStringList &cells) const
{
    int lines = 1;
    for (const LaidOutCell &cell : layOut(kind, cells))
        lines = qMax(lines, int(cell.text.count(QLatin1Char('\n'))) + 1);
    return heightOf(lines);
}

double ColumnLayout::detailHeight(const ReportRows &rows, int row) const
{
    int lines = 1;
    for (int c = 0; c < overfull_.size(); ++c)
        if (overfull_[c])
            lines = qMax(lines, int(layOutCell(LineKind::Detail, c, rows.text(row, c)).text.count(QLatin1Char('\n'))) + 1);
    return heightOf(lines);
}

} // namespace report
