#include "S302.h"

#include "DataClearing.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

S302::S302(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("S302"));
    setWindowTitle(QStringLiteral("清除指定基础数据"));
    auto *layout = new QVBoxLayout(this);

    auto *kinds = new QGroupBox(QStringLiteral("选择要清除的数据类型"), this);
    auto *kindsLayout = new QVBoxLayout(kinds);
    const char *const captions[] = {"指定供货单位", "指定出货单位", "指定货品类别", "指定货品编码"};
    for (int i = 0; i < 4; ++i) {
        opt_[i] = new QRadioButton(QString::fromUtf8(captions[i]), kinds);
        opt_[i]->setObjectName(QStringLiteral("Opt%1").arg(i));
        kindsLayout->addWidget(opt_[i]);
    }
    opt_[2]->setEnabled(false);  // clearing a whole category is not offered
    layout->addWidget(kinds);

    auto *codeFrame = new QGroupBox(QStringLiteral("要清除资料的编码"), this);
    auto *codeLayout = new QVBoxLayout(codeFrame);
    txt_ = new QLineEdit(codeFrame);
    txt_->setObjectName(QStringLiteral("Txt"));
    codeLayout->addWidget(txt_);
    layout->addWidget(codeFrame);

    auto *note = new QLabel(QStringLiteral("   本模块在清除指定编码基础数据的同时，会把所有与指定编码基础数据相关的单据信息清除掉。"
                                           "                因此会造成历史单据的丢失！"),
                            this);
    note->setObjectName(QStringLiteral("Label1"));
    note->setWordWrap(true);
    layout->addWidget(note);

    auto *buttons = new QHBoxLayout;
    auto *run = new QPushButton(QStringLiteral("确 定"), this);
    run->setObjectName(QStringLiteral("Cmd0"));
    auto *cancel = new QPushButton(QStringLiteral("取 消"), this);
    cancel->setObjectName(QStringLiteral("Cmd1"));
    for (QPushButton *b : {run, cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(run, &QPushButton::clicked, this, &S302::run);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void S302::done(int result)
{
    Module1::instance().ShowBookNameInStatusBar();
    QDialog::done(result);
}

void S302::run()
{
    Prompt &prompt = Prompt::current();
    if (!prompt.ask(QStringLiteral("警告"), QStringLiteral("警告！相关数据删除后将不可恢复！真的要继续吗？"),
                    Prompt::Icon::Question))
        return;
    const QString code = txt_->text().trimmed();
    if (code.isEmpty()) {
        prompt.message(QStringLiteral("提示"), QStringLiteral("必须输入指定编码！"), Prompt::Icon::Information);
        return;
    }
    const admin::MasterKind kinds[] = {admin::MasterKind::Supplier, admin::MasterKind::ReceivingUnit,
                                       admin::MasterKind::Category, admin::MasterKind::Goods};
    int chosen = -1;
    for (int i = 0; i < 4 && chosen < 0; ++i)
        if (opt_[i]->isChecked())
            chosen = i;
    if (chosen < 0) {
        prompt.message(QStringLiteral("提示"), QStringLiteral("请选择要清除数所的类型！"), Prompt::Icon::Information);
        return;
    }
    Module1 &m = Module1::instance();
    const QString error = admin::clearMasterRecord(m, kinds[chosen], code);
    if (!error.isEmpty()) {
        prompt.message(QStringLiteral("警告"), admin::clearingFailedText(error), Prompt::Icon::Exclamation);
        return;
    }
    m.LoadPeriodStart();
    prompt.message(QStringLiteral("提示"), QStringLiteral("操作完成！"), Prompt::Icon::Information);
}
