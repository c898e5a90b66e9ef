#include "TextRows.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

void TextRows::append(const QStringList &cells)
{
    for (const QString &cell : cells)
        addCell(cell);
    endRow();
}

// Rows of another column count are padded or cut to this one's.
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

void TextRows::append(TextRows &&rows)
{
    if (rows.cols_ != cols_) {
        append(std::as_const(rows));
        return;
    }
    texts_.append(std::move(rows.texts_));
    ends_.append(std::move(rows.ends_));
}

void TextRows::setCell(int row, int col, QStringView text)
{
    const qsizetype first = qsizetype(row) * cols_;
    const int start = col == 0 ? 0 : ends_[first + col - 1];
    const int delta = int(text.size()) - (ends_[first + col] - start);
    texts_[row].replace(start, ends_[first + col] - start, text.data(), text.size());
    for (int c = col; c < cols_; ++c)
        ends_[first + c] += delta;
}

void TextRows::insert(int at, const QStringList &cells)
{
    TextRows row(cols_);
    row.append(cells);
    texts_.insert(at, std::move(row.texts_.first()));
    ends_.insert(qsizetype(at) * cols_, cols_, 0);
    std::copy(row.ends_.cbegin(), row.ends_.cend(), ends_.begin() + qsizetype(at) * cols_);
}

void TextRows::removeAt(int row)
{
    texts_.removeAt(row);
    ends_.remove(qsizetype(row) * cols_, cols_);
}

void TextRows::resize(int count)
{
    texts_.resize(count);
    ends_.resize(qsizetype(count) * cols_);  // a new row's cells all end at 0
}

void TextRows::setCols(int cols)
{
    cols = qMax(1, cols);
    if (cols == cols_)
        return;
    QVector<int> ends;
    ends.reserve(texts_.size() * cols);
    for (int r = 0; r < size(); ++r) {
        const qsizetype first = qsizetype(r) * cols_;
        for (int c = 0; c < cols; ++c)
            ends.append(c < cols_ ? ends_[first + c] : ends.last());
        texts_[r].truncate(ends.last());
    }
    cols_ = cols;
    ends_ = std::move(ends);
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

namespace {

// Characters a decoder may treat apart: the byte-order mark and the
// noncharacters. Texts holding them take the general decoder.
bool isSpecialCharacter(char32_t c)
{
    return c == 0xFEFF || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

} // namespace

// Names, codes and dates are almost always plain, well-formed UTF-8: decoded
// here in one pass, without setting up a decoder for every cell.
QChar *TextRows::decodeWellFormedUtf8(QByteArrayView utf8, QChar *out)
{
    const auto *p = reinterpret_cast<const uchar *>(utf8.data());
    const uchar *const end = p + utf8.size();
    while (p < end) {
        // Codes and figures are ASCII: eight bytes at a time while they are.
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                out = std::transform(p, p + 8, out, [](uchar c) { return QLatin1Char(char(c)); });
                p += 8;
                continue;
            }
        }
        const uchar lead = *p;
        if (lead < 0x80) {
            *out++ = QLatin1Char(char(lead));
            ++p;
            continue;
        }
        char32_t c = 0;
        int following = 0;
        char32_t smallest = 0;  // below it the sequence is overlong
        if ((lead & 0xE0) == 0xC0) {
            c = lead & 0x1F, following = 1, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            c = lead & 0x0F, following = 2, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            c = lead & 0x07, following = 3, smallest = 0x10000;
        } else {
            return nullptr;
        }
        if (end - p <= following)
            return nullptr;
        for (int i = 1; i <= following; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return nullptr;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || isSpecialCharacter(c))
            return nullptr;
        p += following + 1;
        if (c >= 0x10000) {
            *out++ = QChar(QChar::highSurrogate(c));
            *out++ = QChar(QChar::lowSurrogate(c));
        } else {
            *out++ = QChar(char16_t(c));
        }
    }
    return out;
}

QChar *TextRows::extendPending(qsizetype n)
{
    // The characters resize() adds are left as they are: they are written next.
    if (pendingLength_ + n > pending_.size())
        pending_.resize(std::max(2 * pending_.size(), pendingLength_ + n));
    return pending_.data() + pendingLength_;
}

void TextRows::endPendingCell(const QChar *end)
{
    pendingLength_ = end - pending_.constData();
    pendingEnds_.append(int(pendingLength_));
}

void TextRows::addCell(QStringView text)
{
    if (pendingEnds_.size() >= cols_)
        return;
    endPendingCell(std::copy(text.begin(), text.end(), extendPending(text.size())));
}

void TextRows::addCell(QLatin1StringView text)
{
    if (pendingEnds_.size() >= cols_)
        return;
    endPendingCell(std::transform(text.begin(), text.end(), extendPending(text.size()),
                                  [](char c) { return QLatin1Char(c); }));
}

void TextRows::addUtf8Cell(QByteArrayView utf8)
{
    if (pendingEnds_.size() >= cols_)
        return;
    // UTF-8 never takes fewer bytes than UTF-16 takes units (an invalid byte
    // becomes one replacement character), so its size is room enough.
    QChar *out = extendPending(utf8.size());
    QChar *end = decodeWellFormedUtf8(utf8, out);
    if (!end) {
        // Stateless: each cell is decoded on its own, as fromUtf8 decodes it
        // (a leading byte-order mark dropped, a broken sequence replaced).
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        end = decoder.appendToBuffer(out, utf8);
    }
    endPendingCell(end);
}

void TextRows::endRow()
{
    while (pendingEnds_.size() < cols_)
        pendingEnds_.append(int(pendingLength_));
    const qsizetype first = ends_.size();
    ends_.resize(first + cols_);
    std::copy(pendingEnds_.cbegin(), pendingEnds_.cend(), ends_.begin() + first);
    // A copy of its own length; the buffer keeps its room for the next row.
    texts_.append(QString(pending_.constData(), pendingLength_));
    pendingLength_ = 0;
    pendingEnds_.clear();
}
