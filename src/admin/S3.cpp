#include "S3.h"

#include "BackupLink.h"
#include "ClearingDialog.h"
#include "shell/Module1.h"
#include "platform/Prompt.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

S3::S3(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("S3"));
    setWindowTitle(QStringLiteral("帐本数据初始化"));
    auto *layout = new QVBoxLayout(this);

    const char *const captions[] = {"清除所有单据记录", "所有货品库存数量归零", "清除所有基础数据", "设置会计年度从"};
    for (int i = 0; i < 4; ++i) {
        chk_[i] = new QCheckBox(QString::fromUtf8(captions[i]), this);
        chk_[i]->setObjectName(QStringLiteral("Chk%1").arg(i));
        // toggled also follows the boxes this window sets itself, so the
        // rules below hold however a box changes.
        connect(chk_[i], &QCheckBox::toggled, this, [this, i](bool checked) { boxToggled(i, checked); });
        if (i < 3)
            layout->addWidget(chk_[i]);
    }
    dtp_ = new QDateEdit(this);
    dtp_->setObjectName(QStringLiteral("DTP"));
    dtp_->setCalendarPopup(true);
    dtp_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtp_->setDate(QDate(Module1::instance().Today().year(), 1, 1));
    auto *yearRow = new QHBoxLayout;
    yearRow->addWidget(chk_[3]);
    yearRow->addWidget(dtp_);
    yearRow->addWidget(new QLabel(QStringLiteral("开始"), this));
    yearRow->addStretch();
    layout->addLayout(yearRow);

    const char *const buttons[] = {"确定执行", "返回系统", "备份数据"};
    auto *buttonRow = new QHBoxLayout;
    QPushButton *cmd[3];
    for (int i = 0; i < 3; ++i) {
        cmd[i] = new QPushButton(QString::fromUtf8(buttons[i]), this);
        cmd[i]->setObjectName(QStringLiteral("Cmd%1").arg(i));
        cmd[i]->setAutoDefault(false);
        buttonRow->addWidget(cmd[i]);
    }
    layout->addLayout(buttonRow);
    connect(cmd[0], &QPushButton::clicked, this, &S3::run);
    connect(cmd[1], &QPushButton::clicked, this, &QDialog::reject);
    connect(cmd[2], &QPushButton::clicked, this, [this] { admin::showBackupWindow(this); });
}

void S3::done(int result)
{
    Module1::instance().ShowBookNameInStatusBar();
    QDialog::done(result);
}

// Zeroing stock or removing master data always comes with a new fiscal year.
void S3::boxToggled(int index, bool checked)
{
    if (checked && (index == 1 || index == 2))
        chk_[3]->setChecked(true);
    if (!checked && index == 3) {
        chk_[1]->setChecked(false);
        chk_[2]->setChecked(false);
    }
}

void S3::run()
{
    admin::InitialiseChoice choice;
    choice.documents = chk_[0]->isChecked();
    choice.zeroStock = chk_[1]->isChecked();
    choice.masterData = chk_[2]->isChecked();
    choice.newYear = chk_[3]->isChecked();
    choice.yearStart = dtp_->date();
    Prompt &prompt = Prompt::current();
    if (!choice.any()) {
        prompt.message(QStringLiteral("提示"), QStringLiteral("请选择要清除的对象！"), Prompt::Icon::Information);
        return;
    }
    if (!prompt.ask(QStringLiteral("警告"), QStringLiteral("数据清除后将无法恢复！真的继续吗？"), Prompt::Icon::Question))
        return;
    Module1 &m = Module1::instance();
    const QString error = admin::runShowingProgress(
        windowTitle(), [&](const admin::ClearingProgress &progress) { return admin::initialiseBook(m, choice, progress); });
    if (!error.isEmpty()) {
        prompt.message(QStringLiteral("警告"), admin::clearingFailedText(error),
                       Prompt::Icon::Exclamation);
        return;
    }
    m.LoadPeriodStart();
    prompt.message(QStringLiteral("提示"), QStringLiteral("系统数据清除成功！"), Prompt::Icon::Information);
}
