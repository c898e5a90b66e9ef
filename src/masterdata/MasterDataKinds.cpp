#include "MasterDataKinds.h"

#include "frames/GoodsColumns.h"

namespace masterdata {

using frames::CodeReference;
using frames::MasterDataKind;

namespace {

QVector<QueryField> textFields(const QString &table, const QStringList &captions)
{
    QVector<QueryField> fields;
    for (int i = 0; i < captions.size(); ++i)
        fields.append({captions[i], table + QStringLiteral(".F") + QString::number(i + 1), QStringLiteral("0")});
    return fields;
}

MasterDataKind named(const QString &name, const QString &table, const QString &windowCaption,
                     const QString &listTab, const QString &cardTab)
{
    MasterDataKind k;
    k.name = name;
    k.table = table;
    k.windowCaption = windowCaption;
    k.listTabCaption = listTab;
    k.cardTabCaption = cardTab;
    return k;
}

// Suppliers and receiving units share their seven fields and their template.
MasterDataKind unitKind(const QString &name, const QString &table, const QString &what,
                        const QString &listSql, QList<CodeReference> references)
{
    MasterDataKind k = named(name, table, what + QStringLiteral("资料"), what + QStringLiteral("列表"),
                             what + QStringLiteral("资料"));
    k.columnCaptions = {QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("地址"), QStringLiteral("电话"),
                        QStringLiteral("传真"), QStringLiteral("电子信箱"), QStringLiteral("备注")};
    k.labelCaptions = {QStringLiteral("单位编码"), QStringLiteral("单位名称"), QStringLiteral("地址"), QStringLiteral("电话"),
                       QStringLiteral("传真"), QStringLiteral("电子信箱"), QStringLiteral("备注")};
    k.listSql = listSql;
    k.keepOneMessage = QStringLiteral("系统中必须保留至少一条") + what + QStringLiteral("记录！");
    k.references = std::move(references);
    k.queryBase = QStringLiteral("Select ") + table + QStringLiteral(".* from ") + table + QStringLiteral(" ");
    k.queryFields = textFields(table, k.columnCaptions);
    k.queryStartField = 1;
    k.report = {QStringLiteral("prnta12.rpt"), QStringLiteral("Prnta12.rpt"), what + QStringLiteral("列表")};
    k.gridFreeHeightTwips = 400;
    return k;
}

} // namespace

MasterDataKind supplierKind()
{
    return unitKind(QStringLiteral("A1"), QStringLiteral("TA1"), QStringLiteral("供货单位"),
                    QStringLiteral("select * from ta1 order by F1"),
                    {{QStringLiteral("TB1"), QStringLiteral("F3")}, {QStringLiteral("TB3"), QStringLiteral("F3")}});
}

MasterDataKind receivingUnitKind()
{
    return unitKind(QStringLiteral("A2"), QStringLiteral("TA2"), QStringLiteral("出货单位"),
                    QStringLiteral("select * from TA2 order by F1"),
                    {{QStringLiteral("TD1"), QStringLiteral("F3")}, {QStringLiteral("TD3"), QStringLiteral("F3")}});
}

MasterDataKind categoryKind()
{
    MasterDataKind k = named(QStringLiteral("A3"), QStringLiteral("TA3"), QStringLiteral("货品类别资料"),
                             QStringLiteral("货品类别列表"), QStringLiteral("货品类别资料"));
    k.columnCaptions = {QStringLiteral("编码"), QStringLiteral("类别")};
    k.labelCaptions = {QStringLiteral("类别编码"), QStringLiteral("类别名称")};
    k.listSql = QStringLiteral("select * from TA3 order by F1");
    k.keepOneMessage = QStringLiteral("系统中必须保留至少一种货品类别！");
    k.references = {{QStringLiteral("TA4"), QStringLiteral("F3")}};
    k.queryBase = QStringLiteral("Select TA3.* from TA3 ");
    k.queryFields = textFields(k.table, k.columnCaptions);
    k.queryStartField = 1;
    k.report = {QStringLiteral("prnTA3.rpt"), QStringLiteral("PrnTA3.rpt"), QStringLiteral("货品类别编码表")};
    k.gridFreeHeightTwips = 1100;
    k.codeMaxLength = 25;
    k.upperCaseTyping = true;
    k.placeAtLeftEdge = true;
    return k;
}

QList<CodeReference> goodsReferences()
{
    // Monthly report rows of any report number, the lines of the trade
    // documents, and the lines of an open stocktaking note (its audit needs
    // the goods; an audited note has done with it).
    return {{QStringLiteral("jxc"), QStringLiteral("Hpbm")},
            {QStringLiteral("TB11"), QStringLiteral("F1")},
            {QStringLiteral("TB31"), QStringLiteral("F1")},
            {QStringLiteral("TD11"), QStringLiteral("F1")},
            {QStringLiteral("TD31"), QStringLiteral("F1")},
            {QStringLiteral("TC21"), QStringLiteral("F1"),
             QStringLiteral("F0 in (select F1 from TC2 where F6 is null or F6='')")}};
}

const frames::ListColumns &goodsListColumns()
{
    using frames::CellKind;
    using Search = frames::ListColumn::Search;
    static const frames::ListColumns columns = [] {
        frames::GoodsNamingColumns n = frames::goodsNamingColumns();
        n.code.role = GoodsField::Code;
        n.name.role = GoodsField::Name;
        n.name.widthHalves = 3;
        n.category.role = GoodsField::Category;
        n.unit.role = GoodsField::Unit;
        n.unit.widthHalves = 1;
        n.unit.alignment = Qt::AlignCenter;
        n.model.role = GoodsField::Model;
        // The cost's room goes to the remark while the price is not shown;
        // the category code and the sale price are kept for the card.
        return frames::ListColumns{
            n.code, n.name, n.category, n.unit, n.model,
            {.caption = QStringLiteral("价格"), .field = QStringLiteral("TA4.F7"), .kind = CellKind::Number,
             .role = GoodsField::Cost, .roomTo = QStringLiteral("TA4.F6")},
            {.caption = QStringLiteral("备注"), .field = QStringLiteral("TA4.F6"), .role = GoodsField::Remark},
            {.caption = QStringLiteral("类别编码"), .field = QStringLiteral("TA4.F3"), .search = Search::No,
             .role = GoodsField::CategoryCode, .widthHalves = 0, .printed = false},
            {.caption = QStringLiteral("销售价格"), .field = QStringLiteral("TA4.F71"), .kind = CellKind::Number,
             .search = Search::No, .role = GoodsField::Sale, .widthHalves = 0, .printed = false},
        };
    }();
    return columns;
}

MasterDataKind goodsKind(const frames::ListColumns &columns)
{
    MasterDataKind k = named(QStringLiteral("A4"), QStringLiteral("TA4"), QStringLiteral("货品编码"),
                             QStringLiteral("货品编码列表"), QStringLiteral("货品编码资料"));
    k.listColumns = columns;
    k.columnCaptions = frames::columnCaptions(columns);
    k.cardBoxes = {{QStringLiteral("货品编码"), GoodsField::Code},
                   {QStringLiteral("货品名称"), GoodsField::Name},
                   {QStringLiteral("所属类别"), GoodsField::Category},
                   {QStringLiteral("计量单位"), GoodsField::Unit},
                   {QStringLiteral("规格型号"), GoodsField::Model},
                   {QStringLiteral("成本价格"), GoodsField::Cost},
                   {QStringLiteral("备注"), GoodsField::Remark},
                   {QStringLiteral("销售价格"), GoodsField::Sale},
                   {QStringLiteral("最低库存"), GoodsField::SafetyStock},
                   {QStringLiteral("最高库存"), GoodsField::MaximumStock},
                   {QStringLiteral("年初数量"), GoodsField::OpeningQuantity},
                   {QStringLiteral("年初价格"), GoodsField::OpeningPrice}};
    for (const frames::CardBox &box : k.cardBoxes)
        k.labelCaptions.append(box.caption);
    const QString select = QStringLiteral("select ") + frames::selectList(columns);
    k.listSql = select + QStringLiteral(" from TA4,TA3 WHERE TA4.F3=TA3.F1 order by TA4.F1");
    k.references = goodsReferences();
    k.queryBase = select + QStringLiteral(" from TA4 left join TA3 on TA4.F3=TA3.F1  ");
    k.queryFields = frames::queryFields(columns);
    k.queryStartField = 0;
    k.report = {QStringLiteral("prnTa4.rpt"), QStringLiteral("PrnTa4.rpt"), QStringLiteral("货品编码资料")};
    k.gridFreeHeightTwips = 400;
    k.codeMaxLength = 25;
    k.upperCaseCodeTyping = true;
    return k;
}

} // namespace masterdata
