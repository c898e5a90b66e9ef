#include "DocumentKind.h"

#include "documents/Posting.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"

namespace documents {

QString DocumentKind::listStatement() const
{
    const QString &h = headerTable;
    const QString &p = partyTable;
    return QStringLiteral("select %1.F1,%1.F2,%2.F2 AS LB,%1.F5,%1.F6,%1.F9,%1.F10,%1.F3 from %1,%2 "
                          "WHERE %1.F3=%2.F1 and (%1.F6 is Null or %1.F6='') ")
        .arg(h, p);
}

namespace {

// The price text of a cost price: rounded to the money decimals, written
// without trailing zeros; Null gives "0".
QString priceText(Module1 &module, const QVariant &cost)
{
    if (cost.isNull())
        return QStringLiteral("0");
    return numtext::numToText(numtext::leadingNumber(module.money(cost.toDouble())));
}

const QString kCancelQuestionEnd = QStringLiteral("\n\n真的要继续吗？");

DocumentKind inboundBase()
{
    DocumentKind k;
    k.partyTable = QStringLiteral("TA1");
    k.partyCodeCaption = QStringLiteral("供货单位编码");
    k.auditConfirmation = QStringLiteral("审核操作将对库存货品进行更新，\n\n审核后单据将不可修改！\n\n真的要继续吗？");
    k.postLine = postInboundLine;
    return k;
}

DocumentKind makeStockIn()
{
    DocumentKind k = inboundBase();
    k.name = QStringLiteral("B1");
    k.windowCaption = QStringLiteral("货品入库单");
    k.listTabCaption = QStringLiteral("入库单列表");
    k.detailTabCaption = QStringLiteral("入库单明细");
    k.prefix = QStringLiteral("RK");
    k.headerTable = QStringLiteral("TB1");
    k.lineTable = QStringLiteral("TB11");
    k.headerLabels = {QStringLiteral("入库单号"), QStringLiteral("入库时间"), QStringLiteral("供货单位"),
                      QStringLiteral("录入员"),   QStringLiteral("审核人"),   QStringLiteral("金额合计"),
                      QStringLiteral("附注")};
    k.kindWord = QStringLiteral("入库");
    k.quantityCaption = QStringLiteral("入库数量");
    k.priceCaption = QStringLiteral("入库价格");
    k.emptyNoteMessage = QStringLiteral("不能保存空的单据！请录入入库货品！");
    k.lineNotFoundMessage = QStringLiteral("此入库单中没有指定的货品编码：");
    k.printItems = {QStringLiteral("&1.货品入库单(方案一)"), QStringLiteral("&2.货品入库单(方案二)")};
    k.hasNewGoodsPanel = true;
    k.busyPointerOnList = true;
    k.direction = +1;
    k.cancelNoRowMessage = QStringLiteral("请选择要操作的数据行！");
    k.cancelNotAuditedMessage = QStringLiteral("该单据未审核，不能执行撤销审核！");
    k.cancelConfirmation = QStringLiteral("如果这批已审核入库的货品已经出库，\n\n撤销审核操作可能会造成库存货品数据出现负数！")
                           + kCancelQuestionEnd;
    k.proposePrice = [](Module1 &m, const QVariant &cost) {
        return m.gMayViewCost ? priceText(m, cost) : QStringLiteral("0");
    };
    return k;
}

DocumentKind makeSupplierReturn()
{
    DocumentKind k = inboundBase();
    k.name = QStringLiteral("B3");
    k.windowCaption = QStringLiteral("公司退货单");
    k.listTabCaption = QStringLiteral("退货单列表");
    k.detailTabCaption = QStringLiteral("退货单明细");
    k.prefix = QStringLiteral("TH");
    k.headerTable = QStringLiteral("TB3");
    k.lineTable = QStringLiteral("TB31");
    k.headerLabels = {QStringLiteral("退货单号"), QStringLiteral("退货时间"), QStringLiteral("供货单位"),
                      QStringLiteral("录入员"),   QStringLiteral("审核人"),   QStringLiteral("金额合计"),
                      QStringLiteral("附注")};
    k.kindWord = QStringLiteral("退货");
    k.quantityCaption = QStringLiteral("退货数量");
    k.priceCaption = QStringLiteral("退货价格");
    k.emptyNoteMessage = QStringLiteral("不能保存空的单据！请录入退货货品！");
    k.lineNotFoundMessage = QStringLiteral("此退货单中没有指定的货品编码：");
    k.printItems = {QStringLiteral("&1.公司退货单(方案一)"), QStringLiteral("&2.公司退货单(方案二)")};
    k.doubleNameColumn = false;
    k.loadedQuantityAsNumToText = false;
    k.totalAsNumToText = false;
    k.consumeEnterInQuantity = false;
    k.upperCasePartyInBox = false;
    k.lookupAmountAsNumToText = true;
    k.unknownCellCodeShort = true;
    k.direction = -1;
    k.confirmBeforeLockDate = true;
    k.cancelNoRowMessage = QStringLiteral("请选择要操作的行！");
    k.cancelNotAuditedMessage = QStringLiteral("该单据未审核，不能做撤销审核操作！");
    k.cancelConfirmation = QStringLiteral("撤销审核操作将对库存货品进行更新，\n\n请小心操作！") + kCancelQuestionEnd;
    k.proposePrice = [](Module1 &m, const QVariant &cost) { return cost.isNull() ? QString() : priceText(m, cost); };
    k.stockCheck = [](Module1 &m, const QString &code, double qty, const QString &docNo) {
        return m.CheckStockEnough(code, qty, docNo);
    };
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
