#pragma once

#include <QDialog>

class Module1;

// The restore window: replaces the open book's file by a checked copy of a
// backup file, then asks the operator to log in again. Offers a backup first.
class S32 : public QDialog {
    Q_OBJECT
public:
    explicit S32(QWidget *parent = nullptr);

    // Command1 "恢复数据".
    void Restore();
    // Command3 "备份数据": the backup window, modally.
    void ShowBackupWindow();

private:
    Module1 &m_;
};
