#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include <QVarLengthArray>

namespace numtext {

namespace {

using Digits = QVarLengthArray<char, 64>;

// The digits of round(|value| * 10^decimals), half away from zero on the
// 15 significant digits of value; "0" when it rounds to nothing.
Digits roundedDigits(const db::DecimalDigits &d, int decimals)
{
    const int intDigits = d.exponent + 1;  // digits before the point
    const int keep = intDigits + decimals;  // significant digits kept
    Digits kept;
    if (keep < 0) {
        kept.append('0');
    } else if (keep == 0) {
        kept.append(d.digits[0] >= '5' ? '1' : '0');
    } else if (keep >= 15) {
        kept.append(d.digits, 15);
        kept.insert(kept.size(), qsizetype(keep - 15), '0');
    } else {
        kept.append(d.digits, keep);
        if (d.digits[keep] >= '5') {
            int i = keep - 1;
            while (i >= 0 && kept[i] == '9') {
                kept[i] = '0';
                --i;
            }
            if (i >= 0)
                ++kept[i];
            else
                kept.insert(kept.cbegin(), '1');
        }
    }
    return kept;
}

} // namespace

namespace {
// The length of the number that begins s (a sign, digits with at most one
// point, an exponent), 0 when s begins with none.
int leadingNumberLength(const char *s)
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
        return 0;
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
    return i;
}

// The value of the number that begins s, 0 when s begins with none.
double leadingNumberOf(const char *s)
{
    const int i = leadingNumberLength(s);
    if (i == 0)
        return 0.0;
    // from_chars reads as strtod does, without its locale and without a '+'.
    double value = 0.0;
    const char *first = s[0] == '+' ? s + 1 : s;
    if (std::from_chars(first, s + i, value).ec == std::errc())
        return value;
    return std::strtod(std::string(s, i).c_str(), nullptr);  // out of range: strtod's infinity or 0
}
} // namespace

namespace {

using Latin1Text = QVarLengthArray<char, 128>;

// The full-width forms a Chinese input method types ("１２．５", "－３") as
// their 7-bit characters; other characters as they are.
char16_t narrowForm(char16_t c)
{
    return c >= 0xFF01 && c <= 0xFF5E ? char16_t(c - 0xFEE0) : c;
}

enum class Forms { Narrow, WideToo };

// A typed text from its first non-blank character on, as 7-bit characters
// ('?' for any other, which is no character of a number), 0-terminated;
// with Forms::WideToo full-width digits, signs and points read as narrow ones.
Latin1Text latin1From(QStringView text, Forms forms = Forms::Narrow)
{
    qsizetype first = 0;
    while (first < text.size() && text[first].isSpace())
        ++first;
    Latin1Text latin1;
    latin1.reserve(text.size() - first + 1);
    for (qsizetype k = first; k < text.size(); ++k) {
        const char16_t c = forms == Forms::WideToo ? narrowForm(text[k].unicode()) : text[k].unicode();
        latin1.append(c < 0x80 ? char(c) : '?');
    }
    latin1.append('\0');
    return latin1;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Removes the thousands separators of the number that begins text when they
// stand in their places: a first group of one to three digits (not starting
// with 0), then groups of a comma and exactly three digits, up to the first
// character that is neither a digit nor a comma.
void removeGrouping(Latin1Text &text)
{
    int i = text[0] == '+' || text[0] == '-' ? 1 : 0;
    if (text[i] == '0')
        return;
    int end = i;
    while (isDigit(text[end]))
        ++end;
    if (end == i || end - i > 3)
        return;
    int groups = 0;
    while (text[end] == ',' && isDigit(text[end + 1]) && isDigit(text[end + 2]) && isDigit(text[end + 3])
           && !isDigit(text[end + 4])) {
        end += 4;
        ++groups;
    }
    if (groups == 0 || text[end] == ',')
        return;
    auto last = std::remove(text.begin() + i, text.begin() + end, ',');
    text.erase(last, text.begin() + end);
}

} // namespace

double leadingNumber(QStringView text)
{
    // Texts of list cells are short: read them without an allocation.
    constexpr int kShort = 128;
    // Blanks after the number end it as any other character does.
    qsizetype first = 0;
    while (first < text.size() && text[first].isSpace())
        ++first;
    const QStringView t = text.mid(first);
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

double typedNumber(QStringView text)
{
    Latin1Text latin1 = latin1From(text, Forms::WideToo);
    removeGrouping(latin1);
    return leadingNumberOf(latin1.constData());
}

bool isPlainNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return true;
    const Latin1Text latin1 = latin1From(trimmed);
    return leadingNumberLength(latin1.constData()) == latin1.size() - 1;
}

QString numToText(double value)
{
    return numToChars(value).view();
}

QString formatNumber(double value, const QString &pattern)
{
    const NumberPattern p(pattern);
    return formatChars(value, p.decimals, p.grouped).view();
}

double NumberChars::leadingNumber() const
{
    if (whole_)
        return wholeValue_;
    // Texts written here are a number whole (from_chars reads ".5" and stops
    // at a grouping comma, as leadingNumber does) and never begin with blanks.
    double value = 0.0;
    const char *first = chars_.constData();
    if (std::from_chars(first, first + chars_.size(), value).ec == std::errc())
        return value;
    QVarLengthArray<char, 65> text(chars_.constData(), chars_.constData() + chars_.size());
    text.append('\0');
    return leadingNumberOf(text.constData());
}

NumberPattern::NumberPattern(const QString &pattern)
{
    const int point = pattern.indexOf(QLatin1Char('.'));
    if (point >= 0)
        for (int i = point + 1; i < pattern.size() && (pattern[i] == QLatin1Char('0') || pattern[i] == QLatin1Char('#')); ++i)
            ++decimals;
    grouped = pattern.left(point < 0 ? pattern.size() : point).contains(QLatin1Char(','));
}

NumberChars numToChars(double value)
{
    NumberChars result;
    if (value == 0.0 || !std::isfinite(value)) {
        result.chars_.append('0');
        result.whole_ = true;
        return result;
    }
    // Whole numbers below 1E+15 (most quantities) are their integer digits,
    // which a double holds exactly.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, qint64(value)).ptr;
        result.chars_.append(digits, end - digits);
        result.whole_ = true;
        result.wholeValue_ = value;
        return result;
    }
    // The same text as printf's "%.15G" (std::to_chars is defined that way,
    // a zero before the point included), without printf's slow path.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    for (char *p = buffer; p != written.ptr; ++p)
        if (*p == 'e')
            *p = 'E';
    result.chars_.append(buffer, written.ptr - buffer);
    return result;
}

NumberChars integerChars(qint64 value)
{
    NumberChars result;
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    result.chars_.append(buffer, written.ptr - buffer);
    return result;
}

NumberChars formatChars(double value, int decimals, bool grouped)
{
    NumberChars result;
    Digits &text = result.chars_;
    if (!std::isfinite(value))
        value = 0.0;
    decimals = std::max(0, decimals);
    // Zero (an empty movement, most amounts of a short period) has no digits
    // to find and never a sign.
    const db::DecimalDigits d = value == 0.0 ? db::DecimalDigits() : db::decimalDigits(value);
    Digits kept = value == 0.0 ? Digits(1, '0') : roundedDigits(d, decimals);
    if (kept.size() <= decimals)
        kept.insert(qsizetype(0), qsizetype(decimals - kept.size() + 1), '0');
    const bool allZero = std::all_of(kept.cbegin(), kept.cend(), [](char c) { return c == '0'; });
    if (d.negative && !allZero)
        text.append('-');
    const qsizetype intDigits = kept.size() - decimals;
    for (qsizetype i = 0; i < intDigits; ++i) {
        if (grouped && i > 0 && (intDigits - i) % 3 == 0)
            text.append(',');
        text.append(kept[i]);
    }
    if (decimals > 0) {
        text.append('.');
        text.append(kept.constData() + intDigits, decimals);
    }
    return result;
}

namespace {

// Writes units / 10^places, rounded half away from zero (on the first digit
// dropped) to at most decimals places, without trailing zeros; never "-0".
void writeRoundedUnits(long long units, int places, bool negative, int decimals, Digits &text)
{
    if (places > decimals) {
        long long dropped = 1;
        for (int i = decimals; i < places; ++i)
            dropped *= 10;
        units = units / dropped + (units % dropped * 2 >= dropped ? 1 : 0);
        places = decimals;
    }
    char digits[24];
    const char *end = std::to_chars(digits, digits + sizeof digits, units).ptr;
    const int count = int(end - digits);
    if (negative && units != 0)
        text.append('-');
    if (count <= places) {
        text.append("0.", 2);
        text.insert(text.size(), qsizetype(places - count), '0');
        text.append(digits, count);
    } else {
        text.append(digits, count - places);
        if (places > 0) {
            text.append('.');
            text.append(digits + count - places, places);
        }
    }
    if (places > 0) {
        qsizetype size = text.size();
        while (text[size - 1] == '0')
            --size;
        if (text[size - 1] == '.')
            --size;
        text.resize(size);
    }
}

// Writes value rounded to decimals places without trailing zeros, as
// formatting and writing again gives it, when value is zero or lies from
// 1E-04 below 1E+15 (every amount but the largest and the tiniest): its 15
// significant digits are taken as whole units, and its text never takes the
// exponent form. Returns false for any other value.
bool writeRounded(double value, int decimals, Digits &text)
{
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    if (value == 0.0) {  // also -0: never written with a sign
        text.append('0');
        return true;
    }
    if (!(std::fabs(value) >= 1e-4 && std::fabs(value) < 1e15))
        return false;
    // A decimal of up to six places (most amounts) is its own 15 digits: the
    // division rounds the exact quotient as reading the decimal's text would,
    // so value is that decimal when it gives value back.
    for (int places = 0; places < int(std::size(kPowers)); ++places) {
        const double whole = std::nearbyint(value * kPowers[places]);
        if (!(std::fabs(whole) < 1e15))
            break;
        if (whole / kPowers[places] == value) {
            writeRoundedUnits(static_cast<long long>(std::fabs(whole)), places, value < 0, decimals, text);
            return true;
        }
    }
    // Otherwise the digits of printf's "%.14e" (std::to_chars is defined that
    // way): "-d.dddddddddddddde-dd".
    char scientific[32];
    const char *end = std::to_chars(scientific, scientific + sizeof scientific, value,
                                    std::chars_format::scientific, 14).ptr;
    const char *mantissa = scientific + (value < 0 ? 1 : 0);
    long long units = mantissa[0] - '0';
    for (const char *p = mantissa + 2; p < mantissa + 16; ++p)
        units = units * 10 + (*p - '0');
    int exponent = 0;
    std::from_chars(mantissa + (mantissa[17] == '+' ? 18 : 17), end, exponent);
    if (exponent > 14)  // rounded up to 1E+15
        return false;
    writeRoundedUnits(units, 14 - exponent, value < 0, decimals, text);
    return true;
}

} // namespace

NumberChars roundedChars(double value, const NumberPattern &pattern)
{
    if (!pattern.grouped) {
        NumberChars rounded;
        if (writeRounded(value, pattern.decimals, rounded.chars_))
            return rounded;
    }
    NumberChars fixed = formatChars(value, pattern.decimals, pattern.grouped);
    if (pattern.grouped)
        return numToChars(fixed.leadingNumber());
    // The fixed text has at most 15 significant digits, which its number
    // keeps exactly; numToText writes that number as the same digits without
    // trailing zeros, unless its size calls for the exponent form (1E+15 and
    // up, below 1E-04). Only those are read back and written again.
    QVarLengthArray<char, 64> &text = fixed.chars_;
    const qsizetype sign = !text.isEmpty() && text[0] == '-' ? 1 : 0;
    qsizetype point = sign;
    while (point < text.size() && text[point] != '.')
        ++point;
    if (point < text.size()) {
        qsizetype end = text.size();
        while (text[end - 1] == '0')
            --end;
        if (end - 1 == point)
            --end;
        text.resize(end);
    }
    const qsizetype intDigits = point - sign;
    if (intDigits > 15)
        return numToChars(fixed.leadingNumber());
    if (intDigits == 1 && text[sign] == '0' && text.size() > point) {
        qsizetype zeros = 0;
        while (text[point + 1 + zeros] == '0')
            ++zeros;
        if (zeros >= 4)
            return numToChars(fixed.leadingNumber());
    }
    return fixed;
}

double roundDecimal(double value, int decimals)
{
    return formatChars(value, decimals, false).leadingNumber();
}

double exactDifference(double a, double b)
{
    double d = a - b;
    if (d == 0.0 || !std::isfinite(d))
        return d;
    const int decimals = 14 - int(std::floor(std::log10(std::max(std::fabs(a), std::fabs(b)))));
    if (decimals > 0 && decimals <= 40)
        d = roundDecimal(d, decimals);
    return db::roundSignificant(d);
}

namespace {
// Whether the characters first..end hold an 'E' or more than five decimals.
template <typename Char>
bool hasLongForm(const Char *first, const Char *end)
{
    if (std::find(first, end, Char('E')) != end)
        return true;
    const Char *const point = std::find(first, end, Char('.'));
    return point != end && end - point - 1 > 5;
}
} // namespace

bool needsThreeDecimals(QStringView text)
{
    return hasLongForm(text.utf16(), text.utf16() + text.size());
}

// A list asks this of every quantity it writes: read by the characters themselves.
bool needsThreeDecimals(QLatin1StringView text)
{
    return hasLongForm(text.data(), text.data() + text.size());
}

QString quantityText(double value)
{
    const NumberChars text = numToChars(value);
    return needsThreeDecimals(text.view()) ? QString(formatChars(value, 3, false).view()) : QString(text.view());
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
    value = typedNumber(text);
    return isStorable(value);
}

QString unstorableMessage(const QString &boxName)
{
    return boxName + QStringLiteral("：数值无效或太大！\n数量、价格和金额的绝对值都必须小于1000000000000000（10的15次方）。");
}

int formatDecimals(const QString &pattern)
{
    return NumberPattern(pattern).decimals;
}

} // namespace numtext
