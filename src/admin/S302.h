#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

// Removes one supplier, receiving unit or goods record together with every
// document that refers to it.
class S302 : public QDialog {
    Q_OBJECT
public:
    explicit S302(QWidget *parent = nullptr);

    void done(int result) override;

private:
    void run();

    QRadioButton *opt_[4] = {};
    QLineEdit *txt_ = nullptr;
};
