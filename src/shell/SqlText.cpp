#include "SqlText.h"

namespace sqltext {

QString quoted(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString likeContains(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size() + 4);
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return quoted(QLatin1Char('%') + escaped + QLatin1Char('%')) + QStringLiteral(" ESCAPE '\\'");
}

} // namespace sqltext
