#include "ClearingDialog.h"

#include "platform/DelayedProgress.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "shell/Module1.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace admin {

QString runShowingProgress(const QString &title, const std::function<QString(const ClearingProgress &)> &clearing)
{
    WaitCursor wait;
    return clearing(DelayedProgress(title, QStringLiteral("正在清除数据，请稍候……")));
}

ClearingDialog::ClearingDialog(const QString &name, const QString &title, const QString &kindsCaption,
                               const QStringList &kinds, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(title);
    layout_ = new QVBoxLayout(this);

    auto *group = new QGroupBox(kindsCaption, this);
    auto *groupLayout = new QVBoxLayout(group);
    for (const QString &caption : kinds) {
        auto *option = new QRadioButton(caption, group);
        option->setObjectName(QStringLiteral("Opt%1").arg(opt_.size()));
        groupLayout->addWidget(option);
        opt_.append(option);
    }
    layout_->addWidget(group);

    auto *buttons = new QHBoxLayout;
    auto *run = new QPushButton(QStringLiteral("确 定"), this);
    run->setObjectName(QStringLiteral("Cmd0"));
    auto *cancel = new QPushButton(QStringLiteral("取 消"), this);
    cancel->setObjectName(QStringLiteral("Cmd1"));
    for (QPushButton *b : {run, cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout_->addLayout(buttons);
    connect(run, &QPushButton::clicked, this, [this] { this->run(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ClearingDialog::done(int result)
{
    Module1::instance().ShowBookNameInStatusBar();
    QDialog::done(result);
}

void ClearingDialog::addPart(QWidget *part)
{
    layout_->insertWidget(layout_->count() - 1, part);
}

int ClearingDialog::chosenKind() const
{
    for (int i = 0; i < opt_.size(); ++i)
        if (opt_[i]->isChecked())
            return i;
    Prompt::current().message(QStringLiteral("提示"), QStringLiteral("请选择要清除数所的类型！"),
                              Prompt::Icon::Information);
    return -1;
}

void ClearingDialog::reportOutcome(const QString &error)
{
    if (!error.isEmpty())
        Prompt::current().message(QStringLiteral("警告"), clearingFailedText(error), Prompt::Icon::Exclamation);
    else
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("操作完成！"), Prompt::Icon::Information);
}

} // namespace admin
