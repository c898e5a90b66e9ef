#pragma once

#include "platform/GridModel.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

// Failures print texts, not their bytes.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &texts, std::ostream *os)
{
    *os << '[' << texts.join(QStringLiteral("|")).toStdString() << ']';
}

// Drives a master-data window the way an operator does: menu commands,
// typing into card boxes, picking a list row.
template <class Window>
struct WindowDriver {
    Window &w;

    void menu(const char *name)
    {
        QAction *action = w.template findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    bool menuVisible(const char *name)
    {
        QAction *action = w.template findChild<QAction *>(QString::fromLatin1(name));
        return action && action->isVisible();
    }
    // Shows the window as the active one, so focus moves as on a screen.
    bool showActive()
    {
        w.show();
        QApplication::setActiveWindow(&w);
        return QTest::qWaitForWindowActive(&w);
    }
    QLineEdit *box(int i) { return w.template findChild<QLineEdit *>(QStringLiteral("Txt") + QString::number(i)); }
    void type(int i, const QString &text)
    {
        QLineEdit *b = box(i);
        ASSERT_NE(b, nullptr) << "Txt" << i;
        b->clear();
        typeText(b, text);
    }
    // Latin keys as key strokes; other characters as an input method commits them.
    static void typeText(QWidget *target, const QString &text)
    {
        for (const QChar ch : text) {
            if (ch.unicode() < 128) {
                QTest::keyClicks(target, QString(ch));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(ch));
                QApplication::sendEvent(target, &commit);
            }
        }
    }
    void pickRow(int row)
    {
        auto *view = w.template findChild<QTableView *>(QStringLiteral("GD"));
        view->selectionModel()->setCurrentIndex(view->model()->index(row - 1, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    QString cell(int row, int col) { return w.grid().textMatrix(row, col); }
    QStringList column(int col)
    {
        QStringList texts;
        for (int r = 1; r < w.grid().rows(); ++r)
            texts.append(w.grid().textMatrix(r, col));
        return texts;
    }
};
