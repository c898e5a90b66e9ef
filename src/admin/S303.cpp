#include "S303.h"

#include "DataClearing.h"
#include "db/DateText.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

S303::S303(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("S303"));
    setWindowTitle(QStringLiteral("清除历史单据"));
    auto *layout = new QVBoxLayout(this);

    auto *kinds = new QGroupBox(QStringLiteral("选择要清除的单据类型"), this);
    auto *kindsLayout = new QVBoxLayout(kinds);
    const char *const captions[] = {"货品入库单", "公司退货单", "货品出库单", "货品退库单", "库存盘点单"};
    for (int i = 0; i < 5; ++i) {
        opt_[i] = new QRadioButton(QString::fromUtf8(captions[i]), kinds);
        opt_[i]->setObjectName(QStringLiteral("Opt%1").arg(i));
        kindsLayout->addWidget(opt_[i]);
    }
    layout->addWidget(kinds);

    auto *dateFrame = new QGroupBox(QStringLiteral("临界日期"), this);
    auto *dateLayout = new QHBoxLayout(dateFrame);
    dtp_ = new QDateEdit(dateFrame);
    dtp_->setObjectName(QStringLiteral("DTP"));
    dtp_->setCalendarPopup(true);
    dtp_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtp_->setDate(Module1::instance().Today());
    dateLayout->addWidget(new QLabel(QStringLiteral("清除"), dateFrame));
    dateLayout->addWidget(dtp_);
    dateLayout->addWidget(new QLabel(QStringLiteral("之前的指定类型单据"), dateFrame));
    layout->addWidget(dateFrame);

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
    connect(run, &QPushButton::clicked, this, &S303::run);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void S303::done(int result)
{
    Module1::instance().ShowBookNameInStatusBar();
    QDialog::done(result);
}

void S303::run()
{
    Prompt &prompt = Prompt::current();
    const QDate cutoff = dtp_->date();
    if (!prompt.ask(QStringLiteral("警告"),
                    QStringLiteral("警告！相关数据删除后将不可恢复！真的要删除") + db::dateText(cutoff)
                        + QStringLiteral("之前的指定类型单据吗？"),
                    Prompt::Icon::Question))
        return;
    const admin::DocumentKindToClear kinds[] = {
        admin::DocumentKindToClear::StockIn, admin::DocumentKindToClear::ReturnToSupplier,
        admin::DocumentKindToClear::StockOut, admin::DocumentKindToClear::ReturnIn,
        admin::DocumentKindToClear::Stocktaking};
    int chosen = -1;
    for (int i = 0; i < 5 && chosen < 0; ++i)
        if (opt_[i]->isChecked())
            chosen = i;
    if (chosen < 0) {
        prompt.message(QStringLiteral("提示"), QStringLiteral("请选择要清除数所的类型！"), Prompt::Icon::Information);
        return;
    }
    const QString error = admin::clearDocumentsBefore(Module1::instance(), kinds[chosen], cutoff);
    if (!error.isEmpty()) {
        prompt.message(QStringLiteral("警告"), admin::clearingFailedText(error), Prompt::Icon::Exclamation);
        return;
    }
    prompt.message(QStringLiteral("提示"), QStringLiteral("操作完成！"), Prompt::Icon::Information);
}
