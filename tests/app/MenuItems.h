#pragma once

#include <QAction>
#include <QList>
#include <QMenu>

// Every item a click can reach: visible, enabled, no submenu, no separator.
inline void collectItems(QMenu *menu, QList<QAction *> &items)
{
    for (QAction *action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible() || !action->isEnabled())
            continue;
        if (action->menu())
            collectItems(action->menu(), items);
        else
            items << action;
    }
}
