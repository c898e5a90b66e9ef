#include "ChildMenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

ChildMenuKeys::ChildMenuKeys(QMdiArea *area) : QObject(area), area_(area)
{
    qApp->installEventFilter(this);
}

ChildMenuKeys::~ChildMenuKeys()
{
    qApp->removeEventFilter(this);
}

QAction *ChildMenuKeys::commandFor(const QKeyEvent &key, QWidget *receiver, QMenuBar **bar) const
{
    if (!area_ || key.modifiers() != Qt::AltModifier || key.key() < Qt::Key_0 || key.key() > Qt::Key_Z)
        return nullptr;
    QMdiSubWindow *active = area_->activeSubWindow();
    if (!active || !active->widget() || !active->isVisible() || !active->isAncestorOf(receiver))
        return nullptr;
    // Two commands may share a letter ("&C.审核", "&C.取消"); the one the
    // operator can use now wins.
    const QKeySequence pressed(key.keyCombination());
    QAction *found = nullptr;
    for (QMenuBar *menuBar : active->widget()->findChildren<QMenuBar *>()) {
        if (!menuBar->isVisible())
            continue;
        for (QAction *action : menuBar->actions()) {
            if (!action->isVisible() || QKeySequence::mnemonic(action->text()) != pressed)
                continue;
            if (!found || (!found->isEnabled() && action->isEnabled())) {
                found = action;
                *bar = menuBar;
            }
        }
    }
    return found;
}

bool ChildMenuKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    QMenuBar *bar = nullptr;
    QAction *action = commandFor(*key, static_cast<QWidget *>(watched), &bar);
    if (!action)
        return QObject::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        // Claimed as a key press, so the main menu's shortcut does not fire.
        key->accept();
        return true;
    }
    if (action->isEnabled()) {
        if (action->menu())
            bar->setActiveAction(action);
        else
            action->trigger();
    }
    return true;
}
