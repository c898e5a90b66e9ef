#include "DocumentKind.h"

#include "documents/PartyNoteKind.h"
#include "documents/Posting.h"
#include "shell/Module1.h"

namespace documents {

QString DocumentKind::listStatement() const
{
    if (!ownListStatement.isEmpty())
        return ownListStatement;
    const QString &h = headerTable;
    const QString &p = partyTable;
    return QStringLiteral("select %1.F1,%1.F2,%2.F2 AS LB,%1.F5,%1.F6,%1.F9,%1.F10,%1.F3 from %1,%2 "
                          "WHERE %1.F3=%2.F1 and (%1.F6 is Null or %1.F6='') ")
        .arg(h, p);
}

QString DocumentKind::queryStatement() const
{
    if (!ownQueryStatement.isEmpty())
        return ownQueryStatement;
    return QStringLiteral("select %1.F1,%1.F2,%2.F2 AS LB,%1.F5,%1.F6,%1.F9,%1.F10,%1.F3 from %1 left join %2 on %1.F3=%2.F1  ")
        .arg(headerTable, partyTable);
}

namespace {

DocumentKind makeStockIn()
{
    DocumentKind k = partyNoteKind({QStringLiteral("B1"), QStringLiteral("货品入库单"), QStringLiteral("入库"),
                                    QStringLiteral("RK"), QStringLiteral("TB1"), QStringLiteral("TB11"),
                                    QStringLiteral("TA1"), QStringLiteral("供货单位")},
                                   +1);
    k.cancelNoRowMessage = QStringLiteral("请选择要操作的数据行！");
    k.cancelNotAuditedMessage = QStringLiteral("该单据未审核，不能执行撤销审核！");
    k.cancelConfirmation = QStringLiteral("如果这批已审核入库的货品已经出库，\n\n撤销审核操作可能会造成库存货品数据出现负数！"
                                          "\n\n真的要继续吗？");
    k.postLine = postInboundLine;
    k.hasNewGoodsPanel = true;
    k.busyPointerOnList = true;
    k.schemeOneReport = QStringLiteral("prntb10.rpt");
    k.proposePrice = [](Module1 &m, const QVariant &cost) {
        return m.gMayViewCost ? moneyPriceText(m, cost) : QStringLiteral("0");
    };
    return k;
}

DocumentKind makeSupplierReturn()
{
    DocumentKind k = partyNoteKind({QStringLiteral("B3"), QStringLiteral("公司退货单"), QStringLiteral("退货"),
                                    QStringLiteral("TH"), QStringLiteral("TB3"), QStringLiteral("TB31"),
                                    QStringLiteral("TA1"), QStringLiteral("供货单位")},
                                   -1);
    k.postLine = postInboundLine;
    useReturnNoteLayout(k);
    // The return writes some texts its own way and checks the stock.
    k.upperCasePartyInBox = false;
    k.unknownCellCodeShort = true;
    k.confirmBeforeLockDate = true;
    k.schemeOneReport = QStringLiteral("prntb30.rpt");
    k.schemeOneMissingMessage = QStringLiteral("报表文件丢失！");
    k.stagedTitle = QStringLiteral("退  货  单");
    k.proposePrice = [](Module1 &m, const QVariant &cost) {
        return cost.isNull() ? QString() : moneyPriceText(m, cost);
    };
    k.stockCheck = checkStockEnough;
    return k;
}

} // namespace

const DocumentKind &stockInNoteKind()
{
    static const DocumentKind kind = makeStockIn();
    return kind;
}

const DocumentKind &supplierReturnNoteKind()
{
    static const DocumentKind kind = makeSupplierReturn();
    return kind;
}

} // namespace documents
