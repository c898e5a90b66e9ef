#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVector>

// A report template: the declarative text file (*.rpt) beside the program
// that tells the report engine where a report's rows come from and how its
// pages look. The format is described in runtime/REPORTS.md.
namespace report {

// One line of text in a band: up to three parts placed left, centre and right.
// Parts may hold placeholders: {@formula}, {field}, {page}, {pages}, {today},
// {count}, and {group} in group headers.
struct TextLine {
    QString left;
    QString center;
    QString right;
    bool title = false;  // the large bold title line
};

struct Column {
    QString caption;
    QString expression;  // SQL expression over the rows' FROM
    double width = 10;   // relative share of the line width
    Qt::Alignment align = Qt::AlignLeft;
    QString format;      // number format such as "#0.00"; empty = the text as read
    bool sum = false;    // summed in group and total rows
    bool id = false;     // identifiers (codes, note numbers, dates): printed whole, kept as text

    // A column of figures: formatted, summed or right-aligned as figures are.
    // Identifiers ("001", a date) are no figures even where they read as numbers.
    bool figure() const { return !id && (!format.isEmpty() || sum || (align & Qt::AlignRight)); }
};

struct NamedExpression {
    QString name;
    QString expression;
};

struct ReportTemplate {
    QString fileName;  // file name only, for messages

    // [page]
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMm = QMarginsF(15, 15, 15, 15);
    double fontSize = 10;
    double titleFontSize = 16;

    // [data]
    QString from;     // FROM text of the rows
    QString where;    // fixed condition of the rows
    QString order;    // ORDER BY text
    QString groupBy;  // GROUP BY text (summaries)
    QString header;   // FROM text of a document header (documents read from the book)
    QString linkLineField;    // the rows' field that holds the header's key
    QString linkHeaderField;  // the header's key field

    // [fields]: values of the document header, by name
    QVector<NamedExpression> fields;

    QVector<TextLine> pageHeader;   // [header]
    QVector<Column> columns;        // [columns]
    QString groupExpression;        // [group] by
    QVector<TextLine> groupHeader;  // [group] header
    QString groupFooterLabel;       // [group] footer
    bool hasTotal = false;          // [total]
    QString totalLabel;
    QStringList totalCells;         // [total] row: texts by column ("" = the sum or nothing)
    QVector<TextLine> summary;      // [summary]
    QVector<TextLine> pageFooter;   // [footer]

    bool hasHeader() const { return !header.isEmpty(); }
    bool hasGroup() const { return !groupExpression.isEmpty(); }
    QPageLayout pageLayout() const;
};

// Reads a template text; on failure returns false and puts the reason
// (with its line number) into error.
bool parseTemplate(const QString &text, ReportTemplate &out, QString *error);

// Reads a template file (UTF-8, else GB18030).
bool loadTemplate(const QString &path, ReportTemplate &out, QString *error);

// The existing file whose name equals path's file name without regard to
// letter case, in path's folder; "" when there is none. Templates are named
// by the windows in more than one spelling ("prnTa4.rpt" / "PrnTa4.rpt").
QString findFileIgnoringCase(const QString &path);

} // namespace report
