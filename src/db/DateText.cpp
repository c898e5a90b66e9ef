#include "DateText.h"

#include <QRegularExpression>

namespace db {

QDate parseDate(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{4})[-/.](\d{1,2})[-/.](\d{1,2})(?:[ T]\d{1,2}:\d{1,2}(?::\d{1,2}(?:\.\d+)?)?)?\s*$)"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    return QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

QString dateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString stampText(const QDateTime &stamp)
{
    return stamp.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {

QString literal(const QDate &day)
{
    return QLatin1Char('\'') + dateText(day) + QLatin1Char('\'');
}

} // namespace

QString literalDayCondition(const QString &column, DayRelation relation, const QDate &day)
{
    switch (relation) {
    case DayRelation::From:
        return QStringLiteral("(%1>=%2)").arg(column, literal(day));
    case DayRelation::Until:
        return QStringLiteral("(%1<%2)").arg(column, literal(day.addDays(1)));
    case DayRelation::On:
        break;
    }
    return QStringLiteral("(%1>=%2 and %1<%3)").arg(column, literal(day), literal(day.addDays(1)));
}

QString onDayCondition(const QString &column)
{
    return QStringLiteral("(%1>=? and %1<?)").arg(column);
}

QVariantList onDayValues(const QDate &day)
{
    return {dateText(day), dateText(day.addDays(1))};
}

} // namespace db
