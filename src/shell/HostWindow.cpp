#include "HostWindow.h"

#include <QMdiSubWindow>

void CloseHostWindow(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        sub->close();
    else
        window->close();
}
