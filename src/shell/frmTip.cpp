#include "frmTip.h"

#include "platform/DisplayText.h"

#include "AppSettings.h"
#include "Module1.h"
#include "db/EngineFailure.h"
#include "platform/TextFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStyle>

frmTip::frmTip(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("日积月累--Vantoro知识点滴"));
    auto *grid = new QGridLayout(this);

    auto *lamp = new QLabel(this);
    lamp->setObjectName(QStringLiteral("imgDeng"));
    lamp->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    grid->addWidget(lamp, 0, 0, 2, 1, Qt::AlignTop);

    auto *label1 = new QLabel(QStringLiteral("您知道吗…"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = label1->font();
    bold.setBold(true);
    label1->setFont(bold);
    grid->addWidget(label1, 0, 1);

    lblTipText_ = new QLabel(QStringLiteral("内容。。。。。。"), this);
    lblTipText_->setObjectName(QStringLiteral("lblTipText"));
    lblTipText_->setWordWrap(true);
    lblTipText_->setMinimumSize(360, 120);
    lblTipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(lblTipText_, 1, 1);

    chk_ = new QCheckBox(this);
    chk_->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    auto *label2 = new QLabel(QStringLiteral("每次启动系统时都自动显示一条"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    auto *next = new QPushButton(QStringLiteral("下一条提示"), this);
    next->setObjectName(QStringLiteral("cmdNextTip"));
    auto *ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName(QStringLiteral("CmdOK"));
    auto *row = new QHBoxLayout;
    row->addWidget(chk_);
    row->addWidget(label2);
    row->addStretch();
    row->addWidget(next);
    row->addWidget(ok);
    grid->addLayout(row, 2, 0, 1, 2);

    connect(chk_, &QCheckBox::toggled, this, [](bool checked) {
        appsettings::tellUnsaved(appsettings::save(appsettings::programName(), appsettings::kOptionsSection,
                                                   appsettings::kShowTipsKey,
                                                   checked ? QStringLiteral("1") : QStringLiteral("0")));
    });
    connect(next, &QPushButton::clicked, this, [this] {
        PickRandomTip();
        QApplication::processEvents();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // Showing the tips switches them on at start-up again.
    chk_->setChecked(true);
    const QString file = QStringLiteral("Learn.dat");
    QString failure;
    if (!LoadTips(Module1::instance().gProgramPath + file, &failure)) {
        lblTipText_->setText(!failure.isEmpty() ? db::splitDetails(failure).text :
                             QStringLiteral("文件 ") + file + QStringLiteral(" 没有被找到吗? ") +
                             QStringLiteral("\n\n") + QStringLiteral("创建文本文件名为 ") + file +
                             QStringLiteral(" 使用记事本每行写一条提示。 ") +
                             QStringLiteral("然后将它存放在应用程序所在的目录 "));
    }
}

bool frmTip::LoadTips(const QString &file, QString *failure)
{
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return false;
    bool ok = false;
    QString text = textfile::read(file, &ok, failure);
    if (!ok)
        return false;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    TipList = text.split(QLatin1Char('\n'));
    // The line break that ends the last line starts no further tip.
    if (!TipList.isEmpty() && TipList.last().isEmpty())
        TipList.removeLast();
    PickRandomTip();
    return true;
}

void frmTip::DisplayCurrentTip()
{
    if (!TipList.isEmpty() && CurrentTipNo >= 1 && CurrentTipNo <= TipList.size())
        lblTipText_->setText(KeepTokensTogether(TipList.at(CurrentTipNo - 1)));
}

void frmTip::PickRandomTip()
{
    CurrentTipNo = TipList.isEmpty() ? 1 : int(QRandomGenerator::global()->bounded(TipList.size())) + 1;
    DisplayCurrentTip();
}
