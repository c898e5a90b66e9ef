#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QPushButton;
class Module1;

// The account-book chooser, shown modally. Its lists come from
// Module1::bookList (filled by LoadBookList before the window is made).
// It is left only through its buttons:
//  - Cmd0 "打开帐本" opens the chosen book into gDb, sets gBookFile and
//    gBookName, rewrites dbsetup.dat and accepts;
//  - Cmd3 with the caption kReturnCaption (set by the book switch) reopens
//    gBookFile and accepts; with its own caption "退出系统" it rewrites
//    dbsetup.dat and ends the program (program::endNow) and rejects.
// A chooser registered later under "ZbSet" keeps the same protocol.
class ZbSet : public QDialog {
    Q_OBJECT
public:
    explicit ZbSet(QWidget *parent = nullptr);

    static inline const QString kReturnCaption = QStringLiteral("返回系统");

    void OpenChosenBook();
    void Leave();
    // Where the first line of dbsetup.dat comes from: the check box ("No"
    // when checked, else "Yes"), or the list file as it is (a rename of the
    // open book writes the list without asking about the next start).
    enum class FirstLine { FromCheckBox, AsListed };
    // Writes dbsetup.dat: "No"/"Yes", the chosen book first, then the others;
    // paths in the program folder as "%AppPath%" + the rest.
    bool WriteBookList(FirstLine first = FirstLine::FromCheckBox);

    bool AllowClose = false;
    // True when path is the book the program works on: opened from the main
    // window, "返回系统" goes back to it. At start-up no book is in use yet.
    bool isBookInUse(const QString &path) const;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Shared with the full account-book window of the administration, which
    // adds its buttons between Cmd0 and Cmd3.
    Module1 &m_;
    QComboBox *cmb_[2];
    QCheckBox *chk_;
    QPushButton *cmd0_;
    QPushButton *cmd3_;
    QHBoxLayout *buttons_;
};
