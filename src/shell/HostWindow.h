#pragma once

class QWidget;

// Closes the MDI sub-window that holds window (the window shown in the main
// window's area), else window itself.
void CloseHostWindow(QWidget *window);

// Makes the MDI sub-window that holds window go when window closes itself
// (a "返回" that closes only the window would leave an empty frame).
void CloseHostWhenWindowCloses(QWidget *window);

// Gives window a size for when it is shown on its own; shown in the main
// window it takes the work area instead (the size is no size of its own).
void SetDefaultSize(QWidget *window, int width, int height);
// True when window was given a size of its own (resize), not a default size.
bool HasOwnSize(const QWidget *window);
