#include "PartyNoteKind.h"

#include "platform/NumberText.h"
#include "shell/Module1.h"

namespace documents {

DocumentKind partyNoteKind(const PartyNoteNames &names, int direction)
{
    const QString &word = names.word;
    DocumentKind k;
    k.name = names.name;
    k.windowCaption = names.caption;
    k.kindWord = word;
    k.listTabCaption = word + QStringLiteral("单列表");
    k.detailTabCaption = word + QStringLiteral("单明细");
    k.prefix = names.prefix;
    k.headerTable = names.headerTable;
    k.lineTable = names.lineTable;
    k.partyTable = names.partyTable;
    k.partyCodeCaption = names.partyLabel + QStringLiteral("编码");
    k.headerLabels = {word + QStringLiteral("单号"), word + QStringLiteral("时间"), names.partyLabel,
                      QStringLiteral("录入员"),      QStringLiteral("审核人"),      QStringLiteral("金额合计"),
                      QStringLiteral("附注")};
    k.quantityCaption = word + QStringLiteral("数量");
    k.priceCaption = word + QStringLiteral("价格");
    k.emptyNoteMessage = QStringLiteral("不能保存空的单据！请录入") + word + QStringLiteral("货品！");
    k.lineNotFoundMessage = QStringLiteral("此") + word + QStringLiteral("单中没有指定的货品编码：");
    k.printItems = {QStringLiteral("&1.") + names.caption + QStringLiteral("(方案一)"),
                    QStringLiteral("&2.") + names.caption + QStringLiteral("(方案二)")};
    k.stagedTitle = names.caption;
    k.stagedPartyLabel = names.partyLabel + QStringLiteral("：");

    k.direction = direction;
    k.auditConfirmation = QStringLiteral("审核操作将对库存货品进行更新，\n\n审核后单据将不可修改！\n\n真的要继续吗？");
    k.cancelNoRowMessage = QStringLiteral("请选择要操作的行！");
    k.cancelNotAuditedMessage = QStringLiteral("该单据未审核，不能做撤销审核操作！");
    k.cancelConfirmation = QStringLiteral("撤销审核操作将对库存货品进行更新，\n\n请小心操作！\n\n真的要继续吗？");
    return k;
}

void useReturnNoteLayout(DocumentKind &kind)
{
    kind.doubleNameColumn = false;
    kind.loadedNullQuantityAsZero = false;
    kind.consumeEnterInQuantity = false;
    kind.stagedNumbersAsText = false;
    kind.stagedTotalAsNumToText = false;
    kind.stagedSignatureLine = false;
}

QString moneyPriceText(Module1 &module, const QVariant &price)
{
    if (price.isNull())
        return QStringLiteral("0");
    return numtext::numToText(numtext::leadingNumber(module.money(price.toDouble())));
}

bool checkStockEnough(Module1 &module, const QString &code, double qty, const QString &docNo)
{
    return module.CheckStockEnough(code, qty, docNo);
}

} // namespace documents
