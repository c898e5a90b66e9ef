#include "DocumentKind.h"

#include "documents/Posting.h"
#include "platform/NumberText.h"
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

// The price text of a cost price: rounded to the money decimals, written
// without trailing zeros; Null gives "0".
QString priceText(Module1 &module, const QVariant &cost)
{
    if (cost.isNull())
        return QStringLiteral("0");
    return numtext::numToText(numtext::leadingNumber(module.money(cost.toDouble())));
}

const QString kCancelQuestionEnd = QStringLiteral("\n\n真的要继续吗？");

// The texts of an inbound kind follow from its caption and its kind word.
struct CancelTexts {
    QString noRow;
    QString notAudited;
    QString warning;  // the question before the final "真的要继续吗？"
};

DocumentKind inboundKind(const QString &name, const QString &caption, const QString &word, const QString &prefix,
                         const QString &headerTable, const QString &lineTable, int direction, const CancelTexts &cancel)
{
    DocumentKind k;
    k.direction = direction;
    k.cancelNoRowMessage = cancel.noRow;
    k.cancelNotAuditedMessage = cancel.notAudited;
    k.cancelConfirmation = cancel.warning + kCancelQuestionEnd;
    k.name = name;
    k.windowCaption = caption;
    k.kindWord = word;
    k.listTabCaption = word + QStringLiteral("单列表");
    k.detailTabCaption = word + QStringLiteral("单明细");
    k.prefix = prefix;
    k.headerTable = headerTable;
    k.lineTable = lineTable;
    k.partyTable = QStringLiteral("TA1");
    k.partyCodeCaption = QStringLiteral("供货单位编码");
    k.headerLabels = {word + QStringLiteral("单号"), word + QStringLiteral("时间"), QStringLiteral("供货单位"),
                      QStringLiteral("录入员"),      QStringLiteral("审核人"),      QStringLiteral("金额合计"),
                      QStringLiteral("附注")};
    k.quantityCaption = word + QStringLiteral("数量");
    k.priceCaption = word + QStringLiteral("价格");
    k.emptyNoteMessage = QStringLiteral("不能保存空的单据！请录入") + word + QStringLiteral("货品！");
    k.lineNotFoundMessage = QStringLiteral("此") + word + QStringLiteral("单中没有指定的货品编码：");
    k.printItems = {QStringLiteral("&1.") + caption + QStringLiteral("(方案一)"),
                    QStringLiteral("&2.") + caption + QStringLiteral("(方案二)")};
    k.auditConfirmation = QStringLiteral("审核操作将对库存货品进行更新，\n\n审核后单据将不可修改！\n\n真的要继续吗？");
    k.postLine = postInboundLine;
    return k;
}

DocumentKind makeStockIn()
{
    DocumentKind k = inboundKind(
        QStringLiteral("B1"), QStringLiteral("货品入库单"), QStringLiteral("入库"), QStringLiteral("RK"),
        QStringLiteral("TB1"), QStringLiteral("TB11"), +1,
        {QStringLiteral("请选择要操作的数据行！"), QStringLiteral("该单据未审核，不能执行撤销审核！"),
         QStringLiteral("如果这批已审核入库的货品已经出库，\n\n撤销审核操作可能会造成库存货品数据出现负数！")});
    k.hasNewGoodsPanel = true;
    k.busyPointerOnList = true;
    k.schemeOneReport = QStringLiteral("prntb10.rpt");
    k.stagedTitle = QStringLiteral("货品入库单");
    k.proposePrice = [](Module1 &m, const QVariant &cost) {
        return m.gMayViewCost ? priceText(m, cost) : QStringLiteral("0");
    };
    return k;
}

DocumentKind makeSupplierReturn()
{
    DocumentKind k = inboundKind(
        QStringLiteral("B3"), QStringLiteral("公司退货单"), QStringLiteral("退货"), QStringLiteral("TH"),
        QStringLiteral("TB3"), QStringLiteral("TB31"), -1,
        {QStringLiteral("请选择要操作的行！"), QStringLiteral("该单据未审核，不能做撤销审核操作！"),
         QStringLiteral("撤销审核操作将对库存货品进行更新，\n\n请小心操作！")});
    // The return writes some texts its own way and checks the stock.
    k.doubleNameColumn = false;
    k.loadedQuantityAsNumToText = false;
    k.totalAsNumToText = false;
    k.consumeEnterInQuantity = false;
    k.upperCasePartyInBox = false;
    k.lookupAmountAsNumToText = true;
    k.unknownCellCodeShort = true;
    k.confirmBeforeLockDate = true;
    k.schemeOneReport = QStringLiteral("prntb30.rpt");
    k.schemeOneMissingMessage = QStringLiteral("报表文件丢失！");
    k.stagedTitle = QStringLiteral("退  货  单");
    k.stagedNumbersAsText = false;
    k.stagedTotalAsNumToText = false;
    k.stagedSignatureLine = false;
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
