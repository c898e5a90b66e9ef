#include "AboutUS.h"

#include "DesktopServices.h"
#include "MForm.h"
#include "Module1.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

AboutUS::AboutUS(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutUS"));
    setWindowTitle(QStringLiteral("关于本软件"));
    auto *layout = new QVBoxLayout(this);

    QFont title(QStringLiteral("楷体_GB2312"), 26, QFont::Bold);
    title.setFamilies({QStringLiteral("楷体_GB2312"), QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN"),
                       QStringLiteral("WenQuanYi Zen Hei")});
    auto *caption = new QWidget(this);
    caption->setMinimumHeight(60);
    const char *colours[2] = {"color: grey;", "color: blue;"};
    for (int i = 0; i < 2; ++i) {
        auto *lab = new QLabel(QStringLiteral("仓库管理系统"), caption);
        lab->setObjectName(QStringLiteral("lab%1").arg(i));
        lab->setFont(title);
        lab->setStyleSheet(QString::fromLatin1(colours[i]));
        lab->adjustSize();
        lab->move(i == 0 ? 3 : 0, i == 0 ? 3 : 0);
    }
    auto *head = new QHBoxLayout;
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    head->addWidget(picture, 0, Qt::AlignTop);
    head->addWidget(caption, 1);
    layout->addLayout(head);

    auto *label1 = new QLabel(QStringLiteral("标准版 ") + Module1::instance().gVersion, this);
    label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label1);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto *frameLayout = new QVBoxLayout(frame);
    const char *lines[5] = {"出品：深圳Morlund科技", "网站：www.morlund.example", "邮件：support@morlund.example",
                            "本软件受著作权法保护。", "感谢您选用本软件！"};
    for (int i = 0; i < 5; ++i) {
        auto *lb = new QLabel(QString::fromUtf8(lines[i]), frame);
        lb->setObjectName(QStringLiteral("LB%1").arg(i));
        frameLayout->addWidget(lb);
    }
    auto *darvex = new QLabel(QStringLiteral("Vantoro仓库管理系统"), frame);
    darvex->setObjectName(QStringLiteral("LabDarvex"));
    frameLayout->addWidget(darvex);
    layout->addWidget(frame);

    auto *kkk = new QFrame(this);
    kkk->setObjectName(QStringLiteral("kkk"));
    kkk->setFrameShape(QFrame::HLine);
    layout->addWidget(kkk);

    auto *buttons = new QHBoxLayout;
    const char *captions[3] = {"访问网站", "发送邮件", "返回系统"};
    QPushButton *cmd[3];
    for (int i = 0; i < 3; ++i) {
        cmd[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        cmd[i]->setObjectName(QStringLiteral("Cmd%1").arg(i));
        buttons->addWidget(cmd[i]);
    }
    layout->addLayout(buttons);
    connect(cmd[0], &QPushButton::clicked, this, &AboutUS::VisitWebPage);
    connect(cmd[1], &QPushButton::clicked, this, &AboutUS::SendMail);
    connect(cmd[2], &QPushButton::clicked, this, &QDialog::accept);
}

void AboutUS::VisitWebPage()
{
    if (!linkstr.isEmpty())
        Desktop::current().openUrl(QUrl(linkstr));
}

void AboutUS::SendMail()
{
    QUrl mail(QStringLiteral("mailto:") + mform::kMakerMail);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
                       QStringLiteral("Vantoro仓库管理系统 ") + Module1::instance().gVersion);
    mail.setQuery(query);
    Desktop::current().openUrl(mail);
}
