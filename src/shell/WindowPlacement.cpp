#include "WindowPlacement.h"

#include <QStringList>
#include <QWidget>

WindowPlacement WindowPlacement::of(const QWidget &window)
{
    WindowPlacement placement;
    const QRect client = window.geometry();
    const QRect frame = window.frameGeometry();
    placement.frame = QMargins(client.left() - frame.left(), client.top() - frame.top(),
                               frame.right() - client.right(), frame.bottom() - client.bottom());
    placement.maximized = window.isMaximized();
    placement.client = placement.maximized ? window.normalGeometry() : client;
    return placement;
}

QString WindowPlacement::toText() const
{
    const int values[] = {client.x(),   client.y(),   client.width(), client.height(), frame.left(),
                          frame.top(),  frame.right(), frame.bottom(), maximized ? 1 : 0};
    QStringList parts;
    for (int value : values)
        parts << QString::number(value);
    return parts.join(QLatin1Char(' '));
}

std::optional<WindowPlacement> WindowPlacement::fromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 9)
        return std::nullopt;
    int v[9];
    for (int i = 0; i < 9; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0)
        return std::nullopt;
    WindowPlacement placement;
    placement.client = QRect(v[0], v[1], v[2], v[3]);
    placement.frame = QMargins(qMax(0, v[4]), qMax(0, v[5]), qMax(0, v[6]), qMax(0, v[7]));
    placement.maximized = v[8] != 0;
    return placement;
}

QRect WindowPlacement::placedIn(const QRect &workArea) const
{
    const QRect room = workArea.marginsRemoved(frame);
    if (room.contains(client))
        return client;
    const QSize size = client.size().boundedTo(room.size());
    const int x = qBound(room.left(), client.x(), room.right() + 1 - size.width());
    const int y = qBound(room.top(), client.y(), room.bottom() + 1 - size.height());
    return QRect(QPoint(x, y), size);
}
