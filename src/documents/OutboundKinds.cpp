#include "OutboundKinds.h"

#include "db/Database.h"
#include "documents/Posting.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"

namespace documents {

bool postOutboundLine(PostingContext &context, const StoredLine &line)
{
    if (!context.run(QStringLiteral("update TA4 set F8=coalesce(F8,0)+? where F1=?"), {context.sign * line.quantity, line.code}))
        return false;
    db::Statement &read = context.prepared(QStringLiteral("select F8,F7 from TA4 where F1=?"));
    if (!read.isValid() || !read.bindAll({line.code}))
        return false;
    if (!read.next()) {
        if (read.hasError())
            context.error = read.error();
        return !read.hasError();  // the caller checked every goods row before posting
    }
    const QVariant quantity = read.value(0);
    const QVariant cost = read.value(1);
    read.reset();
    return stampPostedLines(context, line.code, quantity, cost);
}

namespace {

// The sale price of the goods rounded to the money decimals, without trailing
// zeros; Null gives "0".
QString salePriceText(Module1 &module, const QVariant &sale)
{
    if (sale.isNull())
        return QStringLiteral("0");
    return numtext::numToText(numtext::leadingNumber(module.money(sale.toDouble())));
}

DocumentKind outboundKind(const QString &name, const QString &caption, const QString &word, const QString &prefix,
                          const QString &headerTable, const QString &lineTable, int direction)
{
    DocumentKind k;
    k.name = name;
    k.windowCaption = caption;
    k.kindWord = word;
    k.listTabCaption = word + QStringLiteral("单列表");
    k.detailTabCaption = word + QStringLiteral("单明细");
    k.prefix = prefix;
    k.headerTable = headerTable;
    k.lineTable = lineTable;
    k.partyTable = QStringLiteral("TA2");
    k.headerLabels = {word + QStringLiteral("单号"), word + QStringLiteral("时间"), QStringLiteral("出货单位"),
                      QStringLiteral("录入员"),      QStringLiteral("审核人"),      QStringLiteral("金额合计"),
                      QStringLiteral("附注")};
    k.quantityCaption = word + QStringLiteral("数量");
    k.priceCaption = word + QStringLiteral("价格");
    k.emptyNoteMessage = QStringLiteral("不能保存空的单据！请录入") + word + QStringLiteral("货品！");
    k.lineNotFoundMessage = QStringLiteral("此") + word + QStringLiteral("单中没有指定的货品编码：");
    k.printItems = {QStringLiteral("&1.") + caption + QStringLiteral("(方案一)"),
                    QStringLiteral("&2.") + caption + QStringLiteral("(方案二)")};
    // Both propose the sale price and write the amounts of new lines their own way.
    k.priceField = QStringLiteral("F71");
    k.proposePrice = salePriceText;
    k.stripAmountAsNumToText = true;
    k.lookupAmountMoneyRounded = true;
    k.unknownCellCodeShort = true;
    k.upperCasePartyInBox = false;

    k.direction = direction;
    k.auditConfirmation = QStringLiteral("审核操作将对库存货品进行更新，\n\n审核后单据将不可修改！\n\n真的要继续吗？");
    k.cancelNoRowMessage = QStringLiteral("请选择要操作的行！");
    k.cancelNotAuditedMessage = QStringLiteral("该单据未审核，不能做撤销审核操作！");
    k.cancelConfirmation = QStringLiteral("撤销审核操作将对库存货品进行更新，\n\n请小心操作！\n\n真的要继续吗？");
    k.postLine = postOutboundLine;

    k.schemeOneMissingMessage = QStringLiteral("报表文件丢失！");
    k.stagedTitle = caption;
    k.stagedPartyLabel = QStringLiteral("出货单位：");
    return k;
}

DocumentKind makeStockOut()
{
    DocumentKind k = outboundKind(QStringLiteral("D1"), QStringLiteral("货品出库单"), QStringLiteral("出库"),
                                  QStringLiteral("CK"), QStringLiteral("TD1"), QStringLiteral("TD11"), -1);
    k.partyCodeCaption = QStringLiteral("出货单位编码");
    k.busyPointerOnList = true;
    k.confirmBeforeLockDate = true;
    k.stockCheck = [](Module1 &m, const QString &code, double qty, const QString &docNo) {
        return m.CheckStockEnough(code, qty, docNo);
    };
    // A receiving unit the book lacks is created, named by its code, as part of the save.
    k.createsUnknownParty = true;
    k.extraSaveStep = [](db::Database &database, const SaveRequest &, const QString &code) {
        return database.exec(QStringLiteral("insert into TA2 (F1,F2) select ?,? where not exists "
                                            "(select 1 from TA2 where F1=?)"),
                             {code, code, code});
    };
    k.schemeOneReport = QStringLiteral("prntd10.rpt");
    k.stagedSignature = [](const QString &enteredBy, const QString &auditor) {
        return QStringLiteral("制单人：") + enteredBy + QString(14, QLatin1Char(' ')) + QStringLiteral("审核人：") + auditor
            + QString(12, QLatin1Char(' ')) + QStringLiteral("经手人： ");
    };
    return k;
}

DocumentKind makeReturnIn()
{
    DocumentKind k = outboundKind(QStringLiteral("D3"), QStringLiteral("货品退库单"), QStringLiteral("退库"),
                                  QStringLiteral("TK"), QStringLiteral("TD3"), QStringLiteral("TD31"), +1);
    k.partyCodeCaption = QStringLiteral("退库单位编码");
    k.listPartyCaption = QStringLiteral("退库单位");
    // The returns-in note lays its line columns out evenly and writes some texts plainly.
    k.doubleNameColumn = false;
    k.loadedQuantityAsNumToText = false;
    k.totalAsNumToText = false;
    k.consumeEnterInQuantity = false;
    k.schemeOneReport = QStringLiteral("prntd30.rpt");
    k.stagedNumbersAsText = false;
    k.stagedTotalAsNumToText = false;
    k.stagedSignatureLine = false;
    return k;
}

} // namespace

const DocumentKind &stockOutNoteKind()
{
    static const DocumentKind kind = makeStockOut();
    return kind;
}

const DocumentKind &returnInNoteKind()
{
    static const DocumentKind kind = makeReturnIn();
    return kind;
}

} // namespace documents
