#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;

// Tip of the day: a random line of "Learn.dat" beside the program, another on
// request, and the choice whether a tip shows at every start.
class frmTip : public QDialog {
    Q_OBJECT
public:
    explicit frmTip(QWidget *parent = nullptr);

    // Fills TipList from file and shows a random tip; false when the name is
    // empty or the file does not exist.
    // False when the tips cannot be read; failure receives why, for a file that is there.
    bool LoadTips(const QString &file, QString *failure = nullptr);
    void DisplayCurrentTip();
    void PickRandomTip();

    QStringList TipList;
    int CurrentTipNo = 0;

private:
    QLabel *lblTipText_;
    QCheckBox *chk_;
};
