#include "PersonalSettingsWindow.h"

#include "admin/PersonalSettings.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "shell/BGForm.h"
#include "shell/MForm.h"
#include "shell/Module1.h"
#include "shell/Pictures.h"

#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QFrame *frame(const QString &name, QWidget *parent)
{
    auto *f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::StyledPanel);
    f->hide();
    return f;
}

void notice(const QString &title, const QString &text)
{
    Prompt::current().message(title, text, Prompt::Icon::Information);
}

} // namespace

S2::S2(QWidget *parent, BGForm *background)
    : QDialog(parent), m_(Module1::instance()), background_(background)
{
    if (!background_ && MForm::instance())
        background_ = MForm::instance()->background();
    setObjectName(QStringLiteral("S2"));
    setWindowTitle(QStringLiteral("操作员个人设置"));
    buildControls();

    LabUser->setText(QStringLiteral("帐号：") + m_.gUserCode + QStringLiteral("  名称：") + m_.gUserName);
    SavedPad = personal::readNote(m_.gDb, m_.gUserCode);
    TxtPad->setPlainText(SavedPad);
    if (background_) {
        loadedCaption_ = background_->LabBig(0)->text();
    } else {
        const QString stored = m_.GetSingleValue(QStringLiteral("select F75 from TE1 where F1=?"), {m_.gUserCode});
        loadedCaption_ = stored == Module1::NoFound ? QString() : stored.trimmed();
    }
    TxtBgCpt->setText(loadedCaption_);
    if (!showPreview(personal::ownPicturePath(m_.gAppPath, m_.gUserCode)))
        showPreview(personal::defaultPicturePath(m_.gProgramPath));
    showTab(0);
}

void S2::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    ImgTop = new QLabel(this);
    ImgTop->setObjectName(QStringLiteral("ImgTop"));
    LabUser = new QLabel(this);
    LabUser->setObjectName(QStringLiteral("LabUser"));
    top->addWidget(ImgTop);
    top->addWidget(LabUser, 1);
    layout->addLayout(top);

    TabS = new QTabBar(this);
    TabS->setObjectName(QStringLiteral("TabS"));
    for (const char *caption : {"个人记事", "更改密码", "背景设置", "字幕设置"})
        TabS->addTab(QString::fromUtf8(caption));
    layout->addWidget(TabS);

    // The four pages share one place; the tab strip shows one of them.
    auto *pages = new QGridLayout;
    layout->addLayout(pages, 1);

    Frm3 = frame(QStringLiteral("Frm3"), this);
    auto *padLayout = new QVBoxLayout(Frm3);
    TxtPad = new QPlainTextEdit(Frm3);
    TxtPad->setObjectName(QStringLiteral("TxtPad"));
    CmdPad = button(QStringLiteral("CmdPad"), QStringLiteral("返 回 系 统"), Frm3);
    padLayout->addWidget(TxtPad, 1);
    padLayout->addWidget(CmdPad, 0, Qt::AlignRight);

    Frm1 = frame(QStringLiteral("Frm1"), this);
    auto *passwordLayout = new QGridLayout(Frm1);
    const char *passwordCaptions[3] = {"旧密码", "新密码", "新密码确认"};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(QString::fromUtf8(passwordCaptions[i]), Frm1);
        auto *box = new QLineEdit(Frm1);
        box->setObjectName(QStringLiteral("Txt") + QString::number(i));
        box->setEchoMode(QLineEdit::Password);
        box->installEventFilter(this);
        label->setBuddy(box);
        passwordLayout->addWidget(label, i, 0);
        passwordLayout->addWidget(box, i, 1, 1, 2);
        Txt.append(box);
    }
    Cmd.append(button(QStringLiteral("Cmd0"), QStringLiteral("确 定"), Frm1));
    Cmd.append(button(QStringLiteral("Cmd1"), QStringLiteral("取 消"), Frm1));
    passwordLayout->addWidget(Cmd[0], 3, 1);
    passwordLayout->addWidget(Cmd[1], 3, 2);
    passwordLayout->setRowStretch(4, 1);

    Frm2 = frame(QStringLiteral("Frm2"), this);
    auto *pictureLayout = new QGridLayout(Frm2);
    Img = new QLabel(Frm2);
    Img->setObjectName(QStringLiteral("Img"));
    Img->setScaledContents(true);
    Img->setFixedSize(320, 200);
    Img->setFrameShape(QFrame::Box);
    pictureLayout->addWidget(Img, 0, 0, 4, 1);
    const char *pictureCaptions[4] = {"浏 览", "确 定", "取 消", "复 原"};
    for (int i = 0; i < 4; ++i) {
        CmdSet.append(button(QStringLiteral("CmdSet") + QString::number(i), QString::fromUtf8(pictureCaptions[i]), Frm2));
        pictureLayout->addWidget(CmdSet[i], i, 1);
    }
    CmdSet[1]->setEnabled(false);

    Frm4 = frame(QStringLiteral("Frm4"), this);
    auto *captionLayout = new QVBoxLayout(Frm4);
    auto *label3 = new QLabel(QStringLiteral("背景图片非默认图片时"), Frm4);
    label3->setObjectName(QStringLiteral("Label3"));
    auto *label2 = new QLabel(QStringLiteral("系统主界面大字显示"), Frm4);
    label2->setObjectName(QStringLiteral("Label2"));
    TxtBgCpt = new QLineEdit(Frm4);
    TxtBgCpt->setObjectName(QStringLiteral("TxtBgCpt"));
    CmdCptSet = button(QStringLiteral("CmdCptSet"), QStringLiteral("返 回 系 统"), Frm4);
    captionLayout->addWidget(label3);
    captionLayout->addWidget(label2);
    captionLayout->addWidget(TxtBgCpt);
    captionLayout->addStretch(1);
    captionLayout->addWidget(CmdCptSet, 0, Qt::AlignRight);

    for (QFrame *f : {Frm1, Frm2, Frm3, Frm4})
        pages->addWidget(f, 0, 0);

    connect(TabS, &QTabBar::currentChanged, this, [this](int index) { showTab(index); });
    connect(Cmd[0], &QPushButton::clicked, this, [this] { changePassword(); });
    for (QPushButton *close : {Cmd[1], CmdSet[2], CmdPad, CmdCptSet})
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(CmdSet[0], &QPushButton::clicked, this, [this] { browsePicture(); });
    connect(CmdSet[1], &QPushButton::clicked, this, [this] { confirmPicture(); });
    connect(CmdSet[3], &QPushButton::clicked, this, [this] { restoreDefaultPicture(); });
}

void S2::showTab(int index)
{
    QFrame *const order[4] = {Frm3, Frm1, Frm2, Frm4};
    for (int i = 0; i < 4; ++i)
        order[i]->setVisible(i == index);
}

// Enter in a password box moves on as Tab does.
bool S2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void S2::changePassword()
{
    const auto change = personal::changePassword(m_.gDb, m_.gUserCode, Txt[0]->text(), Txt[1]->text(), Txt[2]->text());
    switch (change.outcome) {
    case personal::PasswordOutcome::Mismatch:
        notice(QStringLiteral("提示"), QStringLiteral("新密码两次输入不同，请重新输入！"));
        return;
    case personal::PasswordOutcome::WrongOld:
        notice(QStringLiteral("提示"), QStringLiteral("旧密码错误，你无权修改该用户密码！"));
        return;
    case personal::PasswordOutcome::Failed:
        notice(QStringLiteral("提示"), QStringLiteral("数据库操作失败，密码没有改变：\n") + change.error);
        return;
    case personal::PasswordOutcome::Changed:
        notice(QStringLiteral("提示"), QStringLiteral("密码修改成功！"));
        accept();
        return;
    }
}

bool S2::showPreview(const QString &path)
{
    const QPixmap picture = loadPicture(path);
    if (picture.isNull())
        return false;
    Img->setPixmap(picture);
    return true;
}

void S2::browsePicture()
{
    QDir().mkpath(m_.gAppPath + QStringLiteral("image"));
    const QString chosen = FileDialogs::current().openFileName(
        this, QStringLiteral("打开图片文件"), QString(),
        QStringLiteral("*.jpg (*.jpg);;*.bmp (*.bmp);;*.gif (*.gif);;*.* (*)"));
    if (chosen.isEmpty())
        return;
    if (showPreview(chosen)) {
        PicturePath = chosen;
        CmdSet[1]->setEnabled(true);
    } else {
        PicturePath.clear();
        CmdSet[1]->setEnabled(false);
    }
}

// Without a default picture there is nothing to go back to: the preview is
// emptied and confirm stays disabled.
void S2::restoreDefaultPicture()
{
    const QString path = personal::defaultPicturePath(m_.gProgramPath);
    if (showPreview(path)) {
        PicturePath = path;
        CmdSet[1]->setEnabled(true);
    } else {
        Img->clear();
        PicturePath.clear();
        CmdSet[1]->setEnabled(false);
    }
}

void S2::confirmPicture()
{
    if (PicturePath.isEmpty())
        return;
    const bool toDefault = PicturePath == personal::defaultPicturePath(m_.gProgramPath);
    const auto error = toDefault ? personal::removeOwnPicture(m_.gAppPath, m_.gUserCode)
                                 : personal::setOwnPicture(m_.gAppPath, m_.gUserCode, PicturePath);
    if (error) {
        Prompt::current().message(QString(), *error, Prompt::Icon::Exclamation);
        return;
    }
    if (background_) {
        background_->setLabelsVisible(!toDefault);
        background_->setPicture(loadPicture(PicturePath));
    }
    notice(QString(), m_.gUserName + QStringLiteral("，您的背景图片设置成功！"));
    accept();
}

QString S2::shownCaption() const
{
    return background_ ? background_->LabBig(0)->text() : loadedCaption_;
}

// Keeps the note and the caption when they were changed; a failing write is
// not reported (the settings are a convenience, the window closes anyway).
void S2::SavePersonalSettings()
{
    if (TxtPad->toPlainText() != SavedPad) {
        SavedPad = personal::storedNote(TxtPad->toPlainText());
        personal::saveNote(m_.gDb, m_.gUserCode, SavedPad);
    }
    if (TxtBgCpt->text() != shownCaption()) {
        TxtBgCpt->setText(personal::storedCaption(TxtBgCpt->text()));
        if (personal::saveCaption(m_.gDb, m_.gUserCode, TxtBgCpt->text()))
            loadedCaption_ = TxtBgCpt->text().trimmed();
        if (background_) {
            background_->setBigCaption(TxtBgCpt->text().trimmed());
            background_->Form_Resize();
        }
    }
}

void S2::done(int result)
{
    SavePersonalSettings();
    m_.ShowBookNameInStatusBar();
    QDialog::done(result);
}
