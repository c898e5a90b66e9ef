#include "YearEnd.h"

#include "db/DateText.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "reports/PeriodReportWindow.h"
#include "reports/YearEndCarry.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "shell/WindowRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
void inform(const QString &text, const QString &title = QString())
{
    Prompt::current().message(title, text, Prompt::Icon::Information);
}
} // namespace

YearEnd::YearEnd(C181 *reportWindow, QWidget *parent) : QDialog(parent), reportWindow_(reportWindow)
{
    setObjectName(QStringLiteral("YearEnd"));
    setWindowTitle(QStringLiteral("库存年度结转"));
    Module1 &m = Module1::instance();
    const QDate today = m.Today();
    CurrentYearEndStart = today.addDays(1);

    labinf = new QLabel(this);
    labinf->setObjectName(QStringLiteral("labinf"));
    labinf->setText(QStringLiteral("\n    今天确实是 ") + db::dateText(today) +
                    QStringLiteral(" 吗？\n\n    库存年度结转功能将： \n    1.把 ") + db::dateText(CurrentYearEndStart) +
                    QStringLiteral(" 设为下个会计年度的第一天；\n    2.并且把所有货品数量、金额结转为新的会计年度的年初余额。\n\n"
                                   "     强列建议您在结转操作之前备份当前数据，确保年度帐目科学合理！"));
    const QStringList checks = {QStringLiteral("结转的同时清除历史报表"), QStringLiteral("结转的同时清除历史单据")};
    const QStringList buttons = {QStringLiteral("备份数据"), QStringLiteral("库存结转"), QStringLiteral("返回系统")};
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(labinf);
    for (int i = 0; i < 2; ++i) {
        Chk[i] = new QCheckBox(checks[i], this);
        Chk[i]->setObjectName(QStringLiteral("Chk") + QString::number(i));
        layout->addWidget(Chk[i]);
    }
    auto *row = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        Cmd[i] = new QPushButton(buttons[i], this);
        Cmd[i]->setObjectName(QStringLiteral("Cmd") + QString::number(i));
        Cmd[i]->setAutoDefault(false);
        row->addWidget(Cmd[i]);
    }
    layout->addLayout(row);
    connect(Cmd[0], &QPushButton::clicked, this, &YearEnd::backUp);
    connect(Cmd[1], &QPushButton::clicked, this, &YearEnd::carryForward);
    connect(Cmd[2], &QPushButton::clicked, this, &QDialog::reject);
}

void YearEnd::backUp()
{
    QPointer<QWidget> window = windows::create(QStringLiteral("sysDBbak"), this);
    if (auto *dialog = qobject_cast<QDialog *>(window.data()))
        runModal(*dialog);
    delete window.data();
}

void YearEnd::carryForward()
{
    Module1 &m = Module1::instance();
    if (m.gUserCode != QStringLiteral("001")) {
        inform(QStringLiteral("只允许以001帐号的身份操作库存结转功能！您无权操作！"));
        return;
    }
    if (!Prompt::current().ask(QStringLiteral("警告"),
                               QStringLiteral("警告！此操作危险！所有货品年初余额及会计年度设置将被刷新，您真的要进行库存结转操作吗？"),
                               Prompt::Icon::Question))
        return;
    const QDate today = m.Today();
    reports::CarryForwardResult result;
    {
        WaitCursor wait;
        result = reports::CarryForward(m.gDb, CurrentYearEndStart, today, Chk[0]->isChecked(), Chk[1]->isChecked());
    }
    switch (result.status) {
    case reports::CarryForwardResult::PeriodOpen:
        inform(QStringLiteral("今天是 ") + db::dateText(today) +
               QStringLiteral(" ，请首先生成本期报表并保存，之后才可以进行年度结转操作！"));
        return;
    case reports::CarryForwardResult::AlreadyDone:
        inform(QStringLiteral("会计年度已经由 ") + db::dateText(CurrentYearEndStart) +
               QStringLiteral(" 开始，不能重复进行库存结转！"));
        return;
    case reports::CarryForwardResult::Failed:
        inform(QStringLiteral("库存结转没有完成，帐本未作任何改动。系统返回如下信息：\n") + result.error,
               QStringLiteral("提示"));
        return;
    case reports::CarryForwardResult::Done:
        break;
    }
    if (reportWindow_) {
        reportWindow_->YearBegin = CurrentYearEndStart;
        reportWindow_->gdClear();
        reportWindow_->setComb();
        reportWindow_->showYearBegin();
    } else {
        m.LoadPeriodStart();
    }
    inform(QStringLiteral("库存结转操作成功！"));
}
