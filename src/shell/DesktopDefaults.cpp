#include "DesktopDefaults.h"

#include "MenuRows.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>

namespace {

// The width a caption needs to be read whole, with the header's margins and
// room for a sort indicator.
int captionWidth(const QHeaderView &header, int section)
{
    const QString caption = header.model()->headerData(section, header.orientation()).toString();
    if (caption.isEmpty())
        return 0;
    const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    return header.fontMetrics().horizontalAdvance(caption) + 4 * margin + 2;
}

void widenNarrowSections(QHeaderView &header)
{
    if (!header.model())
        return;
    for (int section = 0; section < header.count(); ++section) {
        const int size = header.sectionSize(section);
        if (size <= 0 || header.isSectionHidden(section))
            continue;
        const int needed = captionWidth(header, section);
        if (size < needed)
            header.resizeSection(section, needed);
    }
}

void keepCaptionsWhole(QHeaderView *header)
{
    QPointer<QHeaderView> guard(header);
    const auto check = [guard] {
        if (guard)
            widenNarrowSections(*guard);
    };
    QObject::connect(header, &QHeaderView::sectionResized, header, [header](int section, int, int size) {
        if (size <= 0 || !header->model())
            return;
        const int needed = captionWidth(*header, section);
        if (size < needed)
            header->resizeSection(section, needed);
    });
    QObject::connect(header, &QHeaderView::sectionCountChanged, header, check);
    if (header->model())
        QObject::connect(header->model(), &QAbstractItemModel::headerDataChanged, header, check);
    check();
}

} // namespace

void ApplyDesktopDefaults(QWidget *window)
{
    for (QMenuBar *bar : window->findChildren<QMenuBar *>())
        WrapMenuBar(bar);
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>())
        view->setTabKeyNavigation(false);
    for (QTableView *table : window->findChildren<QTableView *>())
        keepCaptionsWhole(table->horizontalHeader());
}
