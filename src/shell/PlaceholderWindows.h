#pragma once

#include <QDialog>
#include <QWidget>

// Stand-ins for the windows of later subsystems, registered under their names
// until the subsystem registers the real window. Each says it is not built yet.
class PlaceholderWindow : public QWidget {
    Q_OBJECT
public:
    PlaceholderWindow(const QString &name, const QString &caption, QWidget *parent = nullptr);
};

class PlaceholderDialog : public QDialog {
    Q_OBJECT
public:
    PlaceholderDialog(const QString &name, const QString &caption, QWidget *parent = nullptr);
};

// The stock list: its view is chosen by AutoOpen before it is shown
// (1 below safety stock, 2 above maximum, else the whole list).
class C1Placeholder : public PlaceholderWindow {
    Q_OBJECT
    Q_PROPERTY(int AutoOpen MEMBER AutoOpen)
public:
    explicit C1Placeholder(QWidget *parent = nullptr);
    int AutoOpen = 0;
};

// Document statistics: whoami names the document kind ("B2", "B4", "D2", "D4").
class LstPlaceholder : public PlaceholderWindow {
    Q_OBJECT
    Q_PROPERTY(QString whoami MEMBER whoami)
public:
    explicit LstPlaceholder(QWidget *parent = nullptr);
    QString whoami;
};

// The notice a placeholder shows.
QString notBuiltText(const QString &caption);
