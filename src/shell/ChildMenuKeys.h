#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QKeyEvent;
class QMdiArea;
class QMenuBar;
class QWidget;

// Gives the Alt letters of the active function window's menu bar priority
// over the main menu's: Alt+S in a document window saves instead of opening
// "系统管理". Letters the function window does not use still reach the main
// menu. Watches the application's key events while it lives.
class ChildMenuKeys : public QObject {
public:
    explicit ChildMenuKeys(QMdiArea *area);
    ~ChildMenuKeys() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The command of the active function window whose Alt letter is the key
    // pressed in receiver (a control of that window).
    QAction *commandFor(const QKeyEvent &key, QWidget *receiver, QMenuBar **bar) const;

    QPointer<QMdiArea> area_;
};
