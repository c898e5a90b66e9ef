#pragma once

#include "ClearingDialog.h"

class QLineEdit;

// Removes one supplier, receiving unit or goods record together with every
// document that refers to it.
class S302 : public admin::ClearingDialog {
    Q_OBJECT
public:
    explicit S302(QWidget *parent = nullptr);

private:
    void run() override;

    QLineEdit *txt_ = nullptr;
};
