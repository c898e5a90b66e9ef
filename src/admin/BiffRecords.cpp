#include "BiffRecords.h"

#include <QtEndian>

namespace admin::biff {

namespace {

constexpr quint16 kContinue = 0x003C;

} // namespace

bool Records::seek(qint64 offset)
{
    if (offset < 0 || offset >= stream_.size())
        return false;
    pos_ = offset;
    return true;
}

bool Records::next(Record &record)
{
    if (pos_ + 4 > stream_.size()) {
        damaged_ = pos_ != stream_.size();
        return false;
    }
    record.type = qFromLittleEndian<quint16>(stream_.constData() + pos_);
    const quint16 length = qFromLittleEndian<quint16>(stream_.constData() + pos_ + 2);
    if (pos_ + 4 + length > stream_.size()) {
        damaged_ = true;
        return false;
    }
    record.data = QByteArrayView(stream_.constData() + pos_ + 4, length);
    pos_ += 4 + length;
    return true;
}

bool Records::nextOfType(quint16 type, Record &record)
{
    const qint64 at = pos_;
    if (next(record) && record.type == type)
        return true;
    pos_ = at;
    return false;
}

QVector<QByteArrayView> Records::continues()
{
    QVector<QByteArrayView> pieces;
    Record r;
    while (nextOfType(kContinue, r))
        pieces << r.data;
    return pieces;
}

quint16 u16(QByteArrayView data, qsizetype at) { return qFromLittleEndian<quint16>(data.data() + at); }

quint32 u32(QByteArrayView data, qsizetype at) { return qFromLittleEndian<quint32>(data.data() + at); }

QString unicodeChars(QByteArrayView bytes, bool wide)
{
    if (!wide)
        return QString::fromLatin1(bytes);
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(u16(bytes, 2 * i));
    return text;
}

QString errorText(int code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#ERROR!");
    }
}

qsizetype ContinuedBytes::available()
{
    while (piece_ < pieces_.size() && pos_ >= pieces_[piece_].size()) {
        ++piece_;
        pos_ = 0;
    }
    return piece_ < pieces_.size() ? pieces_[piece_].size() - pos_ : 0;
}

bool ContinuedBytes::atEnd() { return available() == 0; }

bool ContinuedBytes::skip(qint64 count)
{
    while (count > 0) {
        const qsizetype left = available();
        if (left == 0)
            return false;
        const qsizetype step = qsizetype(qMin<qint64>(count, left));
        pos_ += step;
        count -= step;
    }
    return true;
}

std::optional<quint8> ContinuedBytes::byte()
{
    if (available() == 0)
        return {};
    return quint8(pieces_[piece_][pos_++]);
}

std::optional<quint16> ContinuedBytes::word()
{
    const std::optional<quint8> low = byte();
    const std::optional<quint8> high = byte();
    if (!low || !high)
        return {};
    return quint16(*low | (*high << 8));
}

std::optional<quint32> ContinuedBytes::dword()
{
    const std::optional<quint16> low = word();
    const std::optional<quint16> high = word();
    if (!low || !high)
        return {};
    return quint32(*low) | (quint32(*high) << 16);
}

std::optional<QString> ContinuedBytes::unicodeString()
{
    const std::optional<quint16> count = word();
    const std::optional<quint8> flags = byte();
    if (!count || !flags)
        return {};
    std::optional<quint16> runs = quint16(0);
    std::optional<quint32> phonetic = quint32(0);
    if (*flags & 0x08)
        runs = word();
    if (*flags & 0x04)
        phonetic = dword();
    if (!runs || !phonetic)
        return {};
    std::optional<QString> text = chars(*count, *flags & 0x01);
    if (!text || !skip(qint64(*runs) * 4) || !skip(*phonetic))
        return {};
    return text;
}

std::optional<QString> ContinuedBytes::chars(int count, bool wide)
{
    QString text;
    text.reserve(count);
    qsizetype piece = piece_;
    while (text.size() < count) {
        qsizetype left = available();
        if (left == 0)
            return {};
        if (piece_ != piece) {
            // The characters go on in a new piece: it opens with its own flag byte.
            piece = piece_;
            wide = pieces_[piece_][pos_++] & 0x01;
            continue;
        }
        const int width = wide ? 2 : 1;
        const qsizetype take = qMin<qsizetype>(count - text.size(), left / width);
        if (take == 0)
            return {};  // half a character at the end of a piece
        text += unicodeChars(pieces_[piece_].sliced(pos_, take * width), wide);
        pos_ += take * width;
    }
    return text;
}

} // namespace admin::biff
