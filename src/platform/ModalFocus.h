#pragma once

class QApplication;

// After a modal window (message box, file or print dialog, any modal dialog
// of the program) closes, the window that opened it gets the keyboard back:
// the window that was active when it opened, else its parent's window, else
// the main window. A window manager does this itself; without one the focus
// went to the root window and the keyboard (the Alt letters of the menus
// included) did nothing until a click. Installed once for the application.
void ReturnFocusAfterModalWindows(QApplication &app);
