#pragma once

#include <QDialog>

class MForm;
class Module1;
class QComboBox;
class QLineEdit;

// The login window: checks an operator's code and password against TE1 and
// makes that operator the current one (code, name in status panel 3, options,
// rights on the main menus, the background's caption and picture). Left only
// by a successful login (accepted) or by Cmd1, which ends the program.
class Login : public QDialog {
    Q_OBJECT
public:
    explicit Login(MForm *mainWindow, QWidget *parent = nullptr);

    // 0 log in, 1 end the program, 2 help.
    void LoginCommand(int index);
    void ApplyOperatorRights();

    QString DefaultBigCaption = QStringLiteral("Vantoro仓库管理");
    QString LoginHelpText;

public slots:
    void reject() override {}  // no close box, Esc does nothing

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void InitLoginWindow();
    void PickOperatorFromCombo();
    void LogIn();
    void DressBackground();

    Module1 &m_;
    MForm *main_;
    QComboBox *cmb_;
    QLineEdit *txt_[2];
    bool leaving_ = false;
};
