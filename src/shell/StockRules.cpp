// Rules the document windows share: the stock sufficiency check, the lock
// date, and the notices about saved documents and unfinished edits.
#include "Module1.h"

#include "db/DateText.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"

#include <algorithm>
#include <cmath>

namespace {
// Quantity of goods code promised by the unaudited documents of one kind,
// other than document docNo. The code with trailing blanks sorts between
// the code and the code followed by " !", so that range, read through the
// code index without regard to case, holds every line whose trimmed code
// matches.
const char *kPendingStockOut =
    "select sum(TD11.F6) from TD11 left join TD1 on TD1.F1=TD11.F0 "
    "where TD11.F1>=?1 and TD11.F1<?1||' !' and trim(TD11.F1)=?1 collate nocase "
    "and TD11.F0<>?2 and (TD1.F6 is null or TD1.F6='')";
const char *kPendingSupplierReturn =
    "select sum(TB31.F6) from TB31 left join TB3 on TB3.F1=TB31.F0 "
    "where TB31.F1>=?1 and TB31.F1<?1||' !' and trim(TB31.F1)=?1 collate nocase "
    "and TB31.F0<>?2 and (TB3.F6 is null or TB3.F6='')";
} // namespace

bool Module1::CheckStockEnough(const QString &code, double qty, const QString &docNo)
{
    if (qty == 0 || gOptNoOverdraw == 0)
        return true;
    const QString goods = code.trimmed();
    const QString doc = docNo.trimmed();
    const double stock = numtext::leadingNumber(GetSingleValue(QStringLiteral("select F8 from TA4 where F1=?"), {goods}));
    // Equality passes also for decimals: 0.3 - 0.1 is enough for 0.2.
    auto enough = [&](double available) {
        return numtext::notAbove(qty, available, std::max({std::fabs(stock), std::fabs(qty), std::fabs(available)}));
    };
    if (!enough(stock)) {
        Prompt::current().message(QString(), code + QStringLiteral("库存数量不足！"));
        return false;
    }
    double out = numtext::leadingNumber(GetSingleValue(QString::fromLatin1(kPendingStockOut), {goods, doc}));
    if (!enough(stock - out)) {
        Prompt::current().message(QString(), QStringLiteral("系统中存在的其它尚未审核的出库单中含有编码为") + code
                                      + QStringLiteral("的货品！\n此种货品现存数量不足以供给所有未审核的出库需求！"));
        return false;
    }
    out += numtext::leadingNumber(GetSingleValue(QString::fromLatin1(kPendingSupplierReturn), {goods, doc}));
    if (!enough(stock - out)) {
        Prompt::current().message(QString(), QStringLiteral("系统中存在的其它尚未审核的出库单或退货单中含有编码为") + code
                                      + QStringLiteral("的货品！\n此种货品现存数量不足以供给所有未审核的出库需求！"));
        return false;
    }
    return true;
}

void Module1::LoadPeriodStart()
{
    const QDate reportEnd = db::parseDate(
        GetSingleValue(QStringLiteral("select Edate from jxc where SortNo>0 order by SortNo desc limit 1")));
    if (reportEnd.isValid()) {
        gPeriodStart = reportEnd.addDays(1);
        return;
    }
    const QDate yearStart = db::parseDate(GetSingleValue(QStringLiteral("select F7 from reginfo")));
    gPeriodStart = yearStart.isValid() ? yearStart : QDate(2004, 1, 1);
}

void Module1::ShowSavedNotAuditedNotice()
{
    Prompt::current().message(QString(), QStringLiteral("单据保存成功！\n\n但是现在单据并没有正式生效，\n\n"
                                                        "必须经[审核]操作，单据才正式生效并更新库存！"));
}

void Module1::WarnEditInProgress()
{
    Prompt::current().message(QString(), QStringLiteral("正在有数据被编辑,现在退出会造成本次编辑的数据丢失。\n\n"
                                                        "请您首先点击<保存>或<取消>菜单结束本次编辑。"));
}
