#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace db {

// Reads a stored or typed date: ISO "2026-12-09", unpadded "2026-12-9",
// slashes or dots as separators, optionally followed by a time.
// Returns an invalid QDate when the text is no date.
QDate parseDate(const QString &text);

// The stored forms: "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS".
QString dateText(const QDate &date);
QString stampText(const QDateTime &stamp);

} // namespace db
