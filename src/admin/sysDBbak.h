#pragma once

#include <QDialog>

class Module1;
class QLabel;
class QLineEdit;

// The backup window: the open book's automatic-backup cycle (saved in its
// "bak.set" beside the program, read by the automatic backup at exit) and a
// manual backup as a checked, keyed copy of the book file.
class sysDBbak : public QDialog {
    Q_OBJECT
public:
    explicit sysDBbak(QWidget *parent = nullptr);

    // Command2 "保存设置".
    void SaveCycle();
    // Command3 "开始备份".
    void ManualBackup();

    QString LastAutoBackup;

private:
    Module1 &m_;
    QLineEdit *txt_;
    QLabel *labInfo_;
};
