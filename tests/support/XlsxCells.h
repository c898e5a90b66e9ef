#pragma once

// Reads back the cells of the first sheet of an .xlsx workbook: the sheet XML
// and the shared strings, inflated from the zip with zlib.
#include <QFile>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <QtEndian>
#include <zlib.h>

namespace xlsx {

// The entries of a zip file by name, inflated.
inline QHash<QString, QByteArray> unzip(const QString &path)
{
    QHash<QString, QByteArray> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray zip = file.readAll();
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(zip.constData() + at); };
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return entries;
    qsizetype at = u32(end + 16);
    for (int n = u16(end + 10); n > 0 && zip.mid(at, 4) == QByteArray("PK\x01\x02", 4); --n) {
        const quint16 method = u16(at + 10);
        const quint32 packed = u32(at + 20);
        const quint32 size = u32(at + 24);
        const QString name = QString::fromUtf8(zip.mid(at + 46, u16(at + 28)));
        const qsizetype local = u32(at + 42);
        const QByteArray data = zip.mid(local + 30 + u16(local + 26) + u16(local + 28), packed);
        at += 46 + u16(at + 28) + u16(at + 30) + u16(at + 32);
        if (method == 0) {
            entries.insert(name, data);
            continue;
        }
        QByteArray out(size, '\0');
        z_stream z{};
        inflateInit2(&z, -MAX_WBITS);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
        z.avail_in = uInt(data.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        const int result = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        if (result == Z_STREAM_END)
            entries.insert(name, out);
    }
    return entries;
}

// Cell texts of the first sheet by reference ("A1"); shared strings and texts
// kept in their cells alike, numbers as written in the XML. numbers, when given, receives the references
// of the cells that hold numbers (not texts).
inline QHash<QString, QString> sheetCells(const QString &path, QSet<QString> *numbers = nullptr)
{
    const QHash<QString, QByteArray> zip = unzip(path);
    QStringList shared;
    QXmlStreamReader strings(zip.value(QStringLiteral("xl/sharedStrings.xml")));
    while (!strings.atEnd())
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == QLatin1String("si"))
            shared << strings.readElementText(QXmlStreamReader::IncludeChildElements);
    QHash<QString, QString> cells;
    QXmlStreamReader sheet(zip.value(QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    QString type;
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (sheet.name() == QLatin1String("c")) {
            ref = sheet.attributes().value(QLatin1String("r")).toString();
            type = sheet.attributes().value(QLatin1String("t")).toString();
        } else if (sheet.name() == QLatin1String("is")) {  // a text kept in its cell
            cells.insert(ref, sheet.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (sheet.name() == QLatin1String("v")) {
            const QString value = sheet.readElementText();
            cells.insert(ref, type == QLatin1String("s") ? shared.value(value.toInt()) : value);
            if (numbers && (type.isEmpty() || type == QLatin1String("n")))
                numbers->insert(ref);
        }
    }
    return cells;
}

} // namespace xlsx
