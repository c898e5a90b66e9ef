#pragma once

// Small helpers the document window's source files share.
#include "platform/GridModel.h"
#include "shell/GridColumnFit.h"

#include <QColor>
#include <QCoreApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QString>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>

namespace documents::windowparts {

inline const QString kTip = QStringLiteral("提示");
inline const QColor kHighlight(192, 255, 255);
inline const QColor kSearchBackground(192, 255, 192);
inline constexpr int kExpandedSearchHeight = 322;  // 4830 twips

inline QTableView *makeGrid(GridModel *model, const QString &name, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->verticalHeader()->hide();
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

// Fits a grid's columns to its texts from the widths just given to them. A
// hidden grid has no size of its own yet: it is fitted when it shows.
inline void fitShownGrid(QTableView *grid)
{
    if (grid->isVisible())
        FitColumnsToTexts(grid);
}

// Opens the picker's calendar, as a click on its drop-down arrow does; the
// date is thus always chosen in the picker.
inline void openCalendar(QDateEdit *picker)
{
    QStyleOptionComboBox option;
    option.initFrom(picker);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QPointF arrow =
        picker->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, picker).center();
    QCoreApplication::postEvent(picker, new QMouseEvent(QEvent::MouseButtonPress, arrow, picker->mapToGlobal(arrow),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
}

inline bool isEnter(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Letters typed into box become capitals as they are typed.
inline void upperCaseAsTyped(QLineEdit *box)
{
    QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int pos = box->cursorPosition();
            box->setText(upper);
            box->setCursorPosition(pos);
        }
    });
}

} // namespace documents::windowparts
