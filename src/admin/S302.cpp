#include "S302.h"

#include "DataClearing.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

S302::S302(QWidget *parent)
    : ClearingDialog(QStringLiteral("S302"), QStringLiteral("清除指定基础数据"), QStringLiteral("选择要清除的数据类型"),
                     {QStringLiteral("指定供货单位"), QStringLiteral("指定出货单位"), QStringLiteral("指定货品类别"),
                      QStringLiteral("指定货品编码")},
                     parent)
{
    kindButton(2)->setEnabled(false);  // clearing a whole category is not offered

    auto *codeFrame = new QGroupBox(QStringLiteral("要清除资料的编码"), this);
    auto *codeLayout = new QVBoxLayout(codeFrame);
    txt_ = new QLineEdit(codeFrame);
    txt_->setObjectName(QStringLiteral("Txt"));
    codeLayout->addWidget(txt_);
    addPart(codeFrame);

    auto *note = new QLabel(QStringLiteral("   本模块在清除指定编码基础数据的同时，会把所有与指定编码基础数据相关的单据信息清除掉。"
                                           "                因此会造成历史单据的丢失！"),
                            this);
    note->setObjectName(QStringLiteral("Label1"));
    note->setWordWrap(true);
    addPart(note);
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
    const int chosen = chosenKind();
    if (chosen < 0)
        return;
    Module1 &m = Module1::instance();
    const QString error = admin::runShowingProgress(windowTitle(), [&](const admin::ClearingProgress &progress) {
        return admin::clearMasterRecord(m, kinds[chosen], code, progress);
    });
    if (error.isEmpty())
        m.LoadPeriodStart();
    reportOutcome(error);
}
