#include "HostWindow.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QPointer>

namespace {

constexpr const char *kDefaultSizeProperty = "defaultSizeOnly";

// Watches a window inside a sub-window: when the window is hidden by its own
// close while the sub-window still shows (a minimised sub-window hides it too), the sub-window hides at once and is
// deleted with the window when control returns to the event loop.
class HostCloser : public QObject {
public:
    HostCloser(QWidget *window, QMdiSubWindow *sub) : QObject(window), window_(window), sub_(sub)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Hide && window_->isHidden() && sub_ &&
            sub_->isVisible() && !sub_->isMinimized() && sub_->widget() == window_) {
            sub_->hide();
            sub_->deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *window_;
    QPointer<QMdiSubWindow> sub_;
};

} // namespace

void CloseHostWindow(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        sub->close();
    else
        window->close();
}

void CloseHostWhenWindowCloses(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        new HostCloser(window, sub);
}

void SetDefaultSize(QWidget *window, int width, int height)
{
    window->resize(width, height);
    window->setProperty(kDefaultSizeProperty, true);
}

bool HasOwnSize(const QWidget *window)
{
    return window->testAttribute(Qt::WA_Resized) && !window->property(kDefaultSizeProperty).toBool();
}
