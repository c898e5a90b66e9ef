#pragma once

#include <QDialog>

// The about window: the system's name, edition and version, a web link and a
// mail link to the maker. The caller sets linkstr (and may change the window
// caption and the captions of Cmd0 and Cmd1) before showing it modally.
class AboutUS : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString linkstr MEMBER linkstr)
public:
    explicit AboutUS(QWidget *parent = nullptr);

    QString linkstr;

    void VisitWebPage();
    void SendMail();
};
