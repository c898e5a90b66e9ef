#pragma once

#include <QByteArrayView>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// Printed text measured in points, and set in lines that fit a width. Every
// device the reports are drawn on (the preview, a printer, a PDF file) draws
// a font of n points at n pixels through the painter's scale, so widths taken
// here at 72 dots per inch are the widths the painter draws.
namespace report {

// The report font of the given size in points, for a device of 72 dots per
// inch; the painter divides the device's resolution back out.
QFont reportFont(double points, bool bold);

// Widths of texts in one report font. A text is as wide as the advances of
// its characters (the report fonts set Chinese, digits and Latin letters
// without kerning), and each character's advance is read from the font once:
// measuring every cell of a long list costs a lookup per character.
class TextWidths {
public:
    // The widths of the report font of that size and weight, kept for the
    // whole run.
    static const TextWidths &of(double points, bool bold);

    double width(QStringView text) const;
    double width(QByteArrayView utf8) const;
    double lineSpacing() const { return lineSpacing_; }

private:
    TextWidths(double points, bool bold);
    double advance(char16_t c) const;

    QFont font_;
    double lineSpacing_ = 0;
    mutable std::vector<float> advances_;  // by UTF-16 unit; negative: not read yet
};

// The text set in lines no wider than width: broken where a line may break
// (after a space or a slash, beside a Chinese character), else anywhere; at
// most maxLines lines, the last one then cut short with "…". Every line
// holds at least one character.
QStringList wrapText(const QString &text, double width, const TextWidths &widths, int maxLines);

} // namespace report
