#include "Login.h"

#include "AboutUS.h"
#include "BGForm.h"
#include "MForm.h"
#include "ModalDialogs.h"
#include "Module1.h"
#include "OperatorLogin.h"
#include "Pictures.h"
#include "ProgramEnd.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

Login::Login(MForm *mainWindow, QWidget *parent)
    : QDialog(parent ? parent : mainWindow)
    , m_(Module1::instance())
    , main_(mainWindow)
{
    setObjectName(QStringLiteral("Login"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto *grid = new QGridLayout(this);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(loadPicture(m_.gProgramPath + QStringLiteral("image/login.jpg")));
    image->installEventFilter(this);
    grid->addWidget(image, 0, 0, 1, 4);

    auto *userLabel = new QLabel(QStringLiteral("用户："), this);
    userLabel->setObjectName(QStringLiteral("Label1_0"));
    auto *passwordLabel = new QLabel(QStringLiteral("密码："), this);
    passwordLabel->setObjectName(QStringLiteral("Label1_1"));
    cmb_ = new QComboBox(this);
    cmb_->setObjectName(QStringLiteral("Cmb"));
    cmb_->setEditable(true);
    cmb_->setInsertPolicy(QComboBox::NoInsert);
    cmb_->installEventFilter(this);
    cmb_->lineEdit()->installEventFilter(this);
    for (int i = 0; i < 2; ++i) {
        txt_[i] = new QLineEdit(this);
        txt_[i]->setObjectName(QStringLiteral("Txt%1").arg(i));
        txt_[i]->installEventFilter(this);
    }
    // The code box is not for the operator's eyes: the check reads the code from it.
    txt_[0]->setVisible(false);
    txt_[1]->setEchoMode(QLineEdit::Password);
    grid->addWidget(userLabel, 1, 0);
    grid->addWidget(cmb_, 1, 1, 1, 3);
    grid->addWidget(passwordLabel, 2, 0);
    grid->addWidget(txt_[1], 2, 1, 1, 3);

    const char *captions[3] = {"登 录", "退 出", "帮 助"};
    for (int i = 0; i < 3; ++i) {
        auto *cmd = new QPushButton(QString::fromUtf8(captions[i]), this);
        cmd->setObjectName(QStringLiteral("Cmd%1").arg(i));
        // Enter on a focused button presses it (the boxes turn Enter into Tab themselves).
        cmd->setAutoDefault(true);
        grid->addWidget(cmd, 3, i + 1);
        connect(cmd, &QPushButton::clicked, this, [this, i] { LoginCommand(i); });
    }
    setTabOrder(cmb_, txt_[1]);
    connect(cmb_, &QComboBox::editTextChanged, this, [this] { PickOperatorFromCombo(); });

    InitLoginWindow();
}

void Login::InitLoginWindow()
{
    setWindowTitle(QStringLiteral("登录帐本...") + QLocale().toString(m_.Today(), QLocale::ShortFormat));
    const QString p = m_.GetSingleValue(QStringLiteral("select F3 from TE1 where F1='001'"));
    const QString howTo = QStringLiteral("关于如何使用本软件，您可以在登录系统后查看主菜单[使用说明]中的信息。");
    if (p != Module1::NoFound && !p.isEmpty())
        LoginHelpText = howTo;
    else
        LoginHelpText = QStringLiteral("系统默认用户为“001”，默认密码为空。也就是不需要输入密码，直接按<登录>按钮登录。") +
                        QStringLiteral("\n\n") +
                        QStringLiteral("在系统中可以使用[操作员修改密码]功能为“001”或其它用户名设定密码。") +
                        QStringLiteral("\n\n") + howTo;
    db::Statement st = m_.gDb.prepare(
        QStringLiteral("select F1 || '.' || coalesce(F2,'') from TE1 where F1 is not null order by F1"));
    while (st.next())
        cmb_->addItem(st.text(0));
    cmb_->setCurrentIndex(-1);
    cmb_->setEditText(QString());
}

void Login::PickOperatorFromCombo()
{
    const QString s = cmb_->currentText().trimmed();
    const int point = s.indexOf(QLatin1Char('.'));
    txt_[0]->setText(point >= 0 ? s.left(point) : s);
}

bool Login::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if ((watched == cmb_ || watched == cmb_->lineEdit()) && enter) {
            txt_[1]->setFocus();
            return true;
        }
        if (watched == txt_[0] || watched == txt_[1]) {
            if (enter) {
                focusNextChild();
                return true;
            }
            if (key->key() == Qt::Key_S && (key->modifiers() & Qt::ControlModifier)) {
                txt_[0]->setText(login::kAdministrator);
                LogIn();
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut && watched == cmb_) {
        PickOperatorFromCombo();
    } else if (event->type() == QEvent::MouseButtonDblClick && watched->objectName() == QLatin1String("Image1")) {
        AboutUS about(this);
        runModal(about);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Login::LoginCommand(int index)
{
    switch (index) {
    case 0:
        LogIn();
        break;
    case 1:
        leaving_ = true;
        program::endNow();
        done(QDialog::Rejected);
        break;
    case 2:
        Prompt::current().message(QStringLiteral("帮助"), LoginHelpText, Prompt::Icon::Information);
        break;
    default:
        break;
    }
}

void Login::LogIn()
{
    const login::Check check = login::CheckPassword(m_.gDb, txt_[0]->text(), txt_[1]->text());
    const QString title = QStringLiteral("提示");
    switch (check.outcome) {
    case login::Outcome::EmptyCode:
        Prompt::current().message(title, QStringLiteral("请输入或在下拉列表中选择用户帐号!"), Prompt::Icon::Information);
        cmb_->setFocus();
        return;
    case login::Outcome::UnknownCode:
        Prompt::current().message(title, QStringLiteral("无效的用户帐号！建议您在下拉列表中选择！"),
                                  Prompt::Icon::Information);
        cmb_->setFocus();
        return;
    case login::Outcome::WrongPassword:
        Prompt::current().message(title, QStringLiteral("密码输入错误！"), Prompt::Icon::Information);
        txt_[1]->clear();
        txt_[1]->setFocus();
        return;
    case login::Outcome::LookupFailed:
        Prompt::current().message(title,
                                  QStringLiteral("无法读取操作员资料，不能登录！系统返回如下信息：\n\n") + check.error,
                                  Prompt::Icon::Exclamation);
        return;
    case login::Outcome::Ok:
        break;
    }
    m_.gUserCode = check.code;
    StatusPanels &panels = m_.statusPanels();
    // The name of the row whose password was checked: a row deleted on
    // another computer since then names no one else.
    panels.setPanelText(3, check.name);
    m_.gUserName = check.name;
    m_.LoadSysSettings();
    ApplyOperatorRights();
    DressBackground();
    leaving_ = true;
    accept();
}

void Login::ApplyOperatorRights()
{
    DefaultBigCaption = QStringLiteral("Vantoro仓库管理");
    const OperatorRights rights = login::ReadOperatorRights(m_.gDb, m_.gUserCode);
    m_.gMayViewCost = rights.mayViewCost;
    if (main_)
        main_->ApplyRights(rights);
}

void Login::DressBackground()
{
    if (!main_)
        return;
    BGForm *bg = main_->background();
    const QString c = m_.GetSingleValue(QStringLiteral("select F75 from TE1 where F1=?"), {m_.gUserCode});
    bg->setBigCaption(c.isEmpty() || c == Module1::NoFound ? DefaultBigCaption : c.trimmed());
    bg->Form_Resize();
    const QPixmap own = loadPicture(operatorPicturePath(m_.gAppPath, m_.gUserCode));
    if (!own.isNull()) {
        bg->setPicture(own);
        bg->setLabelsVisible(true);
        return;
    }
    const QString system = m_.gProgramPath + QStringLiteral("syspic.dat");
    if (QFileInfo::exists(system)) {
        const QPixmap picture = loadPicture(system);
        if (!picture.isNull())
            bg->setPicture(picture);
    }
    bg->setLabelsVisible(false);
}

void Login::closeEvent(QCloseEvent *event)
{
    if (leaving_)
        event->accept();
    else
        event->ignore();
}
