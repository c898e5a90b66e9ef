#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariantList>

namespace db {

// Reads a stored or typed date: ISO "2026-12-09", unpadded "2026-12-9",
// slashes or dots as separators, optionally followed by a time.
// Returns an invalid QDate when the text is no date.
QDate parseDate(const QString &text);

// The stored forms: "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS".
QString dateText(const QDate &date);
QString stampText(const QDateTime &stamp);

// Conditions that pick stored dates by day, written as ranges of the stored
// text so that an index on the column serves them: a stored "YYYY-MM-DD" or
// "YYYY-MM-DD HH:MM:SS" lies on day d exactly when it is >= "d" and < the
// text of the day after d. (Every date the program stores is written by
// dateText or stampText; a text in another form is not picked.)
enum class DayRelation {
    From,   // on the day or later
    Until,  // on the day or earlier
    On,     // on the day
};

// The condition on column with the day's texts written in, in parentheses,
// for statements that travel as text.
QString literalDayCondition(const QString &column, DayRelation relation, const QDate &day);

// The condition on column for one day with two parameters, in parentheses;
// onDayValues gives their values.
QString onDayCondition(const QString &column);
QVariantList onDayValues(const QDate &day);

} // namespace db
