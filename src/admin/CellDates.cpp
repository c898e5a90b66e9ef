#include "CellDates.h"

#include <QDate>
#include <QLocale>
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

// The serial in whole seconds, rounded half up on its decimal value (the
// shortest text that reads back as the same number), as the spreadsheet
// shows a time: the binary product serial * 86400 of a late date can land on
// a half second that the decimal value stays below.
qint64 roundedSeconds(double serial)
{
    const QString text = QString::number(serial, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const qint64 days = QStringView(text).left(point < 0 ? text.size() : point).toLongLong();
    if (point < 0)
        return days * 86400;
    // The fraction as digits / 10^places; digits past the 18th cannot move the rounding.
    const QStringView fraction = QStringView(text).mid(point + 1, 18);
    unsigned __int128 digits = 0, scale = 1;
    for (QChar c : fraction) {
        digits = digits * 10 + unsigned(c.digitValue());
        scale *= 10;
    }
    return days * 86400 + qint64((digits * 86400 * 2 + scale) / (2 * scale));
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
    const QString day = base.addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
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
