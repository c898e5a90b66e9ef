#pragma once

#include "platform/report/ReportControl.h"

#include <QWidget>

class QAction;
class QLabel;
class QMenuBar;
class QPushButton;

// The print host "打印": the one window that carries the report control Cry.
// A printing window hands it a report (see PrintRequest.h); the report opens
// as a preview inside it, from where the operator prints (Menu_prnt) or
// returns (Menu_Rtn). One instance at a time, created on first use and
// reused until it is closed.
class Prnt : public QWidget {
    Q_OBJECT
public:
    // The open print host, created (hidden) on first use with the given parent.
    static Prnt &instance(QWidget *parent = nullptr);
    // The open print host, or nullptr.
    static Prnt *loaded();

    // Shows the host modeless and brings it forward: as a child in the main
    // window's MDI area while there is a main window, else on its own.
    void showHost();

    ReportControl *Cry;
    QPushButton *Cmd;      // "<- 帮 助": on the preview's tool row once a report shows
    QLabel *Label1;        // lies beneath the preview
    QMenuBar *MenuBar;
    QAction *Menu_prnt;    // "&P.打印"
    QAction *Menu_Rtn;     // "&R.返回"
    QWidget *PreviewArea;  // where the preview opens

public slots:
    void printReport();  // Menu_prnt: the report on show, to the printer
    void closeHost();    // Menu_Rtn
    void showHelp();     // Cmd

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    explicit Prnt(QWidget *parent);
    void placeHelpButton();
};
