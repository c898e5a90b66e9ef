#include "ReportWorkbook.h"

#include "ExportFile.h"

#include <QFile>
#include <QHash>
#include <xlsxwriter.h>

namespace report {

namespace {

// A printed number: optional sign, digits with thousands commas, decimals.
bool readNumber(const QString &text, double *value, int *decimals, bool *thousands)
{
    QString plain = text.trimmed();
    if (plain.isEmpty())
        return false;
    *thousands = plain.contains(QLatin1Char(','));
    plain.remove(QLatin1Char(','));
    bool ok = false;
    *value = plain.toDouble(&ok);
    if (!ok || plain.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return false;
    const int point = plain.indexOf(QLatin1Char('.'));
    *decimals = point < 0 ? 0 : int(plain.size() - point - 1);
    return true;
}

// Display width of a text in sheet characters (a Chinese character is two).
int textWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() < 0x2E80 ? 1 : 2;
    return width;
}

class SheetWriter {
public:
    SheetWriter(lxw_workbook *book, const FilledReport &report)
        : book_(book), report_(report), sheet_(workbook_add_worksheet(book, nullptr))
    {
        bold_ = workbook_add_format(book);
        format_set_bold(bold_);
        title_ = workbook_add_format(book);
        format_set_bold(title_);
        format_set_font_size(title_, 14);
        caption_ = workbook_add_format(book);
        format_set_bold(caption_);
        format_set_align(caption_, LXW_ALIGN_CENTER);
        format_set_border(caption_, LXW_BORDER_THIN);
        widths_.fill(0, report.captions.size());
    }

    void write(const PageProgress &progress)
    {
        if (!report_.pages.isEmpty()) {
            const ReportPage first = report_.pages.first();
            for (const ReportLine &line : first.header)
                writeLine(line);
        }
        const int pages = report_.pages.size();
        for (int p = 0; p < pages; ++p) {
            for (const ReportLine &line : report_.pages[p].body)
                writeLine(line);
            if (progress)
                progress(p + 1, pages);
        }
        for (int c = 0; c < widths_.size(); ++c)
            worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), qBound(6, widths_[c] + 2, 60), nullptr);
    }

private:
    void writeLine(const ReportLine &line)
    {
        switch (line.kind) {
        case LineKind::Title:
        case LineKind::Text:
        case LineKind::GroupHeader: {
            QStringList parts;
            for (const QString &part : line.cells)
                if (!part.trimmed().isEmpty())
                    parts << part.trimmed();
            if (parts.isEmpty() && line.kind != LineKind::Text)
                return;
            if (!parts.isEmpty())
                text(0, parts.join(QStringLiteral("    ")), line.kind == LineKind::Title ? title_ : bold_);
            ++row_;
            return;
        }
        case LineKind::Captions:
            for (int c = 0; c < line.cells.size(); ++c)
                text(c, line.cells[c], caption_, true);
            ++row_;
            return;
        case LineKind::Detail:
        case LineKind::GroupTotal:
        case LineKind::Total: {
            const bool summary = line.kind != LineKind::Detail;
            for (int c = 0; c < line.cells.size(); ++c)
                cell(c, line.cells[c], summary);
            ++row_;
            return;
        }
        }
    }

    // Figures are written as numbers; identifiers ("001", a date) stay text.
    bool numericColumn(int c) const { return c < report_.layout.columns.size() && report_.layout.columns[c].figure(); }

    void cell(int c, const QString &value, bool summary)
    {
        double number = 0;
        int decimals = 0;
        bool thousands = false;
        if (numericColumn(c) && readNumber(value, &number, &decimals, &thousands)) {
            worksheet_write_number(sheet_, row_, lxw_col_t(c), number, numberFormat(decimals, thousands, summary));
            widths_[c] = qMax(widths_[c], textWidth(value));
            return;
        }
        text(c, value, summary ? bold_ : alignFormat(c), true);
    }

    lxw_format *alignFormat(int c)
    {
        if (c >= report_.layout.columns.size())
            return nullptr;
        const Qt::Alignment align = report_.layout.columns[c].align;
        if (align & Qt::AlignRight)
            return aligned(LXW_ALIGN_RIGHT);
        if (align & Qt::AlignHCenter)
            return aligned(LXW_ALIGN_CENTER);
        return nullptr;
    }

    lxw_format *aligned(uint8_t alignment)
    {
        lxw_format *&format = aligned_[alignment];
        if (!format) {
            format = workbook_add_format(book_);
            format_set_align(format, alignment);
        }
        return format;
    }

    lxw_format *numberFormat(int decimals, bool thousands, bool summary)
    {
        const QString key = QStringLiteral("%1/%2/%3").arg(decimals).arg(thousands).arg(summary);
        lxw_format *&format = numbers_[key];
        if (!format) {
            QString pattern = thousands ? QStringLiteral("#,##0") : QStringLiteral("0");
            if (decimals > 0)
                pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
            format = workbook_add_format(book_);
            format_set_num_format(format, pattern.toUtf8().constData());
            if (summary)
                format_set_bold(format);
        }
        return format;
    }

    void text(int c, const QString &value, lxw_format *format, bool counts = false)
    {
        if (value.isEmpty())
            return;
        worksheet_write_string(sheet_, row_, lxw_col_t(c), value.toUtf8().constData(), format);
        if (counts && c < widths_.size())
            widths_[c] = qMax(widths_[c], textWidth(value));
    }

    lxw_workbook *book_;
    const FilledReport &report_;
    lxw_worksheet *sheet_;
    lxw_format *bold_;
    lxw_format *title_;
    lxw_format *caption_;
    QHash<uint8_t, lxw_format *> aligned_;
    QHash<QString, lxw_format *> numbers_;
    QVector<int> widths_;
    lxw_row_t row_ = 0;
};

} // namespace

bool writeWorkbook(const FilledReport &report, const QString &path, QString *error, const PageProgress &progress)
{
    return exportWhole(path, error, [&](const QString &scratch) {
        // Each row goes to the file as soon as the next one starts, so memory
        // stays small however long the list; rows are written strictly in order.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *book = workbook_new_opt(QFile::encodeName(scratch).constData(), &options);
        if (!book)
            return false;
        SheetWriter(book, report).write(progress);
        return workbook_close(book) == LXW_NO_ERROR;
    });
}

} // namespace report
