#include "ReportPages.h"

#include <algorithm>

namespace report {

namespace {

// Puts the page number and count into the text lines that name them.
void resolvePageNumbers(QVector<ReportLine> &lines, const QString &number, const QString &pages)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ReportLine &l = std::as_const(lines)[i];
        if (isTableLine(l.kind))
            continue;
        if (std::none_of(l.cells.begin(), l.cells.end(), [](const QString &cell) {
                return cell.contains(QLatin1String("{page"), Qt::CaseInsensitive);
            }))
            continue;
        for (QString &cell : lines[i].cells) {
            cell.replace(QStringLiteral("{page}"), number, Qt::CaseInsensitive);
            cell.replace(QStringLiteral("{pages}"), pages, Qt::CaseInsensitive);
        }
    }
}

} // namespace

ReportPages::ReportPages(ReportRows rows, ColumnLayout columns, QVector<ReportLine> header,
                         QVector<ReportLine> footer)
    : rows_(std::move(rows)), columns_(std::move(columns)), header_(std::move(header)), footer_(std::move(footer))
{
}

void ReportPages::addDetail(int row, double height)
{
    body_.append(BodyLine{LineKind::Detail, row, height});
}

void ReportPages::addLine(ReportLine line)
{
    body_.append(BodyLine{line.kind, int(lines_.size()), line.height});
    lines_.append(std::move(line));
}

// Page breaks follow from the line heights: a page takes body lines while
// they fit between its header and footer. The closing lines (total,
// summary) never open a page alone: the last row goes with them.
void ReportPages::breakPages(double room)
{
    int lastRow = -1;
    for (int i = 0; i < body_.size(); ++i)
        if (body_[i].kind == LineKind::Detail || body_[i].kind == LineKind::GroupTotal)
            lastRow = i;
    starts_ = {0};
    double used = 0;
    for (int i = 0; i < body_.size(); ++i) {
        if (used + body_[i].height > room + 1e-6 && i > starts_.last()) {
            int start = i;
            used = 0;
            if (i > lastRow && lastRow > starts_.last()) {
                double moved = 0;
                for (int k = lastRow; k <= i; ++k)
                    moved += body_[k].height;
                if (moved <= room + 1e-6) {
                    start = lastRow;
                    used = moved - body_[i].height;
                }
            }
            starts_.append(start);
        }
        used += body_[i].height;
    }
    starts_.append(int(body_.size()));  // an empty report still has its one page
}

ReportPage ReportPages::operator[](int page) const
{
    ReportPage p;
    if (page < 0 || page >= size())
        return p;
    p.header = header_;
    p.footer = footer_;
    p.body.reserve(starts_[page + 1] - starts_[page]);
    for (int i = starts_[page]; i < starts_[page + 1]; ++i) {
        const BodyLine &line = body_[i];
        if (line.kind == LineKind::Detail)
            p.body.append(ReportLine{LineKind::Detail, rows_[line.index], line.height, {}});
        else
            p.body.append(lines_[line.index]);
    }
    const QString number = QString::number(page + 1);
    const QString pages = QString::number(size());
    resolvePageNumbers(p.header, number, pages);
    resolvePageNumbers(p.body, number, pages);
    resolvePageNumbers(p.footer, number, pages);
    for (QVector<ReportLine> *band : {&p.header, &p.body, &p.footer})
        for (ReportLine &line : *band)
            if (isTableLine(line.kind))
                line.printed = columns_.layOut(line.kind, line.cells);
    return p;
}

} // namespace report
