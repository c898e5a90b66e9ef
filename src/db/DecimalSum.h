#pragma once

#include <string_view>
#include <type_traits>

// The decimal rule of the figures the program sums and shows. It lives in
// the data layer because the book's SQL functions (decimal_sum,
// decimal_value) sum and compare by it exactly as the windows and the
// report engine do; the number texts (platform/NumberText.h) build on it.
namespace db {

// A number as its 15 significant decimal digits and the power of ten of the
// first: the digits every number text keeps.
struct DecimalDigits {
    bool negative = false;
    char digits[15];   // '0'..'9', the first non-zero unless the number is 0
    int exponent = 0;  // value = d1.d2d3... x 10^exponent
};

// The 15 significant digits of a finite, non-zero value, rounded as printf's
// "%.14e" rounds them.
DecimalDigits decimalDigits(double value);

// Rounds value to 15 significant digits, the precision every number text
// keeps; a non-finite value is returned as it is.
double roundSignificant(double value);

// A running total of figures as decimals: every totals row, printed total and
// decimal_sum of the program is summed through it.
//
// Each figure counts as its 15 significant digits (the text it shows: 0.1 is
// 0.1, and the binary noise 0.1 + 0.2 leaves in a figure is not counted) and
// the total is kept exactly, as a whole number of units of the finest decimal
// place any figure has. So figures that cancel leave exactly what remains
// (12.50 + -12.49 is 0.01) and small figures are never lost in a large total
// (1e12 plus a thousand times 0.001 is 1000000000001).
//
// Where it stops: value() is the exact total rounded to 15 significant digits,
// the digits every number text shows and all a double holds reliably. A total
// of up to 15 digits is exact (999999999999990 + 9 is 999999999999999); a
// longer one shows its first 15 only (1e16 + 1 gives 1e16, 0.1 + 1e15 gives
// 1e15). The exact total itself holds 37 digits: of figures whose magnitudes
// lie more than 37 decimal places apart (1e20 and 1e-20) the smaller is
// rounded away, half away from zero.
class DecimalSum {
public:
    void add(double value);
    // Adds the figure of a plain decimal text (a '-', digits and at most one
    // point, nothing else, at most 15 significant digits: "-1234.50") as
    // add() adds the number it reads as, without reading it as a double.
    // False, adding nothing, for any other text.
    bool addPlainText(std::u16string_view text);
    // The total at 15 significant digits; 0 when nothing (or only 0) was
    // added. A non-finite figure makes the total that non-finite value.
    double value() const;

private:
    void addFigure(long long units, int scale);  // units x 10^scale

    __int128 units_ = 0;    // the total is units_ x 10^scale_
    int scale_ = 0;
    double nonFinite_ = 0;  // the sum of the infinite or NaN figures, 0 when none
};
static_assert(std::is_trivially_copyable_v<DecimalSum>);

// total + value added as DecimalSum adds them.
double addDecimal(double total, double value);

} // namespace db
