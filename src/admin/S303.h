#pragma once

#include "ClearingDialog.h"

class QDateEdit;

// Removes the documents of one kind dated before a cut-off day.
class S303 : public admin::ClearingDialog {
    Q_OBJECT
public:
    explicit S303(QWidget *parent = nullptr);

private:
    void run() override;

    QDateEdit *dtp_ = nullptr;
};
