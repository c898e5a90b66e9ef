#include "TextRows.h"

#include <QStringDecoder>

#include <algorithm>

void TextRows::append(const QStringList &cells)
{
    const int n = qMin(cols_, int(cells.size()));
    qsizetype length = 0;
    for (int c = 0; c < n; ++c)
        length += cells[c].size();
    QString text;
    text.reserve(length);
    for (int c = 0; c < n; ++c) {
        text.append(cells[c]);
        ends_.append(int(text.size()));
    }
    for (int c = n; c < cols_; ++c)
        ends_.append(int(text.size()));
    texts_.append(std::move(text));
}

void TextRows::appendJoined(QStringView text, const int *ends, int count)
{
    const int n = qMin(cols_, count);
    const int length = n > 0 ? ends[n - 1] : 0;
    for (int c = 0; c < n; ++c)
        ends_.append(ends[c]);
    for (int c = n; c < cols_; ++c)
        ends_.append(length);
    texts_.append(text.left(length).toString());
}

void TextRows::append(const TextRows &rows)
{
    if (rows.cols_ == cols_) {
        texts_.append(rows.texts_);
        ends_.append(rows.ends_);
        return;
    }
    for (int r = 0; r < rows.size(); ++r)
        append(rows.row(r));
}

void TextRows::reserve(int rows)
{
    texts_.reserve(rows);
    ends_.reserve(qsizetype(rows) * cols_);
}

QStringView TextRows::cell(int row, int col) const
{
    const qsizetype first = qsizetype(row) * cols_;
    const int start = col == 0 ? 0 : ends_[first + col - 1];
    return QStringView(texts_[row]).mid(start, ends_[first + col] - start);
}

QStringList TextRows::row(int row) const
{
    QStringList cells;
    cells.reserve(cols_);
    for (int c = 0; c < cols_; ++c)
        cells.append(cell(row, c).toString());
    return cells;
}

void TextRows::addCell(QStringView text)
{
    if (pendingEnds_.size() >= cols_)
        return;
    pending_.append(text);
    pendingEnds_.append(int(pending_.size()));
}

void TextRows::addCell(QLatin1StringView text)
{
    if (pendingEnds_.size() >= cols_)
        return;
    pending_.append(text);
    pendingEnds_.append(int(pending_.size()));
}

void TextRows::addUtf8Cell(QByteArrayView utf8)
{
    if (pendingEnds_.size() >= cols_)
        return;
    const qsizetype used = pending_.size();
    qsizetype ascii = 0;
    while (ascii < utf8.size() && uchar(utf8[ascii]) < 0x80)
        ++ascii;
    if (ascii == utf8.size()) {
        // Codes, numbers and dates: each byte is its character.
        pending_.resize(used + ascii);
        char16_t *out = reinterpret_cast<char16_t *>(pending_.data()) + used;
        for (qsizetype k = 0; k < ascii; ++k)
            out[k] = char16_t(uchar(utf8[k]));
    } else {
        // Stateless: each cell is decoded on its own, as fromUtf8 decodes it.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        pending_.resize(used + decoder.requiredSpace(utf8.size()));
        const QChar *end = decoder.appendToBuffer(pending_.data() + used, utf8);
        pending_.truncate(end - pending_.constData());
    }
    pendingEnds_.append(int(pending_.size()));
}

void TextRows::endRow()
{
    while (pendingEnds_.size() < cols_)
        pendingEnds_.append(int(pending_.size()));
    const qsizetype first = ends_.size();
    ends_.resize(first + cols_);
    std::copy(pendingEnds_.cbegin(), pendingEnds_.cend(), ends_.begin() + first);
    // A copy of its own length; the buffer keeps its room for the next row.
    texts_.append(QString(pending_.constData(), pending_.size()));
    pending_.truncate(0);
    pendingEnds_.clear();
}
