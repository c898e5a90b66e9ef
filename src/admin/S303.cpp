#include "S303.h"

#include "DataClearing.h"
#include "db/DateText.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

S303::S303(QWidget *parent)
    : ClearingDialog(QStringLiteral("S303"), QStringLiteral("清除历史单据"), QStringLiteral("选择要清除的单据类型"),
                     {QStringLiteral("货品入库单"), QStringLiteral("公司退货单"), QStringLiteral("货品出库单"),
                      QStringLiteral("货品退库单"), QStringLiteral("库存盘点单")},
                     parent)
{
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
    addPart(dateFrame);
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
    const int chosen = chosenKind();
    if (chosen < 0)
        return;
    reportOutcome(admin::runShowingProgress(windowTitle(), [&](const admin::ClearingProgress &progress) {
        return admin::clearDocumentsBefore(Module1::instance(), kinds[chosen], cutoff, progress);
    }));
}
