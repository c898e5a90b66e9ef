#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>

#include "BiffWriter.h"

#include <QFile>
#include <QtEndian>

namespace biffwrite {

QByteArray le16(quint16 value)
{
    QByteArray bytes(2, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray f64(double value)
{
    QByteArray bytes(8, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray record(quint16 type, const QByteArray &data) { return le16(type) + le16(quint16(data.size())) + data; }

QByteArray piece(const QString &chars, bool wide)
{
    QByteArray bytes(1, wide ? 1 : 0);
    for (QChar ch : chars)
        bytes += wide ? le16(ch.unicode()) : QByteArray(1, char(ch.unicode()));
    return bytes;
}

QByteArray unicodeString(const QString &text)
{
    bool wide = false;
    for (QChar ch : text)
        wide = wide || ch.unicode() > 0xFF;
    return le16(quint16(text.size())) + piece(text, wide);
}

QByteArray marker(char kind, char value)
{
    const char bytes[8] = {kind, 0, value, 0, 0, 0, '\xff', '\xff'};
    return QByteArray(bytes, 8);
}

quint32 rkInteger(qint32 value) { return (quint32(value) << 2) | 0x02; }

Workbook &Workbook::global(quint16 type, const QByteArray &data)
{
    globals_ += biffwrite::record(type, data);
    return *this;
}

Workbook &Workbook::cellFormat(quint16 formatIndex)
{
    ++xfs_;
    return global(0x00E0, le16(0) + le16(formatIndex) + QByteArray(biff5_ ? 12 : 16, 0));
}

Workbook &Workbook::dateFormat(quint16 index, const QString &text)
{
    const QByteArray spelt = biff5_ ? QByteArray(1, char(text.size())) + text.toLatin1() : unicodeString(text);
    global(0x041E, le16(index) + spelt);
    return cellFormat(index);
}

Workbook &Workbook::sharedStrings(const QStringList &strings)
{
    const int limit = 8224;
    QByteArray data = le32(quint32(strings.size())) + le32(quint32(strings.size()));
    quint16 type = 0x00FC;
    const auto nextRecord = [&] {
        global(type, data);
        type = 0x003C;
        data.clear();
    };
    for (const QString &text : strings) {
        QByteArray bytes = unicodeString(text);
        if (data.size() + bytes.size() > limit)
            nextRecord();
        if (bytes.size() <= limit) {
            data += bytes;
            continue;
        }
        // Longer than a record holds: its characters go on in CONTINUE
        // records, each opening with the flag byte again.
        const bool wide = bytes[2] & 1;
        const int width = wide ? 2 : 1;
        data += bytes.left(3);
        for (qsizetype at = 3; at < bytes.size();) {
            if (at > 3) {
                nextRecord();
                data += char(wide ? 1 : 0);
            }
            const qsizetype taken = qMin(bytes.size() - at, qsizetype((limit - data.size()) / width * width));
            data += bytes.mid(at, taken);
            at += taken;
        }
    }
    return global(type, data);
}

Workbook &Workbook::sheet(const QString &name, char type)
{
    sheets_.append({name, type, {}});
    return *this;
}

Workbook &Workbook::record(quint16 type, const QByteArray &data)
{
    if (sheets_.isEmpty())
        sheet(QStringLiteral("Sheet1"));
    sheets_.last().records += biffwrite::record(type, data);
    return *this;
}

QByteArray Workbook::cell(int row, int col, quint16 xf) const { return le16(quint16(row)) + le16(quint16(col)) + le16(xf); }

Workbook &Workbook::number(int row, int col, double value, quint16 xf) { return record(0x0203, cell(row, col, xf) + f64(value)); }

Workbook &Workbook::label(int row, int col, const QString &text)
{
    const QByteArray chars = biff5_ ? le16(quint16(text.size())) + text.toLatin1() : unicodeString(text);
    return record(0x0204, cell(row, col, 15) + chars);
}

Workbook &Workbook::labelSst(int row, int col, quint32 index) { return record(0x00FD, cell(row, col, 15) + le32(index)); }

Workbook &Workbook::boolErr(int row, int col, quint8 value, bool error)
{
    return record(0x0205, cell(row, col, 15) + char(value) + char(error ? 1 : 0));
}

Workbook &Workbook::rk(int row, int col, quint32 rk, quint16 xf) { return record(0x027E, cell(row, col, xf) + le32(rk)); }

Workbook &Workbook::mulRk(int row, int firstCol, const QVector<quint32> &rks, quint16 xf)
{
    QByteArray data = le16(quint16(row)) + le16(quint16(firstCol));
    for (quint32 rk : rks)
        data += le16(xf) + le32(rk);
    return record(0x00BD, data + le16(quint16(firstCol + rks.size() - 1)));
}

Workbook &Workbook::blank(int row, int col) { return record(0x0201, cell(row, col, 15)); }

Workbook &Workbook::formula(int row, int col, const QByteArray &result, quint16 xf, quint16 type)
{
    return record(type, cell(row, col, xf) + result + le16(0) + QByteArray(4, 0) + le16(3) + QByteArray("\x1e\x01\x00", 3));
}

Workbook &Workbook::dimensions(quint32 rows, quint16 cols)
{
    return record(0x0200, biff5_ ? le16(0) + le16(quint16(rows)) + le16(0) + le16(cols) + le16(0)
                                 : le32(0) + le32(rows) + le16(0) + le16(cols) + le16(0));
}

QByteArray Workbook::bof(quint16 kind) const
{
    return biffwrite::record(0x0809, biff5_ ? le16(0x0500) + le16(kind) + le16(0x0DBB) + le16(0x07CC)
                                 : le16(0x0600) + le16(kind) + le16(0x0DBB) + le16(0x07CC) + QByteArray(8, 0));
}

QByteArray Workbook::boundSheet(quint32 offset, char type, const QString &name) const
{
    const QByteArray spelt = biff5_ ? name.toLatin1() : piece(name, true);
    return biffwrite::record(0x0085, le32(offset) + char(0) + type + char(name.size()) + spelt);
}

QByteArray Workbook::stream() const
{
    const QByteArray eof = biffwrite::record(0x000A, {});
    qsizetype offset = bof(0x0005).size() + globals_.size() + eof.size();
    for (const Sheet &s : sheets_)
        offset += boundSheet(0, s.type, s.name).size();
    QByteArray globals = bof(0x0005) + globals_;
    QByteArray sheets;
    for (const Sheet &s : sheets_) {
        globals += boundSheet(quint32(offset + sheets.size()), s.type, s.name);
        sheets += bof(s.type == 2 ? 0x0020 : 0x0010) + s.records + eof;
    }
    return globals + eof + sheets;
}

QByteArray sharedTextWorkbook(const QString &sheet, int rows, const QString &text)
{
    Workbook book;
    book.sharedStrings({QStringLiteral("编码"), text}).sheet(sheet).labelSst(0, 0, 0);
    for (int row = 1; row <= rows; ++row)
        book.labelSst(row, 0, 1);
    return book.stream();
}

QByteArray lastColumnWorkbook(const QString &sheet, int rows)
{
    Workbook book;
    book.sheet(sheet).dimensions(65536, 256).label(0, 0, QStringLiteral("编码"));
    for (int row = 1; row <= rows; ++row)
        book.label(row, 255, QStringLiteral("G%1").arg(row, 6, 10, QLatin1Char('0')));
    return book.stream();
}

bool writeCompoundFile(const QString &path, const QByteArray &stream, const char *streamName)
{
    return writeCompoundFile(path, {{streamName, stream}});
}

bool writeCompoundFile(const QString &path, const QVector<std::pair<const char *, QByteArray>> &streams)
{
    GsfOutput *file = gsf_output_stdio_new(QFile::encodeName(path).constData(), nullptr);
    if (!file)
        return false;
    GsfOutfile *compound = gsf_outfile_msole_new(file);
    bool written = true;
    for (const auto &[name, stream] : streams) {
        GsfOutput *child = gsf_outfile_new_child(compound, name, FALSE);
        written = gsf_output_write(child, size_t(stream.size()), reinterpret_cast<const guint8 *>(stream.constData()))
            && written;
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(compound));
    g_object_unref(compound);
    g_object_unref(file);
    return written;
}

} // namespace biffwrite
