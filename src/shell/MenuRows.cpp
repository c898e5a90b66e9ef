#include "MenuRows.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QVBoxLayout>

namespace {

class MenuRows : public QWidget {
public:
    MenuRows(QMenuBar *first, QWidget *window) : QWidget(window), actions_(first->actions())
    {
        setObjectName(first->objectName().isEmpty() ? QStringLiteral("MenuRows") : first->objectName() + "Rows");
        rows_ = new QVBoxLayout(this);
        rows_->setContentsMargins(0, 0, 0, 0);
        rows_->setSpacing(0);
        rows_->addWidget(first);
        bars_.append(first);
    }

    // The size with every command on one row: what the window should give
    // the bar when it has the room.
    QSize sizeHint() const override
    {
        QMenuBar *first = bars_.first();
        int width = margins(first);
        for (QAction *action : std::as_const(actions_))
            width += action->isVisible() ? itemWidth(first, action) : 0;
        return QSize(width, QWidget::sizeHint().height());
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        distribute(width());
    }

private:
    // Width of one command on the bar, as the bar lays it out.
    int itemWidth(QMenuBar *bar, QAction *action) const
    {
        QStyleOptionMenuItem option;
        option.initFrom(bar);
        option.menuItemType = QStyleOptionMenuItem::Normal;
        option.text = action->text();
        const QSize text = bar->fontMetrics().size(Qt::TextShowMnemonic, action->text());
        return bar->style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, bar).width() +
               bar->style()->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, bar);
    }

    // The bar's own margins left and right of its commands.
    static int margins(QMenuBar *bar)
    {
        return 2 * (bar->style()->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, bar) +
                    bar->style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, bar)) + 4;
    }

    void distribute(int width)
    {
        if (width <= 0)
            return;
        QMenuBar *first = bars_.first();
        const int margins = MenuRows::margins(first);
        QList<QList<QAction *>> rows(1);
        int used = margins;
        for (QAction *action : std::as_const(actions_)) {
            const int w = action->isVisible() ? itemWidth(first, action) : 0;
            if (used + w > width && !rows.last().isEmpty()) {
                rows.append(QList<QAction *>());
                used = margins;
            }
            rows.last().append(action);
            used += w;
        }
        if (rows.size() == rowsShown_ && sameRows(rows))
            return;
        while (bars_.size() < rows.size()) {
            auto *bar = new QMenuBar(this);
            bar->setNativeMenuBar(false);
            bar->setObjectName(first->objectName() + QString::number(bars_.size() + 1));
            rows_->addWidget(bar);
            bars_.append(bar);
        }
        for (int i = 0; i < bars_.size(); ++i) {
            QMenuBar *bar = bars_[i];
            const QList<QAction *> wanted = i < rows.size() ? rows[i] : QList<QAction *>();
            if (bar->actions() != wanted) {
                for (QAction *action : bar->actions())
                    bar->removeAction(action);
                bar->addActions(wanted);
            }
            bar->setVisible(i == 0 || !wanted.isEmpty());
        }
        rowsShown_ = int(rows.size());
        updateGeometry();
        if (parentWidget() && parentWidget()->layout())
            parentWidget()->layout()->invalidate();
    }

    bool sameRows(const QList<QList<QAction *>> &rows) const
    {
        for (int i = 0; i < rows.size(); ++i)
            if (bars_.value(i) == nullptr || bars_[i]->actions() != rows[i])
                return false;
        return true;
    }

    QList<QAction *> actions_;
    QList<QMenuBar *> bars_;
    QVBoxLayout *rows_;
    int rowsShown_ = 1;
};

} // namespace

void WrapMenuBar(QMenuBar *bar)
{
    QWidget *window = bar->parentWidget();
    if (!window || !window->layout() || window->layout()->menuBar() != bar)
        return;
    auto *rows = new MenuRows(bar, window);
    window->layout()->setMenuBar(rows);
}
