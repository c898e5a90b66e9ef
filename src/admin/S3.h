#pragma once

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QPushButton;

// Initialises the open account book by kind of data: documents, stock
// quantities, master data and the start of the fiscal year.
class S3 : public QDialog {
    Q_OBJECT
public:
    explicit S3(QWidget *parent = nullptr);

    void done(int result) override;

private:
    void boxToggled(int index, bool checked);
    void run();

    QCheckBox *chk_[4] = {};
    QDateEdit *dtp_ = nullptr;
};
