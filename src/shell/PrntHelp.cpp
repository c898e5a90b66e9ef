#include "PrntHelp.h"

#include "Module1.h"
#include "Pictures.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

PrntHelp::PrntHelp(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PrntHelp"));
    setWindowTitle(QStringLiteral(" 使用说明"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto *grid = new QGridLayout(this);

    auto *lab = new QLabel(QStringLiteral("打印输出界面工具按钮"), this);
    lab->setObjectName(QStringLiteral("Lab"));
    grid->addWidget(lab, 0, 0, 1, 4);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(loadPicture(Module1::instance().gProgramPath + QStringLiteral("image/prnthelp.png")));
    grid->addWidget(image, 1, 0, 1, 4);

    const char *texts[4] = {"翻页按钮", "缩放显示", "可设置打印起止页、打印份数", "可输出数据到Excel等类型的文件"};
    for (int i = 0; i < 4; ++i) {
        auto *labe = new QLabel(QString::fromUtf8(texts[i]), this);
        labe->setObjectName(QStringLiteral("Labe%1").arg(i));
        labe->setWordWrap(true);
        grid->addWidget(labe, 2, i);
    }
    auto *ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName(QStringLiteral("CmdOK"));
    grid->addWidget(ok, 3, 3);
    connect(ok, &QPushButton::clicked, this, [this] {
        closing_ = true;
        accept();
    });
}

void PrntHelp::closeEvent(QCloseEvent *event)
{
    if (closing_)
        event->accept();
    else
        event->ignore();
}
