#pragma once

#include <QMargins>
#include <QRect>
#include <QString>
#include <optional>

class QWidget;

// Where a top-level window was left: its client rectangle (the rectangle
// QWidget::geometry and setGeometry speak of, without the frame a window
// manager draws), that frame, and whether the window was maximised. A
// maximised window keeps the rectangle it returns to when restored.
//
// Qt's own saveGeometry/restoreGeometry pair is not used: on restore it moves
// a window that touches the top of the work area down by a title bar's height
// even where no window manager draws one, so the window crept down at every start.
struct WindowPlacement {
    QRect client;
    QMargins frame;
    bool maximized = false;

    // The placement of a window as it is now.
    static WindowPlacement of(const QWidget &window);

    // One settings text: "x y width height left top right bottom maximised".
    QString toText() const;
    // nullopt for a text in any other form (also Qt's own geometry blob).
    static std::optional<WindowPlacement> fromText(const QString &text);

    // The client rectangle to show the window at: as left when the window with
    // its frame lies inside workArea; otherwise made no larger than the area
    // and moved just inside it.
    QRect placedIn(const QRect &workArea) const;
};
