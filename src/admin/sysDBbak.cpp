#include "sysDBbak.h"

#include "BookBackup.h"
#include "BookFiles.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "shell/Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}
} // namespace

sysDBbak::sysDBbak(QWidget *parent)
    : QDialog(parent)
    , m_(Module1::instance())
{
    setObjectName(QStringLiteral("sysDBbak"));
    setWindowTitle(QStringLiteral("系统数据备份"));

    auto *frame1 = new QGroupBox(QStringLiteral("自动备份设定"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    txt_ = new QLineEdit(frame1);
    txt_->setObjectName(QStringLiteral("Txt"));
    txt_->setMaxLength(4);
    txt_->setMaximumWidth(60);
    auto *command2 = button(frame1, "Command2", QStringLiteral("保存设置"));
    labInfo_ = label(frame1, "LabInfo", QString());
    labInfo_->setWordWrap(true);
    auto *cycleRow = new QHBoxLayout;
    cycleRow->addWidget(label(frame1, "Label1", QStringLiteral("每")));
    cycleRow->addWidget(txt_);
    cycleRow->addWidget(label(frame1, "Label2", QStringLiteral("天，操作员退出系统时自动备份一次数据")));
    cycleRow->addStretch();
    cycleRow->addWidget(command2);
    auto *frame1Layout = new QVBoxLayout(frame1);
    frame1Layout->addLayout(cycleRow);
    frame1Layout->addWidget(labInfo_);

    auto *frame2 = new QGroupBox(QStringLiteral("立即手工备份"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto *command3 = button(frame2, "Command3", QStringLiteral("开始备份"));
    auto *lab000 = label(frame2, "Lab000",
                         QStringLiteral("    自动备份功能不能保留每一步历史数据，只保留最近一次备份，所以必要时需要通过手工备份把数据"
                                        "存放到安全的磁盘空间。\n     手工备份数据,作用在于随时保存数据库最新的变动。注意：如果是在"
                                        "局域网上运行本软件，备份操作只在数据库本地电脑上有效！"));
    lab000->setWordWrap(true);
    auto *frame2Layout = new QHBoxLayout(frame2);
    frame2Layout->addWidget(lab000, 1);
    frame2Layout->addWidget(command3);

    auto *command1 = button(this, "Command1", QStringLiteral("返回系统"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame2);
    layout->addLayout(bottom);
    setMinimumWidth(520);

    connect(command1, &QPushButton::clicked, this, &QDialog::reject);
    connect(command2, &QPushButton::clicked, this, &sysDBbak::SaveCycle);
    connect(command3, &QPushButton::clicked, this, &sysDBbak::ManualBackup);

    const backup::CycleSettings settings = backup::readCycle(books::backupSettingsPath(m_));
    txt_->setText(settings.cycleText);
    LastAutoBackup = settings.lastAutoBackup;
    // Saving the settings writes a sound file in the unreadable one's place.
    if (!settings.failure.isEmpty())
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("无法读取备份设置：\n") + settings.failure,
                                  Prompt::Icon::Exclamation);
    labInfo_->setText(QStringLiteral("    上面框中如果填0，则每次退出软件时都会自动备份。否则，系统只会在指定周期日第一次退出系统时自动"
                                     "备份数据。自动备份的数据存放在：\n     ")
                      + m_.gAppPath + books::kBackupFolder
                      + QStringLiteral("\n     注意：如果是在局域网上运行本软件，备份操作只在数据库本地电脑上有效！上次自动备份的"
                                       "时间为：\n     ")
                      + LastAutoBackup);
}

void sysDBbak::SaveCycle()
{
    const int cycle = backup::cycleDays(txt_->text());
    if (QString failure; !backup::writeCycle(books::backupSettingsPath(m_), cycle, LastAutoBackup, &failure)) {
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("无法保存设置！\n\n") + failure,
                                  Prompt::Icon::Exclamation);
        return;
    }
    txt_->setText(QString::number(cycle));
    Prompt::current().message(QStringLiteral("提示"), QStringLiteral("保存成功！"), Prompt::Icon::Information);
}

void sysDBbak::ManualBackup()
{
    if (Module1::IsOnNetworkFileSystem(m_.gAppPath)) {
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("对不起，备份数据只能在数据库本地电脑上完成！"),
                                  Prompt::Icon::Information);
        return;
    }
    QDir().mkpath(m_.gAppPath + books::kBackupFolder);
    m_.RemoveBookLeftovers();
    const QString proposed = m_.gAppPath + books::kBackupFolder + QStringLiteral("/备份-") +
                             books::bookNameForFiles(m_) + QStringLiteral(".vzk");
    QString target;
    for (;;) {
        target = FileDialogs::current().saveFileName(this, QStringLiteral("系统数据备份至......"), proposed,
                                                     QStringLiteral("*.vzk (*.vzk);;*.* (*)"));
        if (target.isEmpty())
            return;
        if (!QFileInfo::exists(target))
            break;
        Prompt::current().message(QString(), QStringLiteral("目标位置已备份的同名文件，请删除目标文件或更换备份位置！"),
                                  Prompt::Icon::Information);
    }
    // The copy is read through its own connection: the open book stays open.
    QString error;
    bool busy = false;
    {
        WaitCursor wait;
        error = backup::backupBook(m_.gBookFile, target, &busy);
    }
    if (!error.isEmpty()) {
        Prompt::current().message(QString(),
                                  busy ? QStringLiteral("无法完成备份！其它用户正在使用此帐本。\n\n请其它用户停止操作并退出系统后才可以备份！")
                                       : QStringLiteral("无法完成备份！\n\n") + error,
                                  Prompt::Icon::Information);
        return;
    }
    Prompt::current().message(QString(), QStringLiteral("备份完成！请妥善保存备份文件！"), Prompt::Icon::Information);
}
