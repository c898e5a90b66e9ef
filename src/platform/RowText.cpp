#include "RowText.h"

#include "platform/NumberText.h"

#include <algorithm>

QChar *RowText::extend(qsizetype n)
{
    // resize() leaves the new characters as they are: they are written next.
    if (length_ + n > text_.size())
        text_.resize(std::max(2 * text_.size(), length_ + n));
    return text_.data() + length_;
}

void RowText::endCell(const QChar *end)
{
    length_ = end - text_.constData();
    ends_.append(int(length_));
}

void RowText::addUtf8(QByteArrayView utf8)
{
    // UTF-8 never takes fewer bytes than UTF-16 takes units (an invalid
    // byte becomes one replacement character), so size() is room enough.
    QChar *out = extend(utf8.size());
    // Codes, numbers and units are plain ASCII, widened here; any other
    // cell goes through the decoder whole (it drops a leading byte-order
    // mark only, as fromUtf8 does).
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return uchar(c) < 0x80; }))
        out = std::transform(utf8.begin(), utf8.end(), out, [](char c) { return QLatin1Char(c); });
    else
        out = utf8_.appendToBuffer(out, utf8);
    endCell(out);
}

void RowText::addNumber(double value)
{
    const numtext::NumberChars chars = numtext::numToChars(value);
    const QLatin1StringView digits = chars.view();
    QChar *out = extend(int(digits.size()));
    for (const char digit : digits)
        *out++ = QLatin1Char(digit);
    endCell(out);
}

void RowText::add(QStringView text)
{
    QChar *out = extend(text.size());
    endCell(std::copy(text.begin(), text.end(), out));
}

void RowText::appendTo(TextRows &rows)
{
    rows.appendJoined(QStringView(text_.constData(), length_), ends_.data(), int(ends_.size()));
    length_ = 0;
    ends_.clear();
}
