#include "SystemOptions.h"

#include "db/Database.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"

#include <algorithm>

namespace options {

SystemOptions fromModule(const Module1 &m)
{
    SystemOptions o;
    o.noOverdraw = m.gOptNoOverdraw;
    o.lockLinePrice = m.gOptLockLinePrice;
    o.noAverageCostUpdate = m.gOptNoAverageCostUpdate;
    o.absoluteQuantities = m.gOptAbsoluteQuantities;
    o.salePriceFactor = m.gOptSalePriceFactor;
    o.keepPrices = m.gOptKeepPrices;
    o.alarmLowAtStart = m.gOptAlarmLowAtStart;
    o.alarmHighAtStart = m.gOptAlarmHighAtStart;
    o.adminEditsStock = m.gOptAdminEditsStock;
    o.moneyDecimals = m.gOptMoneyDecimals;
    o.adminEditsOpening = m.gOptAdminEditsOpening;
    return o;
}

void toModule(const SystemOptions &o, Module1 &m)
{
    m.gOptNoOverdraw = o.noOverdraw;
    m.gOptLockLinePrice = o.lockLinePrice;
    m.gOptNoAverageCostUpdate = o.noAverageCostUpdate;
    m.gOptAbsoluteQuantities = o.absoluteQuantities;
    m.gOptSalePriceFactor = o.salePriceFactor;
    m.gOptKeepPrices = o.keepPrices;
    m.gOptAlarmLowAtStart = o.alarmLowAtStart;
    m.gOptAlarmHighAtStart = o.alarmHighAtStart;
    m.gOptAdminEditsStock = o.adminEditsStock;
    m.gOptAdminEditsOpening = o.adminEditsOpening;
    m.gOptMoneyDecimals = std::clamp(o.moneyDecimals, 0, 8);
    m.gMoneyFormat = Module1::MakeDecimalFormat(m.gOptMoneyDecimals);
}

// A single-precision number has about seven significant digits; more would
// show its binary residue (1.2 as 1.20000004768372).
QString factorText(float factor)
{
    return numtext::numToText(QString::number(double(factor), 'g', 7).toDouble());
}

namespace {

class Writer {
public:
    explicit Writer(db::Database &db) : db_(db) {}

    // An option kept in an existing row; the row is made when it is missing.
    bool update(int id, int value)
    {
        if (!db_.exec(QStringLiteral("update sysinfo set setval=? where ID=?"), {value, id}))
            return false;
        if (db_.changes() == 0 && !db_.exec(QStringLiteral("insert into sysinfo (ID,setval) values (?,?)"), {id, value}))
            return false;
        ++written;
        return true;
    }

    bool replace(int id, const QVariantList &values)
    {
        if (!db_.exec(QStringLiteral("delete from sysinfo where ID=?"), {id}))
            return false;
        const QString sql = values.size() == 1 ? QStringLiteral("insert into sysinfo (ID,setval) values (?,?)")
                                               : QStringLiteral("insert into sysinfo (ID,setval,setstr) values (?,?,?)");
        if (!db_.exec(sql, QVariantList{id} + values))
            return false;
        ++written;
        return true;
    }

    int written = 0;

private:
    db::Database &db_;
};

} // namespace

SaveResult saveOptions(db::Database &db, const SystemOptions &before, const SystemOptions &wanted)
{
    SaveResult result;
    if (before == wanted)
        return result;
    db::Transaction tx(db);
    Writer w(db);
    bool ok = tx.isActive();
    const auto updated = [&](int id, int was, int value) {
        if (ok && was != value)
            ok = w.update(id, value);
    };
    const auto replaced = [&](int id, int was, int value) {
        if (ok && was != value)
            ok = w.replace(id, {value});
    };
    updated(0, before.noOverdraw, wanted.noOverdraw);
    updated(1, before.lockLinePrice, wanted.lockLinePrice);
    updated(2, before.noAverageCostUpdate, wanted.noAverageCostUpdate);
    replaced(3, before.absoluteQuantities, wanted.absoluteQuantities);
    if (ok && before.salePriceFactor != wanted.salePriceFactor) {
        const QString text = factorText(wanted.salePriceFactor);
        ok = w.replace(4, {text.toDouble(), text});
    }
    replaced(5, before.keepPrices, wanted.keepPrices);
    replaced(6, before.alarmLowAtStart, wanted.alarmLowAtStart);
    replaced(7, before.alarmHighAtStart, wanted.alarmHighAtStart);
    replaced(8, before.adminEditsStock, wanted.adminEditsStock);
    replaced(10, before.adminEditsOpening, wanted.adminEditsOpening);
    replaced(9, before.moneyDecimals, std::clamp(wanted.moneyDecimals, 0, 8));
    if (ok && w.written > 0)
        ok = tx.commit();
    if (!ok) {
        result.ok = false;
        result.error = db.lastError();
        return result;
    }
    result.written = w.written;
    return result;
}

} // namespace options
