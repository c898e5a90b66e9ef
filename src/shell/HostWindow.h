#pragma once

class QWidget;

// Closes the MDI sub-window that holds window (the window shown in the main
// window's area), else window itself.
void CloseHostWindow(QWidget *window);
