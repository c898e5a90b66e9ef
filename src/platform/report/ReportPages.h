#pragma once

#include "platform/report/ReportColumns.h"
#include "platform/report/ReportRows.h"

#include <QStringList>
#include <QVector>

namespace report {

// One printed line. Table lines (captions, details, group totals, total)
// hold one text per column, whole, and the same cells as they are printed in
// their columns; text lines hold left, centre and right texts.
struct ReportLine {
    LineKind kind = LineKind::Text;
    QStringList cells;
    double height = 0;  // points
    QVector<LaidOutCell> printed;  // table lines of a page: the cells as printed
};

struct ReportPage {
    QVector<ReportLine> header;  // title, header lines, column captions
    QVector<ReportLine> body;
    QVector<ReportLine> footer;
};

// The pages of a filled report. The body is kept as a list of line
// references (a detail row by its index, any other line by itself) with
// the page breaks; a page's lines and their texts, page numbers resolved
// and table cells laid out in their columns, are made when the page is asked
// for, so a long list lays out its pages
// without a text per printed cell.
class ReportPages {
public:
    ReportPages() = default;
    ReportPages(ReportRows rows, ColumnLayout columns, QVector<ReportLine> header, QVector<ReportLine> footer);

    // How the columns share the page and how their cells are printed.
    const ColumnLayout &columns() const { return columns_; }

    // Building the body, in printed order.
    void addDetail(int row, double height);
    void addLine(ReportLine line);
    // Breaks the body into pages that hold room points of body lines each.
    void breakPages(double room);

    int size() const { return qMax(0, int(starts_.size()) - 1); }
    bool isEmpty() const { return size() == 0; }
    ReportPage operator[](int page) const;
    ReportPage first() const { return (*this)[0]; }
    ReportPage last() const { return (*this)[size() - 1]; }

    class const_iterator {
    public:
        const_iterator(const ReportPages *pages, int page) : pages_(pages), page_(page) {}
        ReportPage operator*() const { return (*pages_)[page_]; }
        const_iterator &operator++()
        {
            ++page_;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return page_ == other.page_; }
        bool operator!=(const const_iterator &other) const { return page_ != other.page_; }

    private:
        const ReportPages *pages_;
        int page_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    struct BodyLine {
        LineKind kind;
        int index;  // into the rows for a detail, else into lines_
        double height;
    };

    ReportRows rows_;
    ColumnLayout columns_;
    QVector<ReportLine> header_;
    QVector<ReportLine> footer_;
    QVector<ReportLine> lines_;  // the body lines other than details
    QVector<BodyLine> body_;
    QVector<int> starts_;  // each page's first body line, then the end of the body
};

} // namespace report
