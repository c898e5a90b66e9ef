#include "OutboundKinds.h"

#include "db/Database.h"
#include "documents/PartyNoteKind.h"
#include "documents/Posting.h"

namespace documents {

bool postOutboundLine(PostingContext &context, const StoredLine &line)
{
    GoodsFigures after;
    bool found = false;
    if (!moveStock(context, line.code, context.sign * line.quantity, after, found))
        return false;
    if (!found)
        return true;  // the caller checked every goods row before posting
    return stampPostedLines(context, line.code, after.quantity, after.costKnown ? QVariant(after.cost) : QVariant());
}

namespace {

// Both outbound kinds propose the sale price and write the amounts of new
// lines their own way.
DocumentKind outboundKind(const PartyNoteNames &names, int direction)
{
    DocumentKind k = partyNoteKind(names, direction);
    k.postLine = postOutboundLine;
    k.priceField = QStringLiteral("F71");
    k.proposePrice = moneyPriceText;
    k.lookupAmountMoneyRounded = true;
    k.unknownCellCodeShort = true;
    k.upperCasePartyInBox = false;
    k.schemeOneMissingMessage = QStringLiteral("报表文件丢失！");
    return k;
}

DocumentKind makeStockOut()
{
    DocumentKind k = outboundKind({QStringLiteral("D1"), QStringLiteral("货品出库单"), QStringLiteral("出库"),
                                   QStringLiteral("CK"), QStringLiteral("TD1"), QStringLiteral("TD11"),
                                   QStringLiteral("TA2"), QStringLiteral("出货单位")},
                                  -1);
    k.busyPointerOnList = true;
    k.confirmBeforeLockDate = true;
    k.stockCheck = checkStockEnough;
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
    DocumentKind k = outboundKind({QStringLiteral("D3"), QStringLiteral("货品退库单"), QStringLiteral("退库"),
                                   QStringLiteral("TK"), QStringLiteral("TD3"), QStringLiteral("TD31"),
                                   QStringLiteral("TA2"), QStringLiteral("出货单位")},
                                  +1);
    k.partyCodeCaption = QStringLiteral("退库单位编码");
    k.listPartyCaption = QStringLiteral("退库单位");
    useReturnNoteLayout(k);
    k.schemeOneReport = QStringLiteral("prntd30.rpt");
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
