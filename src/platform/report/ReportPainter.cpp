#include "ReportPainter.h"

#include "ExportFile.h"
#include "ReportText.h"
#include "ReportTextLine.h"

#include <QPainter>
#include <QPrinter>

namespace report {

namespace {

// Draws pages with a painter whose units are points, its origin the top-left
// corner of the printable area.
class PagePainter {
public:
    PagePainter(const FilledReport &r, QPainter &p) : r_(r), p_(p)
    {
        width_ = r.layout.pageLayout().paintRect(QPageLayout::Point).width();
        height_ = r.layout.pageLayout().paintRect(QPageLayout::Point).height();
        double x = 0;
        for (const double w : r.pages.columns().widths()) {
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
    // A report font of the given size in points, drawn through the painter's
    // scale: point sizes are turned into pixels by the device's resolution,
    // then scaled again by the painter (which works in points), so the
    // resolution is divided back out.
    QFont font(double points, bool bold) const
    {
        return reportFont(points * 72.0 / p_.device()->logicalDpiY(), bold);
    }

    // A cell as the layout set it: its lines, in its font size, in the
    // column less its padding. The lines are set one under the other at the
    // line spacing the layout measured the row by (the painter's own
    // multi-line text rounds its lines apart, and a tall cell would run out
    // of its row), the block of them centred in the row.
    void drawCell(const QRectF &rect, const LaidOutCell &cell, Qt::Alignment align, bool bold)
    {
        const QRectF inner = rect.adjusted(kCellPadding, 0, -kCellPadding, 0);
        if (inner.width() <= 0 || cell.text.isEmpty())
            return;
        p_.setFont(font(cell.size, bold));
        const QStringList lines = cell.text.split(QLatin1Char('\n'));
        const double spacing = TextWidths::of(cell.size, bold).lineSpacing();
        const double block = lines.size() == 1 ? inner.height() : lines.size() * spacing;
        double top = inner.center().y() - block / 2;
        const double step = lines.size() == 1 ? block : spacing;
        for (const QString &line : lines) {
            p_.drawText(QRectF(inner.left(), top, inner.width(), step),
                        int(align | Qt::AlignVCenter) | Qt::TextSingleLine, line);
            top += step;
        }
    }

    void drawCells(const ReportLine &l, double y, bool bold, bool captions)
    {
        for (int c = 0; c < l.printed.size() && c < columnX_.size(); ++c)
            drawCell(QRectF(columnX_[c], y, columnW_[c], l.height), l.printed[c],
                     captions ? Qt::AlignHCenter : r_.layout.columns[c].align, bold);
    }

    double paintLine(const ReportLine &l, double y)
    {
        const double body = r_.layout.fontSize;
        switch (l.kind) {
        case LineKind::Title:
        case LineKind::Text:
        case LineKind::GroupHeader: {
            const bool bold = l.kind != LineKind::Text;
            const PlacedTexts placed =
                placeAcross(l.cells, width_, l.kind == LineKind::Title ? r_.layout.titleFontSize : body, bold);
            p_.setFont(font(placed.size, bold));
            for (int i = 0; i < placed.texts.size() && i < placed.x.size(); ++i)
                if (!placed.texts[i].isEmpty())
                    p_.drawText(QRectF(placed.x[i], y, placed.width[i] + 1, l.height),
                                int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine | Qt::TextDontClip,
                                placed.texts[i]);
            break;
        }
        case LineKind::Captions:
            drawCells(l, y, true, true);
            p_.drawLine(QPointF(0, y), QPointF(width_, y));
            p_.drawLine(QPointF(0, y + l.height), QPointF(width_, y + l.height));
            break;
        case LineKind::Detail:
        case LineKind::GroupTotal:
        case LineKind::Total:
            if (l.kind != LineKind::Detail)
                p_.drawLine(QPointF(0, y), QPointF(width_, y));
            drawCells(l, y, l.kind != LineKind::Detail, false);
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
