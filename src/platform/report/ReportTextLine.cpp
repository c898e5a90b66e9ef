#include "ReportTextLine.h"

#include "ReportColumns.h"
#include "ReportText.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

// The widest any text may be so that all of them together take no more
// than room: texts narrower keep their width.
double widestAllowed(QVector<double> widths, double room)
{
    std::sort(widths.begin(), widths.end());
    double used = 0;
    for (qsizetype i = 0; i < widths.size(); ++i) {
        const double rest = widths.size() - i;
        if (used + widths[i] * rest > room)
            return qMax(0.0, (room - used) / rest);
        used += widths[i];
    }
    return room;
}

} // namespace

PlacedTexts placeAcross(const QStringList &given, double width, double size, bool bold)
{
    PlacedTexts out;
    out.texts = given;
    while (out.texts.size() < 3)
        out.texts.append(QString());
    out.size = size;
    const auto measure = [&](double points) {
        const TextWidths &w = TextWidths::of(points, bold);
        QVector<double> widths;
        for (int i = 0; i < 3; ++i)
            widths.append(w.width(QStringView(out.texts[i])));
        return widths;
    };
    const auto room = [&](double points) {
        const int shown = int(std::count_if(out.texts.begin(), out.texts.begin() + 3,
                                            [](const QString &t) { return !t.isEmpty(); }));
        return width - qMax(0, shown - 1) * points;  // a space of one character between texts
    };
    const auto sum = [](const QVector<double> &w) { return w[0] + w[1] + w[2]; };
    QVector<double> widths = measure(size);
    for (double s = std::ceil(size) - 1; s >= kSmallestSize && sum(widths) > room(size); s -= 1) {
        size = s;
        widths = measure(s);
    }
    out.size = size;
    if (sum(widths) > room(size)) {
        const double cap = widestAllowed(widths, room(size));
        const TextWidths &w = TextWidths::of(size, bold);
        for (int i = 0; i < 3; ++i) {
            if (widths[i] > cap) {
                out.texts[i] = wrapText(out.texts[i], cap, w, 1).value(0);
                widths[i] = w.width(QStringView(out.texts[i]));
            }
        }
    }
    const double gap = size;
    const double lo = widths[0] > 0 ? widths[0] + gap : 0;
    const double hi = width - widths[1] - (widths[2] > 0 ? widths[2] + gap : 0);
    out.x = {0, qMax(lo, qMin((width - widths[1]) / 2, hi)), width - widths[2]};
    out.width = widths;
    return out;
}

} // namespace report
