#pragma once

#include <QDate>
#include <QDialog>

class C181;
class QCheckBox;
class QLabel;
class QPushButton;

// The fiscal year-end "库存年度结转": tomorrow becomes the first day of the
// new fiscal year and every goods' stock on hand and cost price its opening
// balance; the saved reports are kept as closed-year reports or cleared, the
// documents optionally cleared. Only operator "001" may run it. Opened from
// the period report window, which it refreshes afterwards.
class YearEnd : public QDialog {
    Q_OBJECT
public:
    explicit YearEnd(C181 *reportWindow = nullptr, QWidget *parent = nullptr);

    // The first day of the new fiscal year: tomorrow, fixed when the window opens.
    QDate CurrentYearEndStart;

    QLabel *labinf = nullptr;
    QCheckBox *Chk[2] = {nullptr, nullptr};
    QPushButton *Cmd[3] = {nullptr, nullptr, nullptr};

    void backUp();        // Cmd(0)
    void carryForward();  // Cmd(1)

private:
    C181 *reportWindow_;
};
