#include "CellDates.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace admin {

namespace {

// The built-in date and time formats, Chinese and Japanese ones included, by
// index. 34, 35, 55 and 56 show a time of day in Chinese Excel and a date in
// Japanese Excel: the serial tells which it is.
DateShape builtInShape(int index)
{
    switch (index) {
    case 14: case 15: case 16: case 17:
    case 27: case 28: case 29: case 30: case 31: case 36:
    case 50: case 51: case 52: case 53: case 54: case 57: case 58:
        return DateShape::Date;
    case 18: case 19: case 20: case 21: case 32: case 33:
    case 45: case 47:
        return DateShape::Time;
    case 46:
        return DateShape::Elapsed;
    case 34: case 35: case 55: case 56:
        return DateShape::DateOrTime;
    case 22:
        return DateShape::DateTime;
    default:
        return DateShape::None;
    }
}

// The serial in whole seconds, rounded half up on the exact value of the
// double, as the spreadsheet shows a time: neither the product
// serial * 86400 (itself rounded, it can land on a half second the serial
// stays below) nor the serial's shortest decimal text (which can stay below a
// half second the serial reaches) tells it. The serial is mantissa * 2^exp
// exactly; mantissa * 86400 fits 71 bits. The caller keeps the serial below
// 2^22.
qint64 roundedSeconds(double serial)
{
    int exponent = 0;
    const double fraction = std::frexp(serial, &exponent);
    const auto mantissa = quint64(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;  // serial = mantissa / 2^shift
    if (shift >= 100)
        return 0;  // below 2^-30 seconds
    const unsigned __int128 scaled = (unsigned __int128)mantissa * 86400;
    if (shift <= 0)
        return qint64(scaled << -shift);
    return qint64((scaled + ((unsigned __int128)1 << (shift - 1))) >> shift);
}

} // namespace

DateShape dateShapeOf(int formatIndex, const QString &formatText)
{
    if (formatText.isEmpty())
        return builtInShape(formatIndex);
    // The letters of the format's first section outside quoted texts, escaped
    // characters and bracketed parts (colours, conditions, locales; elapsed
    // [h] [m] [s] are a span of time, counted past a day).
    bool date = false, time = false, minute = false, elapsed = false;
    for (qsizetype i = 0; i < formatText.size(); ++i) {
        const QChar c = formatText[i].toLower();
        if (c == QLatin1Char(';'))
            break;
        if (c == QLatin1Char('"')) {
            i = formatText.indexOf(QLatin1Char('"'), i + 1);
            if (i < 0)
                break;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = formatText.indexOf(QLatin1Char(']'), i);
            const QString inside = formatText.mid(i + 1, close - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside[0]) == inside.size()
                && QStringLiteral("hms").contains(inside[0]))
                elapsed = true;
            if (close < 0)
                break;
            i = close;
        } else if (c == QLatin1Char('y') || c == QLatin1Char('d')) {
            date = true;
        } else if (c == QLatin1Char('h') || c == QLatin1Char('s')) {
            time = true;
        } else if (c == QLatin1Char('m')) {
            minute = true;
        }
    }
    // "m" alone is a month; beside hours or seconds it is the minutes.
    date = date || (minute && !time && !elapsed);
    if (elapsed && !date)
        return DateShape::Elapsed;
    time = time || elapsed;
    if (date && time)
        return DateShape::DateTime;
    return date ? DateShape::Date : time ? DateShape::Time : DateShape::None;
}

QString dateText(double serial, DateShape shape, bool base1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    // Whole seconds, rounded; the 1900 base counts a day 1900-02-29 that never was.
    const qint64 seconds = roundedSeconds(serial);
    const qint64 days = seconds / 86400;
    const QDate base = base1904 ? QDate(1904, 1, 1) : days < 61 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    const QDate date = base.addDays(days);
    if (date.year() > 9999)
        return {};  // past the last day a workbook holds, in either date base
    const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
    const QString clock = QTime(0, 0).addSecs(int(seconds % 86400)).toString(QStringLiteral("HH:mm:ss"));
    if (shape == DateShape::DateOrTime)
        shape = days == 0 ? DateShape::Time : seconds % 86400 == 0 ? DateShape::Date : DateShape::DateTime;
    switch (shape) {
    case DateShape::Elapsed:
        return QStringLiteral("%1:%2").arg(seconds / 3600, 2, 10, QLatin1Char('0')).arg(clock.sliced(3));
    case DateShape::Date: return day;
    case DateShape::Time: return clock;
    case DateShape::DateTime: return day + QLatin1Char(' ') + clock;
    case DateShape::DateOrTime:
    case DateShape::None: break;
    }
    return {};
}

} // namespace admin
