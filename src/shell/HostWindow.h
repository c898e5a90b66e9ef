#pragma once

class QWidget;

// Closes the MDI sub-window that holds window (the window shown in the main
// window's area), else window itself.
void CloseHostWindow(QWidget *window);

// Makes the MDI sub-window that holds window go when window closes itself
// (a "返回" that closes only the window would leave an empty frame).
void CloseHostWhenWindowCloses(QWidget *window);
