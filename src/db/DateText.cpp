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

} // namespace db
