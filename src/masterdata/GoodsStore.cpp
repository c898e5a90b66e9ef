#include "GoodsStore.h"

#include "db/Database.h"
#include "masterdata/MasterDataKinds.h"

namespace masterdata {

GoodsStore::GoodsStore(db::Database &db) : db_(db), records_(db, QStringLiteral("TA4"), goodsReferences(), false)
{
}

QString GoodsStore::MakeF11(const QString &categoryCode, const QString &goodsCode)
{
    QString a = categoryCode.trimmed();
    QString b = goodsCode.trimmed();
    const QString la = QString::number(a.size() + 4);
    const QString lb = QString::number(b.size());
    a = a.left(4).rightJustified(4, QLatin1Char('0'));
    b = b.left(8).rightJustified(8, QLatin1Char('0'));
    return a + la + lb + b;
}

std::optional<QString> GoodsStore::categoryName(const QString &code)
{
    db::Statement st = db_.prepare(QStringLiteral("select F2 from TA3 where F1=?"));
    st.bind(1, code.trimmed());
    if (!st.next())
        return std::nullopt;
    return st.text(0);
}

std::optional<GoodsRecord> GoodsStore::read(const QString &code)
{
    db::Statement st = db_.prepare(
        QStringLiteral("select F1,F2,F3,F4,F5,F6,F9,F7,F71,F8,V1,V2,V3,V4 from TA4 where F1=?"));
    st.bind(1, code.trimmed());
    if (!st.next())
        return std::nullopt;
    GoodsRecord r;
    r.code = st.text(0);
    r.name = st.text(1);
    r.category = st.text(2);
    r.unit = st.text(3);
    r.model = st.text(4);
    r.remark = st.text(5);
    r.picturePath = st.text(6);
    r.cost = st.number(7);
    r.sale = st.number(8);
    r.quantityOnHand = st.number(9);
    r.safetyStock = st.number(10);
    r.maximumStock = st.number(11);
    r.openingQuantity = st.number(12);
    r.openingPrice = st.number(13);
    return r;
}

frames::MasterRecordStore::Result GoodsStore::save(GoodsRecord &record, const std::optional<QString> &oldCode,
                                           const GoodsEdits &edits)
{
    if (!oldCode) {
        record.openingQuantity = record.quantityOnHand;
        record.openingPrice = record.cost;
    }
    QVariant kept;  // V5, which the card does not show
    const auto readOld = [&] {
        db::Statement st = db_.prepare(QStringLiteral("select F7,F71,F8,V3,V4,V5 from TA4 where F1=?"));
        if (!st.isValid())
            return false;
        st.bind(1, oldCode->trimmed());
        if (!st.next())
            return !st.hasError();  // gone meanwhile: stored as the card has it
        if (!edits.cost)
            record.cost = st.number(0);
        if (!edits.sale)
            record.sale = st.number(1);
        if (!edits.quantityOnHand)
            record.quantityOnHand = st.number(2);
        if (!edits.openingQuantity)
            record.openingQuantity = st.number(3);
        if (!edits.openingPrice)
            record.openingPrice = st.number(4);
        kept = st.value(5);
        return true;
    };
    const auto insert = [&] {
        return db_.exec(QStringLiteral("insert into TA4 (F1,F2,F3,F4,F5,F7,F6,F71,F11,F9,F8,V1,V2,V3,V4,V5) "
                                       "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                        {record.code, record.name, record.category, record.unit, record.model, record.cost,
                         record.remark, record.sale, MakeF11(record.category, record.code), record.picturePath,
                         record.quantityOnHand, record.safetyStock, record.maximumStock, record.openingQuantity,
                         record.openingPrice, kept});
    };
    return records_.store(record.code, oldCode, readOld, insert);
}

} // namespace masterdata
