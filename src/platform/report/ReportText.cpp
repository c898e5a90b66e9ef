#include "ReportText.h"

#include <QFontMetricsF>
#include <QImage>

#include <map>
#include <memory>

namespace report {

namespace {

// A device of 72 dots per inch: one dot is one point.
const QImage &pointDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_Mono);
        image.setDotsPerMeterX(2835);  // 72 dots per inch
        image.setDotsPerMeterY(2835);
        return image;
    }();
    return device;
}

// Chinese, Japanese and Korean characters and the full-width forms: a line
// may break beside any of them.
bool isWide(char16_t c)
{
    return c >= 0x2E80 && !QChar::isSurrogate(c);
}

// Punctuation that a line does not start with, and that it does not end with.
bool closesPhrase(char16_t c)
{
    return QStringView(u"，。、；：？！）》」』】〕…,.;:?!)]}%").contains(QChar(c));
}

bool opensPhrase(char16_t c)
{
    return QStringView(u"（《「『【〔([{").contains(QChar(c));
}

// May a line end before text[i]?
bool mayBreakBefore(QStringView text, qsizetype i)
{
    const char16_t before = text[i - 1].unicode();
    const char16_t at = text[i].unicode();
    if (QChar::isLowSurrogate(at) || closesPhrase(at) || opensPhrase(before))
        return false;
    if (before == u' ' || before == u'/' || before == u'-' || before == u'、' || before == u'，')
        return at != u' ';
    return isWide(before) || isWide(at);
}

qsizetype nextCharacter(QStringView text, qsizetype i)
{
    return i + (QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size() ? 2 : 1);
}

// As much of text as fits width with "…" after it.
QString cutShort(QStringView text, double width, const TextWidths &widths)
{
    const QString ellipsis(QChar(0x2026));
    const double room = width - widths.width(ellipsis);
    double used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype next = nextCharacter(text, end);
        const double w = widths.width(text.sliced(end, next - end));
        if (used + w > room)
            break;
        used += w;
        end = next;
    }
    return text.first(end).trimmed().toString() + ellipsis;
}

} // namespace

QFont reportFont(double points, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("Noto Sans CJK")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

TextWidths::TextWidths(double points, bool bold)
    : font_(reportFont(points, bold), &pointDevice()), advances_(0x10000, -1.0f)
{
    lineSpacing_ = QFontMetricsF(font_, &pointDevice()).lineSpacing();
}

const TextWidths &TextWidths::of(double points, bool bold)
{
    // Kept to the end of the run (fonts are not released after the
    // application object is gone).
    static auto *kept = new std::map<std::pair<int, bool>, std::unique_ptr<TextWidths>>;
    std::unique_ptr<TextWidths> &widths = (*kept)[{qRound(points * 100), bold}];
    if (!widths)
        widths.reset(new TextWidths(points, bold));
    return *widths;
}

double TextWidths::advance(char16_t c) const
{
    float &a = advances_[c];
    if (a < 0)
        a = float(QFontMetricsF(font_, &pointDevice()).horizontalAdvance(QChar(c)));
    return a;
}

double TextWidths::width(QStringView text) const
{
    double w = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size()) {
            w += QFontMetricsF(font_, &pointDevice()).horizontalAdvance(text.sliced(i, 2).toString());
            ++i;
        } else {
            w += advance(c);
        }
    }
    return w;
}

// Decoded in place: a cell of a long list is measured without making a
// string of it.
double TextWidths::width(QByteArrayView utf8) const
{
    double w = 0;
    const auto *b = reinterpret_cast<const unsigned char *>(utf8.data());
    const qsizetype n = utf8.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char lead = b[i];
        if (lead < 0x80) {
            w += advance(lead);
            ++i;
        } else if ((lead & 0xE0) == 0xC0 && i + 1 < n) {
            w += advance(char16_t(((lead & 0x1F) << 6) | (b[i + 1] & 0x3F)));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0 && i + 2 < n) {
            w += advance(char16_t(((lead & 0x0F) << 12) | ((b[i + 1] & 0x3F) << 6) | (b[i + 2] & 0x3F)));
            i += 3;
        } else {
            // Characters beyond the first plane, and bytes that are no UTF-8.
            qsizetype end = i + 1;
            while (end < n && (b[end] & 0xC0) == 0x80)
                ++end;
            w += width(QStringView(QString::fromUtf8(utf8.sliced(i, end - i))));
            i = end;
        }
    }
    return w;
}

QStringList wrapText(const QString &whole, double width, const TextWidths &widths, int maxLines)
{
    QString flat = whole;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QStringView text(flat);
    const qsizetype n = text.size();
    QStringList lines;
    qsizetype start = 0;
    while (start < n) {
        while (start < n && text[start] == u' ')
            ++start;
        if (start >= n)
            break;
        const QStringView rest = text.sliced(start);
        if (lines.size() + 1 >= qMax(1, maxLines)) {
            lines.append(widths.width(rest) <= width ? rest.toString() : cutShort(rest, width, widths));
            break;
        }
        double used = 0;
        qsizetype end = start;
        qsizetype lastBreak = -1;
        while (end < n) {
            const qsizetype next = nextCharacter(text, end);
            const double w = widths.width(text.sliced(end, next - end));
            if (end > start && used + w > width)
                break;
            if (end > start && mayBreakBefore(text, end))
                lastBreak = end;
            used += w;
            end = next;
        }
        if (end < n && !mayBreakBefore(text, end) && lastBreak > start)
            end = lastBreak;
        lines.append(text.sliced(start, end - start).trimmed().toString());
        start = end;
    }
    return lines;
}

} // namespace report
