#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace numtext {

namespace {

// The fixed-point text of value rounded to decimals places, half away from
// zero on its 15-significant-digit decimal value, into out (cleared first):
// a minus sign unless every digit is zero, the digits, and a point before
// the decimals. Short texts fit out's own buffer: no allocation.
void writeFixed(double value, int decimals, std::string &out)
{
    out.clear();
    if (!std::isfinite(value))
        value = 0.0;
    if (value == 0.0) {
        out.push_back('0');
        if (decimals > 0) {
            out.push_back('.');
            out.append(std::size_t(decimals), '0');
        }
        return;
    }
    // The text of printf's "%.14e" (std::to_chars is defined that way), without printf's slow path.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14);
    const char *p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[16];  // 15 significant digits, the first not zero
    int digitCount = 0;
    for (; p != written.ptr && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && digitCount < 15)
            digits[digitCount++] = *p;
    int exponent = 0;  // value = d.dddd x 10^exponent
    if (p != written.ptr) {
        const bool negativeExponent = p[1] == '-';
        std::from_chars(p + 2, written.ptr, exponent);
        if (negativeExponent)
            exponent = -exponent;
    }

    // The digits of round(|value| x 10^decimals): a carried leading 1, kept
    // digits, then zeros.
    const int keep = exponent + 1 + decimals;  // significant digits kept
    char kept[16];
    int keptCount = 0;
    int zerosAfter = 0;
    bool carry = false;
    if (keep < 0) {
        kept[keptCount++] = '0';
    } else if (keep == 0) {
        kept[keptCount++] = digits[0] >= '5' ? '1' : '0';
    } else if (keep >= digitCount) {
        std::copy(digits, digits + digitCount, kept);
        keptCount = digitCount;
        zerosAfter = keep - digitCount;
    } else {
        std::copy(digits, digits + keep, kept);
        keptCount = keep;
        if (digits[keep] >= '5') {
            int i = keep - 1;
            while (i >= 0 && kept[i] == '9')
                kept[i--] = '0';
            if (i >= 0)
                ++kept[i];
            else
                carry = true;
        }
    }
    const bool allZero = !carry && std::all_of(kept, kept + keptCount, [](char c) { return c == '0'; });
    const int length = int(carry) + keptCount + zerosAfter;
    const int zerosBefore = length <= decimals ? decimals - length + 1 : 0;  // so one digit precedes the point
    const int total = zerosBefore + length;
    out.reserve(std::size_t(total) + 2);
    if (negative && !allZero)
        out.push_back('-');
    out.append(std::size_t(zerosBefore), '0');
    if (carry)
        out.push_back('1');
    out.append(kept, std::size_t(keptCount));
    out.append(std::size_t(zerosAfter), '0');
    if (decimals > 0)
        out.insert(out.end() - decimals, '.');
}

// The general text (printf's "%.15G") of value into buffer (32 characters at
// least), NUL-terminated; "0" for zero and for a value that is not finite.
// Without leadingZero a number between -1 and 1 loses the zero before its
// point. Returns the length.
int writeGeneral(double value, char *buffer, bool leadingZero)
{
    if (value == 0.0 || !std::isfinite(value)) {
        buffer[0] = '0';
        buffer[1] = '\0';
        return 1;
    }
    // std::to_chars is defined as printf is, without printf's slow path:
    // lists format many thousands of these.
    const auto written = std::to_chars(buffer, buffer + 31, value, std::chars_format::general, 15);
    char *end = written.ptr;
    for (char *p = buffer; p != end; ++p)
        if (*p == 'e')
            *p = 'E';
    if (!leadingZero) {
        char *zero = buffer[0] == '-' ? buffer + 1 : buffer;
        if (zero[0] == '0' && zero[1] == '.') {
            std::copy(zero + 1, end, zero);
            --end;
        }
    }
    *end = '\0';
    return int(end - buffer);
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

namespace {
// The value of a number text this module wrote (a whole number, no blanks).
double valueOfWritten(const char *first, const char *last)
{
    double value = 0.0;
    if (std::from_chars(first, last, value).ec == std::errc())
        return value;
    return leadingNumberOf(first);  // out of range: as leadingNumber reads it
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
    char buffer[32];
    const int length = writeGeneral(value, buffer, false);
    return QString::fromLatin1(buffer, length);
}

QString numToText(double value)
{
    char buffer[32];
    const int length = writeGeneral(value, buffer, true);
    return QString::fromLatin1(buffer, length);
}

double appendGeneral(QString &out, double value, bool leadingZero)
{
    char buffer[32];
    const int length = writeGeneral(value, buffer, leadingZero);
    out.append(QLatin1StringView(buffer, length));
    return valueOfWritten(buffer, buffer + length);
}

int formatDecimals(const QString &pattern)
{
    const int point = int(pattern.indexOf(QLatin1Char('.')));
    int decimals = 0;
    if (point >= 0)
        for (int i = point + 1; i < pattern.size() && (pattern[i] == QLatin1Char('0') || pattern[i] == QLatin1Char('#')); ++i)
            ++decimals;
    return decimals;
}

QString formatNumber(double value, const QString &pattern)
{
    const int point = int(pattern.indexOf(QLatin1Char('.')));
    const bool grouped = QStringView(pattern).left(point < 0 ? pattern.size() : point).contains(QLatin1Char(','));
    std::string fixed;
    writeFixed(value, formatDecimals(pattern), fixed);
    QString text = QString::fromLatin1(fixed.data(), qsizetype(fixed.size()));
    if (grouped) {
        const int signLength = text.startsWith(QLatin1Char('-')) ? 1 : 0;
        int end = int(text.indexOf(QLatin1Char('.')));
        if (end < 0)
            end = int(text.size());
        for (int i = end - 3; i > signLength; i -= 3)
            text.insert(i, QLatin1Char(','));
    }
    return text;
}

double appendFixed(QString &out, double value, int decimals)
{
    std::string fixed;
    writeFixed(value, decimals, fixed);
    out.append(QLatin1StringView(fixed.data(), qsizetype(fixed.size())));
    return valueOfWritten(fixed.data(), fixed.data() + fixed.size());
}

double appendRounded(QString &out, double value, int decimals)
{
    std::string fixed;
    writeFixed(value, decimals, fixed);
    const double rounded = valueOfWritten(fixed.data(), fixed.data() + fixed.size());
    // Between 1E-04 and 1E+15 the general text of a number of at most 15
    // significant digits is its fixed text without the zeros that end its
    // decimals; elsewhere (zero, exponent form) the general text is written.
    const double magnitude = std::fabs(rounded);
    if (!(magnitude >= 1e-4 && magnitude < 1e15))
        return appendGeneral(out, rounded, true);
    std::size_t length = fixed.size();
    if (decimals > 0) {
        while (fixed[length - 1] == '0')
            --length;
        if (fixed[length - 1] == '.')
            --length;
    }
    out.append(QLatin1StringView(fixed.data(), qsizetype(length)));
    return rounded;
}

double roundDecimal(double value, int decimals)
{
    std::string fixed;
    writeFixed(value, decimals, fixed);
    return valueOfWritten(fixed.data(), fixed.data() + fixed.size());
}

double roundSignificant(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return value;
    // printf's "%.14e" read back; std::to_chars is defined that way, without printf's slow path.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    double rounded = value;
    if (std::from_chars(buffer, written.ptr, rounded).ec != std::errc())
        return std::strtod(std::string(buffer, written.ptr).c_str(), nullptr);  // out of range: strtod's infinity
    return rounded;
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
