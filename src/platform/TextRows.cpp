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

namespace {

// Characters per block: large enough that a list of many thousands of rows
// takes a few hundred allocations, small enough that the last block's unused
// room stays small beside the list.
constexpr qsizetype kBlockChars = 16 * 1024;

const QChar kNoCharacters[1] = {};

} // namespace

const QChar *TextRows::rowText(int row) const
{
    const RowPlace place = places_[row];
    return place.block < 0 ? kNoCharacters : blocks_[place.block].constData() + place.start;
}

TextRows::RowPlace TextRows::store(const QChar *text, qsizetype length)
{
    if (length == 0)
        return {};
    if (blocks_.isEmpty() || lastBlockUsed_ + length > blocks_.last().size()) {
        blocks_.append(QString(std::max(kBlockChars, length), Qt::Uninitialized));
        lastBlockUsed_ = 0;
    }
    // data() gives this rows' own copy of a block shared with a copy of them.
    std::copy(text, text + length, blocks_.last().data() + lastBlockUsed_);
    const RowPlace place{int(blocks_.size() - 1), int(lastBlockUsed_)};
    lastBlockUsed_ += length;
    storedChars_ += length;
    return place;
}

void TextRows::compactIfWasteful()
{
    if (unusedChars_ < kBlockChars || 2 * unusedChars_ < storedChars_)
        return;
    TextRows fresh(cols_);
    fresh.places_.reserve(places_.size());
    for (int r = 0; r < size(); ++r)
        fresh.places_.append(fresh.store(rowText(r), rowLength(r)));
    places_ = std::move(fresh.places_);
    blocks_ = std::move(fresh.blocks_);
    lastBlockUsed_ = fresh.lastBlockUsed_;
    storedChars_ = fresh.storedChars_;
    unusedChars_ = 0;
}

// Rows of another column count are padded or cut to this one's.
void TextRows::append(const TextRows &rows)
{
    if (rows.cols_ != cols_) {
        for (int r = 0; r < rows.size(); ++r)
            append(rows.row(r));
        return;
    }
    if (&rows == this) {
        append(TextRows(rows));
        return;
    }
    // The appended rows keep their blocks (shared, not copied); this rows'
    // last block keeps its unused room.
    const int firstBlock = int(blocks_.size());
    places_.reserve(places_.size() + rows.places_.size());
    for (const RowPlace &place : rows.places_)
        places_.append(place.block < 0 ? place : RowPlace{place.block + firstBlock, place.start});
    ends_.append(rows.ends_);
    if (!rows.blocks_.isEmpty()) {
        blocks_.append(rows.blocks_);
        lastBlockUsed_ = rows.lastBlockUsed_;
    }
    storedChars_ += rows.storedChars_;
    unusedChars_ += rows.unusedChars_;
}

void TextRows::append(TextRows &&rows)
{
    if (isEmpty() && rows.cols_ == cols_ && pendingEnds_.isEmpty()) {
        places_ = std::move(rows.places_);
        ends_ = std::move(rows.ends_);
        blocks_ = std::move(rows.blocks_);
        lastBlockUsed_ = rows.lastBlockUsed_;
        storedChars_ = rows.storedChars_;
        unusedChars_ = rows.unusedChars_;
        rows.places_.clear();
        rows.ends_.clear();
        rows.blocks_.clear();
        rows.lastBlockUsed_ = rows.storedChars_ = rows.unusedChars_ = 0;
        return;
    }
    append(std::as_const(rows));
}

void TextRows::setCell(int row, int col, QStringView text)
{
    const qsizetype first = qsizetype(row) * cols_;
    const int start = col == 0 ? 0 : ends_[first + col - 1];
    const int end = ends_[first + col];
    const int length = rowLength(row);
    const int delta = int(text.size()) - (end - start);
    // The row is written anew: text may lie in the blocks itself.
    QVarLengthArray<QChar, 256> joined;
    joined.reserve(length + delta);
    const QChar *old = rowText(row);
    joined.append(old, start);
    joined.append(text.data(), text.size());
    joined.append(old + end, length - end);
    dropRowText(row);
    places_[row] = store(joined.constData(), joined.size());
    for (int c = col; c < cols_; ++c)
        ends_[first + c] += delta;
    compactIfWasteful();
}

void TextRows::insert(int at, const QStringList &cells)
{
    TextRows row(cols_);
    row.append(cells);
    places_.insert(at, store(row.rowText(0), row.rowLength(0)));
    ends_.insert(qsizetype(at) * cols_, cols_, 0);
    std::copy(row.ends_.cbegin(), row.ends_.cend(), ends_.begin() + qsizetype(at) * cols_);
}

void TextRows::removeAt(int row)
{
    dropRowText(row);
    places_.removeAt(row);
    ends_.remove(qsizetype(row) * cols_, cols_);
    compactIfWasteful();
}

void TextRows::resize(int count)
{
    for (int r = count; r < size(); ++r)
        dropRowText(r);
    places_.resize(count);
    ends_.resize(qsizetype(count) * cols_);  // a new row's cells all end at 0
    compactIfWasteful();
}

void TextRows::setCols(int cols)
{
    cols = qMax(1, cols);
    if (cols == cols_)
        return;
    QVector<int> ends;
    ends.reserve(places_.size() * cols);
    for (int r = 0; r < size(); ++r) {
        const qsizetype first = qsizetype(r) * cols_;
        for (int c = 0; c < cols; ++c)
            ends.append(c < cols_ ? ends_[first + c] : ends.last());
        unusedChars_ += rowLength(r) - ends.last();
    }
    cols_ = cols;
    ends_ = std::move(ends);
    compactIfWasteful();
}

void TextRows::reserve(int rows)
{
    places_.reserve(rows);
    ends_.reserve(qsizetype(rows) * cols_);
}

QStringView TextRows::cell(int row, int col) const
{
    const qsizetype first = qsizetype(row) * cols_;
    const int start = col == 0 ? 0 : ends_[first + col - 1];
    return QStringView(rowText(row) + start, ends_[first + col] - start);
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
    // The buffer keeps its room for the next row.
    places_.append(store(pending_.constData(), pendingLength_));
    pendingLength_ = 0;
    pendingEnds_.clear();
}
