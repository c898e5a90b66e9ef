#pragma once

#include "admin/SystemOptions.h"

#include <QDialog>
#include <QList>

class Module1;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The system options window: shows the module's option variables, and its
// OK button writes the changed ones to the book and puts them in force.
class SysFuncSet : public QDialog {
    Q_OBJECT
public:
    explicit SysFuncSet(QWidget *parent = nullptr);

    // The options as the window's controls hold them.
    options::SystemOptions shownOptions() const;

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void loadOptions();
    void factorBoxChanged(bool checked);
    void factorTextChanged();
    void quantityOnlyChanged(bool checked);
    void warnOnOpening(int box, bool checked);
    void decimalsChanged();
    void save();
    void placeDecimalsBox();

    Module1 &m_;
    bool mLoading = false;
    float mLastFactor = 1;
    bool checkingDecimals_ = false;

    QFrame *Frm = nullptr;
    QList<QCheckBox *> Chk;  // 0..9; Chk(9) is option 10
    QLineEdit *Txt4 = nullptr;
    QLabel *Lab4 = nullptr;
    QLineEdit *Txt9 = nullptr;
    QLabel *Lab9 = nullptr;
    QList<QPushButton *> Cmd;
};
