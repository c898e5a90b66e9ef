#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

namespace numtext {

namespace {

// Value as 15 significant decimal digits and the power of ten of the first.
struct DecimalDigits {
    bool negative = false;
    std::string digits;  // 15 digits, first non-zero unless value is 0
    int exponent = 0;    // value = 0.d1d2... x 10^(exponent + 1)
};

DecimalDigits decimalDigits(double value)
{
    DecimalDigits result;
    // The text of printf's "%.14e" (std::to_chars is defined that way), without printf's slow path.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    const char *p = buffer;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            result.digits.push_back(*p);
    if (*p == 'e')
        result.exponent = std::atoi(p + 1);
    return result;
}

// Fixed-point text of |value| rounded to decimals places, half away from zero.
std::string roundedFixed(const DecimalDigits &d, int decimals)
{
    const int intDigits = d.exponent + 1;          // digits before the point
    const int keep = intDigits + decimals;          // significant digits kept
    std::string kept;
    if (keep < 0) {
        kept = "0";
    } else if (keep == 0) {
        kept = d.digits[0] >= '5' ? "1" : "0";
    } else if (keep >= int(d.digits.size())) {
        kept = d.digits + std::string(keep - d.digits.size(), '0');
    } else {
        kept = d.digits.substr(0, keep);
        if (d.digits[keep] >= '5') {
            int i = keep - 1;
            while (i >= 0 && kept[i] == '9') {
                kept[i] = '0';
                --i;
            }
            if (i >= 0)
                ++kept[i];
            else
                kept.insert(kept.begin(), '1');
        }
    }
    // kept holds the digits of round(|value| * 10^decimals)
    if (int(kept.size()) <= decimals)
        kept.insert(0, std::string(decimals - kept.size() + 1, '0'));
    std::string intPart = kept.substr(0, kept.size() - decimals);
    std::string fraction = kept.substr(kept.size() - decimals);
    return decimals > 0 ? intPart + "." + fraction : intPart;
}

} // namespace

namespace {
// The value of the number that begins s (a sign, digits with at most one
// point, an exponent), 0 when s begins with none.
double leadingNumberOf(const char *s)
{
    int i = 0;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    const int digitsStart = i;
    while (s[i] >= '0' && s[i] <= '9')
        ++i;
    if (s[i] == '.') {
        ++i;
        while (s[i] >= '0' && s[i] <= '9')
            ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && s[digitsStart] == '.'))
        return 0.0;
    if (s[i] == 'e' || s[i] == 'E') {
        int j = i + 1;
        if (s[j] == '+' || s[j] == '-')
            ++j;
        if (s[j] >= '0' && s[j] <= '9') {
            while (s[j] >= '0' && s[j] <= '9')
                ++j;
            i = j;
        }
    }
    // from_chars reads as strtod does, without its locale and without a '+'.
    double value = 0.0;
    const char *first = s[0] == '+' ? s + 1 : s;
    if (std::from_chars(first, s + i, value).ec == std::errc())
        return value;
    return std::strtod(std::string(s, i).c_str(), nullptr);  // out of range: strtod's infinity or 0
}
} // namespace

double leadingNumber(QStringView text)
{
    // Texts of list cells are short: read them without an allocation.
    constexpr int kShort = 128;
    const QStringView t = text.trimmed();
    if (t.size() >= kShort)
        return leadingNumberOf(t.toLatin1().constData());
    char latin1[kShort];
    for (qsizetype k = 0; k < t.size(); ++k) {
        const char16_t c = t[k].unicode();
        latin1[k] = c < 0x80 ? char(c) : '?';  // no character of a number
    }
    latin1[t.size()] = '\0';
    return leadingNumberOf(latin1);
}

QString generalText(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");
    // The same text as printf's "%.15G" (std::to_chars is defined that way),
    // without printf's slow path: lists format many thousands of these.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    for (char *p = buffer; p != written.ptr; ++p)
        if (*p == 'e')
            *p = 'E';
    QString text = QString::fromLatin1(buffer, int(written.ptr - buffer));
    // %G writes "1E-05" style exponents already; drop the zero before a point.
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}

QString numToText(double value)
{
    char buffer[kNumTextChars];
    return QString::fromLatin1(buffer, numToChars(value, buffer));
}

namespace {

// A number that is a decimal of at most 15 digits with up to 6 after the
// point, written straight from its digits: prices and quantities are such
// numbers, and a long list writes many thousands of them. Gives 0 for any
// other number. The text equals "%.15G": the decimal's nearest double is
// value, and a decimal of at most 15 digits comes back from its double
// unchanged; fixed notation holds from 1E-04 to below 1E+15.
int shortDecimalChars(double value, char *buffer)
{
    static constexpr double kScales[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e15))
        return 0;
    for (int decimals = 0; decimals < int(std::size(kScales)); ++decimals) {
        const double digits = std::round(magnitude * kScales[decimals]);
        if (digits >= 1e15)
            return 0;
        if (digits / kScales[decimals] != magnitude)
            continue;
        char reversed[24];
        int count = 0;
        for (auto rest = static_cast<unsigned long long>(digits); rest != 0 || count <= decimals; rest /= 10)
            reversed[count++] = char('0' + rest % 10);
        char *out = buffer;
        if (value < 0)
            *out++ = '-';
        for (int i = count - 1; i >= decimals; --i)
            *out++ = reversed[i];
        if (decimals > 0) {
            *out++ = '.';
            for (int i = decimals - 1; i >= 0; --i)
                *out++ = reversed[i];
        }
        return int(out - buffer);
    }
    return 0;
}

} // namespace

int numToChars(double value, char *buffer)
{
    if (value == 0.0 || !std::isfinite(value)) {
        buffer[0] = '0';
        return 1;
    }
    if (const int written = shortDecimalChars(value, buffer))
        return written;
    // printf's "%.15G", with its zero before the point kept.
    const auto written = std::to_chars(buffer, buffer + kNumTextChars, value, std::chars_format::general, 15);
    for (char *p = buffer; p != written.ptr; ++p)
        if (*p == 'e')
            *p = 'E';
    return int(written.ptr - buffer);
}

QString formatNumber(double value, const QString &pattern)
{
    if (!std::isfinite(value))
        value = 0.0;
    const int point = pattern.indexOf(QLatin1Char('.'));
    int decimals = 0;
    if (point >= 0)
        for (int i = point + 1; i < pattern.size() && (pattern[i] == QLatin1Char('0') || pattern[i] == QLatin1Char('#')); ++i)
            ++decimals;
    const bool grouped = pattern.left(point < 0 ? pattern.size() : point).contains(QLatin1Char(','));

    const DecimalDigits d = decimalDigits(value);
    std::string fixed = value == 0.0 ? (decimals ? "0." + std::string(decimals, '0') : "0")
                                     : roundedFixed(d, decimals);
    QString text = QString::fromStdString(fixed);
    if (grouped) {
        int end = text.indexOf(QLatin1Char('.'));
        if (end < 0)
            end = text.size();
        for (int i = end - 3; i > 0; i -= 3)
            text.insert(i, QLatin1Char(','));
    }
    const bool allZero = std::all_of(fixed.begin(), fixed.end(), [](char c) { return c == '0' || c == '.'; });
    if (d.negative && !allZero)
        text.prepend(QLatin1Char('-'));
    return text;
}

double roundDecimal(double value, int decimals)
{
    return formatNumber(value, decimals > 0 ? QStringLiteral("0.") + QString(decimals, QLatin1Char('0'))
                                            : QStringLiteral("0"))
        .toDouble();
}

double roundSignificant(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return value;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return std::strtod(buffer, nullptr);
}

double exactDifference(double a, double b)
{
    double d = a - b;
    if (d == 0.0 || !std::isfinite(d))
        return d;
    const int decimals = 14 - int(std::floor(std::log10(std::max(std::fabs(a), std::fabs(b)))));
    if (decimals > 0 && decimals <= 40)
        d = roundDecimal(d, decimals);
    return roundSignificant(d);
}

bool isResidue(double value, double scale)
{
    // About twenty units in the last place of the operands (below their
    // 15th significant digit), never less than a fixed 1e-9.
    return std::fabs(value) <= std::max(1e-9, std::fabs(scale) * 5e-15);
}

bool notAbove(double a, double b, double scale)
{
    return a <= b || isResidue(a - b, scale);
}

bool isStorable(double value)
{
    return std::isfinite(value) && std::fabs(value) < kNumberLimit;
}

bool readNumber(const QString &text, double &value)
{
    value = leadingNumber(text);
    return isStorable(value);
}

QString unstorableMessage(const QString &boxName)
{
    return boxName + QStringLiteral("：数值无效或太大！\n数量、价格和金额的绝对值都必须小于1000000000000000（10的15次方）。");
}

} // namespace numtext
