#include "StocktakingKind.h"

#include "documents/Posting.h"
#include "documents/StocktakingLines.h"
#include "platform/NumberText.h"

namespace documents {

bool postStocktakingLine(PostingContext &context, const StoredLine &line)
{
    // The difference without floating noise, so 10.1 - 10 adds 0.1.
    // A code without a goods row changes nothing.
    const double difference = numtext::exactDifference(line.quantity, line.bookQuantity);
    GoodsFigures after;
    bool found = false;
    return moveStock(context, line.code, context.sign * difference, after, found);
}

namespace {

DocumentKind makeStocktaking()
{
    DocumentKind k;
    k.name = QStringLiteral("C2");
    k.windowCaption = QStringLiteral("库存盘点单");
    k.browseCaption = QStringLiteral("货品盘点单");
    k.editCaption = QStringLiteral("货品盘点单  警告！在货品盘点至盘点单录入结束期间，不可以进行任何出库入库操作！");
    k.listTabCaption = QStringLiteral("盘点单列表");
    k.detailTabCaption = QStringLiteral("盘点单明细");
    k.prefix = QStringLiteral("PD");
    k.headerTable = QStringLiteral("TC2");
    k.lineTable = QStringLiteral("TC21");
    k.headerLabels = {QStringLiteral("盘点单号"), QStringLiteral("盘点时间"),   QStringLiteral("盘点人"),
                      QStringLiteral("录入员"),   QStringLiteral("审核人"),     QStringLiteral("盈亏额合计"),
                      QStringLiteral("附注")};
    k.kindWord = QStringLiteral("盘点");
    // The status bar counts the window's own notes and lines; the
    // delete-by-code refusal says 入库, as the stock-in note does.
    k.lineNotFoundMessage = QStringLiteral("此入库单中没有指定的货品编码：");
    k.quantityCaption = QStringLiteral("实盘数量");
    k.priceCaption = QStringLiteral("核算价格");
    k.emptyNoteMessage = QStringLiteral("不能保存空的单据！请录入盘点货品！");
    k.listAmountCaption = QStringLiteral("盈亏额");
    k.listQuantityCaption = QStringLiteral("盈亏数");
    k.quantityOnlyTotalLabel = QStringLiteral("盈亏数量");
    k.listTotalAsGeneral = true;
    k.searchStockCaption = QStringLiteral("帐面数");
    k.stripQuantityLabel = QStringLiteral("实盘数：");
    k.ownListStatement = QStringLiteral("select TC2.F1,TC2.F2,TC2.F3 ,TC2.F5,TC2.F6,TC2.F9,TC2.F10,TC2.F3 from TC2 "
                                        "WHERE  (TC2.F6 is Null or TC2.F6='') order by TC2.F1");
    k.ownQueryStatement =
        QStringLiteral("select TC2.F1,TC2.F2,TC2.F3 AS PDR ,TC2.F5,TC2.F6,TC2.F9,TC2.F10,TC2.F3 from TC2   ");

    k.doubleNameColumn = false;
    k.consumeEnterInQuantity = false;
    k.unknownCellCodeShort = true;
    k.headerHasStamp = false;
    k.canCancelAudit = false;
    k.openCellEditOnEntry = false;
    k.quantityOnlyRoomToName = true;
    k.totalInRedWhenNegative = true;
    k.linesCarryBookQuantity = true;

    k.direction = +1;
    k.auditConfirmation = QStringLiteral("审核操作将根据盘点盈亏数量对存库货品的数量进行更新，\n\n审核后单据将不可修改！\n\n真的要继续吗？");
    k.postLine = postStocktakingLine;
    k.lineEditor = [](Module1 &module, const DocumentKind &kind, GridModel &grid) -> std::unique_ptr<LineEditor> {
        return std::make_unique<StocktakingLineEditor>(module, kind, grid);
    };

    // One print command: the template reads the note from the book.
    k.schemeOneReport = QStringLiteral("prnTC2.rpt");
    k.schemeOneTestedFile = QStringLiteral("prntc2.rpt");
    return k;
}

} // namespace

const DocumentKind &stocktakingNoteKind()
{
    static const DocumentKind kind = makeStocktaking();
    return kind;
}

} // namespace documents
