#pragma once

#include "db/DecimalSum.h"

#include <QLatin1StringView>
#include <QString>
#include <QVarLengthArray>

// The texts of numbers: how numbers typed or stored as text are read, and
// how numbers are written into grids, totals and statements. Long lists write
// each number's text as NumberChars (see below) and take the value that text
// reads as from its leadingNumber(), so sums and stored values are the shown ones.
// Sums of shown figures add by DecimalSum (db/DecimalSum.h).
namespace numtext {

// The number at the start of a text (leading blanks skipped); 0 when none.
// "12.5kg" gives 12.5, "abc" gives 0, " -3" gives -3.
double leadingNumber(QStringView text);

// The text of a figure wherever the program writes one: at most 15
// significant digits, no trailing zeros, exponent form only for very large or
// small magnitudes, and always a zero before a leading decimal point (0.5
// gives "0.5", -0.25 "-0.25").
QString numToText(double value);

// Formats value by a pattern like "#0", "#0.00" or "#,##0.00": as many
// decimals as the pattern has zeros after the point, rounded half away from
// zero on the decimal value (2.675 gives 2.68), grouped by thousands when
// the pattern has a comma. Never "-0.00".
QString formatNumber(double value, const QString &pattern);

// The number of decimals of a pattern like "#0.00" (2), as formatNumber reads it.
int formatDecimals(const QString &pattern);

// Rounds value to decimals places, half away from zero on its decimal value.
double roundDecimal(double value, int decimals);

// a - b without the rounding noise of the subtraction: rounded at the 15th
// significant digit of the larger operand, then to 15 significant digits.
// 10.3 - 0.1 gives 10.2 and 9.874 - 10.125 gives -0.251.
double exactDifference(double a, double b);

// Whether value, the result of adding and subtracting numbers of magnitude up
// to scale, is only the rounding residue of a result that is exactly zero.
bool isResidue(double value, double scale);

// Whether a <= b once the rounding residue of numbers of magnitude scale is
// allowed for: 0.3 - 0.1 is not less than 0.2.
bool notAbove(double a, double b, double scale);

// Whether a quantity's text is in exponent form or has more than five
// decimals: lists show such a quantity to three decimals.
bool needsThreeDecimals(QStringView text);
bool needsThreeDecimals(QLatin1StringView text);

// A quantity as lists show it: its numToText form, or three decimals
// ("#0.000") when that form needs them. 40.125 gives "40.125", 1/3 "0.333".
QString quantityText(double value);

// ---- texts written without an allocation, for lists of many thousands ----

// The decimals and thousands grouping of a pattern like "#,##0.00".
struct NumberPattern {
    explicit NumberPattern(const QString &pattern);
    NumberPattern(int decimals, bool grouped) : decimals(decimals), grouped(grouped) {}
    int decimals = 0;
    bool grouped = false;
};

// A number's text in a buffer of its own: short texts stay on the stack.
class NumberChars {
public:
    QLatin1StringView view() const { return QLatin1StringView(chars_.constData(), chars_.size()); }
    // leadingNumber of the text.
    double leadingNumber() const;

private:
    friend NumberChars numToChars(double value);
    friend NumberChars integerChars(qint64 value);
    friend NumberChars formatChars(double value, int decimals, bool grouped);
    friend NumberChars roundedChars(double value, const NumberPattern &pattern);
    QVarLengthArray<char, 64> chars_;
    // A whole number's text reads as the number itself: kept, not read again.
    bool whole_ = false;
    double wholeValue_ = 0.0;
};

// The text numToText gives.
NumberChars numToChars(double value);
// The decimal text of an integer.
NumberChars integerChars(qint64 value);
// The text formatNumber gives for a pattern of decimals and grouping.
NumberChars formatChars(double value, int decimals, bool grouped);
// Value as pattern rounds it, in numToText's form (no trailing zeros): the
// text lists show for prices and amounts. The same text as
// numToText(leadingNumber(formatNumber(value, pattern))), so a grouped
// pattern's text is read up to its first comma.
NumberChars roundedChars(double value, const NumberPattern &pattern);

// Numbers typed or imported are stored only below this magnitude (and the
// amount a line makes of them, too): there the money format shows every
// digit a double holds.
inline constexpr double kNumberLimit = 1e15;

// Whether value is finite and its magnitude below kNumberLimit.
bool isStorable(double value);

// The number a typed or imported text shows: the number at its start as
// leadingNumber reads it, with thousands separators in their places read as
// part of it ("1,234.50" gives 1234.5, "-12,345" gives -12345). A comma out
// of place ("1,23", "12,3456", "0,5") ends the number as any other character
// does (1, 12, 0). Full-width forms read as their narrow ones ("１２．５" gives 12.5).
double typedNumber(QStringView text);

// Whether a text is blank or one number throughout without thousands
// separators ("2.50", not "1,234.50" or "12abc"): every reader of numbers,
// typed or stored, reads it as the number it shows.
bool isPlainNumber(QStringView text);

// Reads a typed or imported number as typedNumber does; false when the value
// cannot be stored (not finite, or not below kNumberLimit).
bool readNumber(const QString &text, double &value);

// The refusal of a number that cannot be stored, naming the box or column.
QString unstorableMessage(const QString &boxName);

} // namespace numtext
