#pragma once

#include <QString>

// Numbers that a workbook shows as dates: a cell's number format tells
// whether its number is a date serial, and the serial becomes the text the
// sheet reader gives for a date cell ("2026-12-11", "2026-12-11 12:00:00",
// "12:00:00").
namespace admin {

enum class DateShape {
    None,
    Date,
    Time,
    DateTime,
    DateOrTime,  // a time of day below one day, a date for whole days, else both
    Elapsed,     // a span of time in hours, minutes and seconds: "30:00:00" for a day and a quarter
};

// The shape of the numbers a format shows: by its format text, or by its
// index alone for a built-in format the workbook does not spell out
// (formatText empty).
DateShape dateShapeOf(int formatIndex, const QString &formatText);

// A date serial (days since the workbook's base date, the time of day as the
// fraction) as the sheet reader writes a date cell of that shape; empty when
// the serial is no date (negative, or past the year 9999).
QString dateText(double serial, DateShape shape, bool base1904);

} // namespace admin
