#include "ModalFocus.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

class ModalFocusReturn : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Hide) || !watched->isWidgetType())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        if (!window->isWindow() || !window->isModal())
            return false;
        if (type == QEvent::Show) {
            QWidget *active = QApplication::activeWindow();
            if (active && active != window)
                openers_.insert(window, active);
        } else {
            giveFocusBack(window);
        }
        return false;
    }

private:
    void giveFocusBack(QWidget *closed)
    {
        const QPointer<QWidget> opener = openers_.take(closed);
        QWidget *target = opener;
        if (!target || !target->isVisible())
            target = closed->parentWidget() ? closed->parentWidget()->window() : nullptr;
        if (!target || !target->isVisible())
            target = mainWindow();
        // Another window took the keyboard already: it keeps it.
        QWidget *active = QApplication::activeWindow();
        if (!target || !target->windowHandle() || (active && active != closed && active != target))
            return;
        // Asked of the window system even when Qt already counts the target
        // active: the window system may have put the focus elsewhere. Not
        // activateWindow(), which does nothing while the closed box, a
        // transient of the target, still counts as the focus window.
        target->windowHandle()->requestActivate();
    }

    static QWidget *mainWindow()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<QMainWindow *>(window) && window->isVisible())
                return window;
        return nullptr;
    }

    QHash<QWidget *, QPointer<QWidget>> openers_;
};

} // namespace

void ReturnFocusAfterModalWindows(QApplication &app)
{
    static QPointer<ModalFocusReturn> installed;
    if (installed)
        return;
    installed = new ModalFocusReturn(&app);
    app.installEventFilter(installed);
}
