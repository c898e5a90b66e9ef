#pragma once

#include "platform/TextRows.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringView>
#include <QVarLengthArray>

// One row of cell texts gathered into a buffer that is reused from row to
// row, then appended to TextRows as one string: a long list filled this way
// costs one allocation per row and no string per cell.
class RowText {
public:
    // A cell from UTF-8 bytes, decoded as QString::fromUtf8 decodes them.
    void addUtf8(QByteArrayView utf8);
    // A cell holding numtext::numToText(value).
    void addNumber(double value);
    void add(QStringView text);

    // Appends the cells added since the last call to rows as one row.
    void appendTo(TextRows &rows);

private:
    // Room for n more characters at the end of the row; returns where they go.
    QChar *extend(qsizetype n);
    void endCell(const QChar *end);

    QStringDecoder utf8_{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
    QString text_;  // its capacity is kept from row to row
    qsizetype length_ = 0;
    QVarLengthArray<int, 16> ends_;
};
