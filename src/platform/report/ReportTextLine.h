#pragma once

#include <QStringList>
#include <QVector>

namespace report {

// The left, centre and right texts of a text line (a title, a header,
// summary or footer line) as they are drawn across the line.
struct PlacedTexts {
    double size = 0;      // font size in points
    QStringList texts;    // the three texts, a text cut short ending in "…"
    QVector<double> x;    // where each text starts, in points from the line's left end
    QVector<double> width;
};

// Sets the three texts of a line of the given width so that none runs into
// another: the left text starts at the left end, the right one ends at the
// right end, the centre one stands in the middle, or as near it as the
// others leave room for. Texts that do not fit side by side at the given
// size shrink, down to the smallest size a report prints; only where they do
// not fit even then are the widest cut short.
PlacedTexts placeAcross(const QStringList &texts, double width, double size, bool bold);

} // namespace report
