#include "CellDates.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace admin {

namespace {

// The built-in date and time formats, Chinese ones included, by index.
DateShape builtInShape(int index)
{
    switch (index) {
    case 14: case 15: case 16: case 17:
    case 27: case 28: case 29: case 30: case 31: case 36:
    case 50: case 51: case 52: case 53: case 54: case 57: case 58:
        return DateShape::Date;
    case 18: case 19: case 20: case 21: case 32: case 33: case 34: case 35:
    case 45: case 46: case 47: case 55: case 56:
        return DateShape::Time;
    case 22:
        return DateShape::DateTime;
    default:
        return DateShape::None;
    }
}

} // namespace

DateShape dateShapeOf(int formatIndex, const QString &formatText)
{
    if (formatText.isEmpty())
        return builtInShape(formatIndex);
    // The letters of the format's first section outside quoted texts, escaped
    // characters and bracketed parts (colours, conditions, locales; elapsed
    // [h] [m] [s] count as time).
    bool date = false, time = false, minute = false;
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
                time = true;
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
    date = date || (minute && !time);
    if (date && time)
        return DateShape::DateTime;
    return date ? DateShape::Date : time ? DateShape::Time : DateShape::None;
}

QString dateText(double serial, DateShape shape, bool base1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    // Whole seconds, rounded; the 1900 base counts a day 1900-02-29 that never was.
    const qint64 seconds = std::llround(serial * 86400);
    const qint64 days = seconds / 86400;
    const QDate base = base1904 ? QDate(1904, 1, 1) : days < 61 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    const QString day = base.addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    const QString clock = QTime(0, 0).addSecs(int(seconds % 86400)).toString(QStringLiteral("HH:mm:ss"));
    switch (shape) {
    case DateShape::Date: return day;
    case DateShape::Time: return clock;
    case DateShape::DateTime: return day + QLatin1Char(' ') + clock;
    case DateShape::None: break;
    }
    return {};
}

} // namespace admin
