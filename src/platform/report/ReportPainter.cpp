#include "ReportPainter.h"

#include "ExportFile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

namespace report {

namespace {

constexpr double kCellPadding = 4.0;  // points each side: a right-aligned number keeps clear of the next column

// "12345.67", "-1,000,000.00", "15%": a cell that shows a number.
bool isNumberText(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[-+]?([0-9][0-9,]*(\\.[0-9]*)?|\\.[0-9]+)%?\\s*$"));
    return number.match(text).hasMatch();
}

// Draws pages with a painter whose units are points, its origin the top-left
// corner of the printable area.
class PagePainter {
public:
    PagePainter(const FilledReport &r, QPainter &p) : r_(r), p_(p)
    {
        width_ = r.layout.pageLayout().paintRect(QPageLayout::Point).width();
        height_ = r.layout.pageLayout().paintRect(QPageLayout::Point).height();
        double total = 0;
        for (const Column &c : r.layout.columns)
            total += c.width;
        double x = 0;
        for (const Column &c : r.layout.columns) {
            const double w = total > 0 ? width_ * c.width / total : 0;
            columnX_.append(x);
            columnW_.append(w);
            x += w;
        }
    }

    void paintPage(const ReportPage &page)
    {
        double y = 0;
        for (const ReportLine &l : page.header)
            y = paintLine(l, y);
        for (const ReportLine &l : page.body)
            y = paintLine(l, y);
        double footerHeight = 0;
        for (const ReportLine &l : page.footer)
            footerHeight += l.height;
        y = height_ - footerHeight;
        for (const ReportLine &l : page.footer)
            y = paintLine(l, y);
    }

private:
    // A font of the given size in points, drawn through the painter's scale.
    QFont font(double points, bool bold) const
    {
        QFont f;
        f.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                       QStringLiteral("Noto Sans CJK")});
        // Point sizes are turned into pixels by the device's resolution, then
        // scaled again by the painter (which works in points): divide the
        // resolution back out.
        f.setPointSizeF(points * 72.0 / p_.device()->logicalDpiY());
        f.setBold(bold);
        return f;
    }

    // Text too wide for its cell is cut with an ellipsis; a number, an
    // identifier (a code, a note number, a date) or a column caption never is:
    // it is drawn in a smaller font until it fits, since a cut one no longer
    // names its goods or its column.
    void drawCell(const QRectF &rect, const QString &text, Qt::Alignment align, bool keepWhole)
    {
        const QRectF inner = rect.adjusted(kCellPadding, 0, -kCellPadding, 0);
        if (inner.width() <= 0 || text.isEmpty())
            return;
        const int flags = int(align | Qt::AlignVCenter) | Qt::TextSingleLine;
        const QFontMetricsF metrics(p_.font(), p_.device());
        if (!keepWhole && !isNumberText(text)) {
            p_.drawText(inner, flags, metrics.elidedText(text, Qt::ElideRight, inner.width()));
            return;
        }
        const QFont normal = p_.font();
        QFont shrunk = normal;
        double width = metrics.horizontalAdvance(text);
        // Glyph widths do not scale exactly with the size: shrink until it fits.
        for (int tries = 0; width > inner.width() && tries < 8; ++tries) {
            shrunk.setPointSizeF(shrunk.pointSizeF() * inner.width() / width * 0.97);
            width = QFontMetricsF(shrunk, p_.device()).horizontalAdvance(text);
        }
        p_.setFont(shrunk);
        p_.drawText(inner, flags, text);
        p_.setFont(normal);
    }

    bool identifierColumn(int c) const { return c < r_.layout.columns.size() && r_.layout.columns[c].id; }

    double paintLine(const ReportLine &l, double y)
    {
        const QRectF full(0, y, width_, l.height);
        const double body = r_.layout.fontSize;
        switch (l.kind) {
        case LineKind::Title:
        case LineKind::Text:
        case LineKind::GroupHeader: {
            p_.setFont(font(l.kind == LineKind::Title ? r_.layout.titleFontSize : body,
                            l.kind != LineKind::Text));
            if (l.cells.size() == 3) {
                p_.drawText(full, int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, l.cells[0]);
                p_.drawText(full, int(Qt::AlignHCenter | Qt::AlignVCenter) | Qt::TextSingleLine, l.cells[1]);
                p_.drawText(full, int(Qt::AlignRight | Qt::AlignVCenter) | Qt::TextSingleLine, l.cells[2]);
            }
            break;
        }
        case LineKind::Captions:
            p_.setFont(font(body, true));
            for (int c = 0; c < l.cells.size() && c < columnX_.size(); ++c)
                drawCell(QRectF(columnX_[c], y, columnW_[c], l.height), l.cells[c], Qt::AlignHCenter, true);
            p_.drawLine(QPointF(0, y), QPointF(width_, y));
            p_.drawLine(QPointF(0, y + l.height), QPointF(width_, y + l.height));
            break;
        case LineKind::Detail:
        case LineKind::GroupTotal:
        case LineKind::Total:
            p_.setFont(font(body, l.kind != LineKind::Detail));
            if (l.kind != LineKind::Detail)
                p_.drawLine(QPointF(0, y), QPointF(width_, y));
            for (int c = 0; c < l.cells.size() && c < columnX_.size(); ++c)
                drawCell(QRectF(columnX_[c], y, columnW_[c], l.height), l.cells[c], r_.layout.columns[c].align,
                         identifierColumn(c));
            break;
        }
        return y + l.height;
    }

    const FilledReport &r_;
    QPainter &p_;
    double width_ = 0;
    double height_ = 0;
    QVector<double> columnX_;
    QVector<double> columnW_;
};

} // namespace

void applyPageLayout(const FilledReport &report, QPrinter &printer)
{
    printer.setPageLayout(report.layout.pageLayout());
}

bool paintReport(const FilledReport &report, QPagedPaintDevice &device, const PageProgress &progress)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
    PagePainter pages(report, painter);
    for (int i = 0; i < report.pages.size(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        pages.paintPage(report.pages[i]);
        if (progress)
            progress(i + 1, report.pages.size());
    }
    return painter.end();
}

void paintPage(const FilledReport &report, int page, QPainter &painter)
{
    if (page < 0 || page >= report.pages.size())
        return;
    painter.setRenderHint(QPainter::TextAntialiasing);
    PagePainter(report, painter).paintPage(report.pages[page]);
}

bool renderPdf(const FilledReport &report, const QString &path, QString *error, const PageProgress &progress)
{
    return exportWhole(path, error, [&](const QString &scratch) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(scratch);
        printer.setCreator(QStringLiteral("warehouse"));
        applyPageLayout(report, printer);
        return paintReport(report, printer, progress);
    });
}

} // namespace report
