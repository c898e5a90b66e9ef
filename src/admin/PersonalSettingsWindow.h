#pragma once

#include <QDialog>
#include <QList>

class BGForm;
class Module1;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

// The operator's personal settings: note, password, background picture and
// big caption of the logged-in operator. Every way of closing keeps the note
// and the caption; the password and the picture have their own buttons.
class S2 : public QDialog {
    Q_OBJECT
public:
    // background: the main window's background (the running main window's
    // when none is given; none at all leaves only the book to change).
    explicit S2(QWidget *parent = nullptr, BGForm *background = nullptr);

    QString SavedPad;     // the note as loaded or last saved
    QString PicturePath;  // the picture chosen on the picture tab; empty until one is

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void showTab(int index);
    void changePassword();
    void browsePicture();
    void restoreDefaultPicture();
    void confirmPicture();
    bool showPreview(const QString &path);
    void SavePersonalSettings();
    QString shownCaption() const;

    Module1 &m_;
    BGForm *background_;
    QString loadedCaption_;  // the caption shown at opening, when there is no background window

    QLabel *LabUser = nullptr;
    QLabel *ImgTop = nullptr;
    QTabBar *TabS = nullptr;
    QFrame *Frm1 = nullptr;
    QFrame *Frm2 = nullptr;
    QFrame *Frm3 = nullptr;
    QFrame *Frm4 = nullptr;
    QPlainTextEdit *TxtPad = nullptr;
    QPushButton *CmdPad = nullptr;
    QList<QLineEdit *> Txt;
    QList<QPushButton *> Cmd;
    QLabel *Img = nullptr;
    QList<QPushButton *> CmdSet;
    QLineEdit *TxtBgCpt = nullptr;
    QPushButton *CmdCptSet = nullptr;
};
