#pragma once

#include <QDialog>

class QDateEdit;
class QRadioButton;

// Removes the documents of one kind dated before a cut-off day.
class S303 : public QDialog {
    Q_OBJECT
public:
    explicit S303(QWidget *parent = nullptr);

    void done(int result) override;

private:
    void run();

    QRadioButton *opt_[5] = {};
    QDateEdit *dtp_ = nullptr;
};
