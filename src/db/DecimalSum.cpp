#include "DecimalSum.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <utility>

namespace db {

namespace {

using Units = __int128;

// Digits the exact total keeps: two numbers below 10^37 add up to less than
// 2 x 10^37, which an __int128 (up to 1.7 x 10^38) holds.
constexpr int kTotalDigits = 37;

constexpr Units pow10(int n)
{
    Units p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

Units absolute(Units x)
{
    return x < 0 ? -x : x;
}

// The number of decimal digits of |x| (0 for 0).
int digitCount(Units x)
{
    x = absolute(x);
    int n = 0;
    while (x > 0) {
        x /= 10;
        ++n;
    }
    return n;
}

// x x 10^from written in units of 10^to: multiplied when to is finer, else
// divided, rounded half away from zero. The caller makes sure the product fits.
Units rescale(Units x, int from, int to)
{
    if (to <= from)
        return x * pow10(from - to);
    if (to - from > kTotalDigits + 1)
        return 0;
    const Units divisor = pow10(to - from);
    Units q = absolute(x) / divisor;
    if (absolute(x) % divisor * 2 >= divisor)
        ++q;
    return x < 0 ? -q : q;
}

// A figure as units x 10^scale, from its 15 significant digits without their
// trailing zeros.
struct Figure {
    long long units = 0;
    int scale = 0;
};

Figure figureOf(double value)
{
    // Whole numbers below 10^15 (most quantities) are their own digits.
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return {static_cast<long long>(value), 0};
    const DecimalDigits d = decimalDigits(value);
    Figure f;
    int last = 14;
    while (last > 0 && d.digits[last] == '0')
        --last;
    for (int i = 0; i <= last; ++i)
        f.units = f.units * 10 + (d.digits[i] - '0');
    if (d.negative)
        f.units = -f.units;
    f.scale = d.exponent - last;
    return f;
}

// A number in the scientific form "-d.ddde-x" as its sign, digits and
// exponent.
struct Scientific {
    bool negative = false;
    char digits[15];  // the 15 of "%.14e" at most
    int count = 0;
    int exponent = 0;
};

Scientific readScientific(const char *p, const char *end)
{
    Scientific result;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (; p < end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && result.count < int(sizeof result.digits))
            result.digits[result.count++] = *p;
    if (p < end && *p == 'e') {
        const bool negativeExponent = p[1] == '-';
        for (p += (p[1] == '+' || p[1] == '-') ? 2 : 1; p < end; ++p)
            result.exponent = result.exponent * 10 + (*p - '0');
        if (negativeExponent)
            result.exponent = -result.exponent;
    }
    return result;
}

// The first 15 digits of number, padded with zeros.
DecimalDigits firstFifteen(const Scientific &number)
{
    DecimalDigits result;
    result.negative = number.negative;
    result.exponent = number.exponent;
    const int kept = std::min(number.count, 15);
    std::copy(number.digits, number.digits + kept, result.digits);
    std::fill(result.digits + kept, result.digits + 15, '0');
    return result;
}

// value as whole / 10^places, whole below 10^15 and at most six places,
// when that decimal reads back as value: most figures the program keeps have
// a few places. The division rounds the exact quotient as reading the
// decimal's text would.
std::optional<Scientific> fewPlaces(double value)
{
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    if (!(std::fabs(value) < 1e15))
        return std::nullopt;
    for (int places = 0; places < int(std::size(kPowers)); ++places) {
        const double whole = std::nearbyint(value * kPowers[places]);
        if (!(std::fabs(whole) < 1e15))
            break;
        if (whole / kPowers[places] != value)
            continue;
        Scientific number;
        number.negative = whole < 0;
        const auto end = std::to_chars(number.digits, number.digits + sizeof number.digits,
                                       static_cast<long long>(std::fabs(whole)));
        number.count = int(end.ptr - number.digits);
        number.exponent = number.count - 1 - places;
        return number;
    }
    return std::nullopt;
}

} // namespace

DecimalDigits decimalDigits(double value)
{
    // A decimal of at most 15 digits that reads back as a normal value has
    // the digits of printf's "%.14e": value lies within half a unit in its
    // last binary place of that decimal, less than half a unit in its 15th
    // decimal digit, so rounding value to 15 digits gives that decimal.
    if (std::isnormal(value)) {
        if (const std::optional<Scientific> number = fewPlaces(value))
            return firstFifteen(*number);
    }
    // The text of printf's "%.14e" (std::to_chars is defined that way), without printf's slow path.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    return firstFifteen(readScientific(buffer, written.ptr));
}

double roundSignificant(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return value;
    // printf's "%.14e" (std::to_chars is defined that way), read back.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

void DecimalSum::add(double value)
{
    if (value == 0.0)
        return;
    if (!std::isfinite(value)) {
        nonFinite_ += value;
        return;
    }
    const Figure f = figureOf(value);
    addFigure(f.units, f.scale);
}

// The figure is read as figureOf() makes it: the digits without the trailing
// zeros of its fraction.
bool DecimalSum::addPlainText(std::u16string_view text)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == u'-';
    if (negative)
        ++i;
    long long units = 0;
    int significant = 0;
    int places = -1;  // digits after the point; -1 before it
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'.' && places < 0) {
            places = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        anyDigit = true;
        if ((units != 0 || c != u'0') && ++significant > 15)
            return false;
        units = units * 10 + (c - u'0');
        if (places >= 0)
            ++places;
    }
    if (!anyDigit)
        return false;
    places = std::max(places, 0);
    while (places > 0 && units % 10 == 0) {
        units /= 10;
        --places;
    }
    if (units != 0)
        addFigure(negative ? -units : units, -places);
    return true;
}

void DecimalSum::addFigure(long long units, int scale)
{
    if (units_ == 0) {
        units_ = units;
        scale_ = scale;
        return;
    }
    // Figures of one decimal place (a column of amounts) add as they are.
    constexpr Units kRoomy = pow10(kTotalDigits - 1);
    if (scale == scale_ && absolute(units_) < kRoomy) {
        units_ += units;
        return;
    }
    // The finest place both can be written in within the digits kept.
    int finest = std::min(scale_, scale);
    finest = std::max({finest, scale_ + digitCount(units_) - kTotalDigits, scale + digitCount(units) - kTotalDigits});
    units_ = rescale(units_, scale_, finest) + rescale(units, scale, finest);
    scale_ = finest;
}

double DecimalSum::value() const
{
    if (nonFinite_ != 0.0)  // NaN too
        return nonFinite_;
    if (units_ == 0)
        return 0.0;
    // The digits of |units_|, most significant first.
    char digits[48];
    int count = 0;
    for (Units x = absolute(units_); x > 0; x /= 10)
        digits[count++] = char('0' + int(x % 10));
    for (int i = 0; i < count / 2; ++i)
        std::swap(digits[i], digits[count - 1 - i]);
    // Rounded to 15 significant digits, half away from zero.
    int scale = scale_;
    if (count > 15) {
        const bool up = digits[15] >= '5';
        scale += count - 15;
        count = 15;
        for (int i = count - 1; up && i >= 0; --i) {
            if (digits[i] == '9') {
                digits[i] = '0';
                if (i == 0) {
                    digits[0] = '1';
                    ++scale;  // 999... became 1000...: one zero fewer is kept
                }
            } else {
                ++digits[i];
                break;
            }
        }
    }
    char text[80];
    char *p = text;
    if (units_ < 0)
        *p++ = '-';
    for (int i = 0; i < count; ++i)
        *p++ = digits[i];
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text - 1, scale).ptr;
    *p = '\0';
    double result = 0.0;
    if (std::from_chars(text, p, result).ec == std::errc())
        return result;
    return std::strtod(text, nullptr);  // beyond a double's range: strtod's infinity or 0
}

double addDecimal(double total, double value)
{
    DecimalSum sum;
    sum.add(total);
    sum.add(value);
    return sum.value();
}

} // namespace db
