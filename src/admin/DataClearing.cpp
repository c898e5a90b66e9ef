#include "DataClearing.h"

#include "db/DateText.h"
#include "shell/Module1.h"

#include <QStringList>

namespace admin {

namespace {

const QString kDefaultSupplier = QStringLiteral("默认货品来源");
const QString kDefaultReceiver = QStringLiteral("默认货品去向");
const QString kDefaultCategory = QStringLiteral("所有货品");

// Runs the steps in one transaction; the first failing step rolls all back.
class ClearingRun {
public:
    explicit ClearingRun(Module1 &m) : m_(m), tx_(m.gDb)
    {
        if (!tx_.isActive())
            fail();
    }

    ClearingRun &exec(const QString &sql, const QVariantList &params = {})
    {
        if (error_.isEmpty() && !m_.gDb.exec(sql, params))
            fail();
        return *this;
    }

    // Updates the rows; inserts one when the update changed none.
    ClearingRun &upsert(const QString &update, const QString &insert, const QVariantList &params)
    {
        exec(update, params);
        if (error_.isEmpty() && m_.gDb.changes() == 0)
            exec(insert, params);
        return *this;
    }

    ClearingRun &emptyTables(const QStringList &tables)
    {
        for (const QString &table : tables)
            exec(QStringLiteral("delete from ") + table);
        return *this;
    }

    ClearingRun &ensureDefaultRow(const QString &table, const QString &name)
    {
        if (error_.isEmpty() && !m_.EnsureDefaultRow(table, name))
            fail();
        return *this;
    }

    QString finish()
    {
        if (error_.isEmpty() && !tx_.commit())
            fail();
        return error_;
    }

private:
    void fail()
    {
        error_ = m_.gDb.lastError();
        if (error_.isEmpty())
            error_ = QStringLiteral("数据库操作失败");
    }

    Module1 &m_;
    db::Transaction tx_;
    QString error_;
};

struct DocumentTables {
    const char *header;
    const char *lines;
};

DocumentTables tablesOf(DocumentKindToClear kind)
{
    switch (kind) {
    case DocumentKindToClear::StockIn: return {"TB1", "TB11"};
    case DocumentKindToClear::ReturnToSupplier: return {"TB3", "TB31"};
    case DocumentKindToClear::StockOut: return {"TD1", "TD11"};
    case DocumentKindToClear::ReturnIn: return {"TD3", "TD31"};
    case DocumentKindToClear::Stocktaking: return {"TC2", "TC21"};
    }
    return {"TB1", "TB11"};
}

// Removes the documents of the given kinds whose party is code, lines first.
void clearPartyDocuments(ClearingRun &run, const QString &code, std::initializer_list<DocumentTables> kinds)
{
    for (const DocumentTables &t : kinds) {
        const QString header = QString::fromLatin1(t.header);
        const QString lines = QString::fromLatin1(t.lines);
        run.exec(QStringLiteral("delete from %1 where F0 in (select F1 from %2 where F3=?)").arg(lines, header), {code});
        run.exec(QStringLiteral("delete from %1 where F3=?").arg(header), {code});
    }
}

// Removes every trade document that has a line of the goods, whole: its
// header and all its lines, those of other goods included.
void clearGoodsDocuments(ClearingRun &run, const QString &code)
{
    const DocumentTables kinds[] = {{"TB1", "TB11"}, {"TB3", "TB31"}, {"TD1", "TD11"}, {"TD3", "TD31"}};
    for (const DocumentTables &t : kinds) {
        const QString header = QString::fromLatin1(t.header);
        const QString lines = QString::fromLatin1(t.lines);
        const QString docsWithGoods = QStringLiteral("(select F0 from %1 where F1=?)").arg(lines);
        run.exec(QStringLiteral("delete from %1 where F1 in ").arg(header) + docsWithGoods, {code});
        run.exec(QStringLiteral("delete from %1 where F0 in ").arg(lines) + docsWithGoods, {code});
    }
}

} // namespace

QString initialiseBook(Module1 &m, const InitialiseChoice &choice)
{
    ClearingRun run(m);
    if (choice.documents)
        run.emptyTables({QStringLiteral("TB1"), QStringLiteral("TB11"), QStringLiteral("TB3"), QStringLiteral("TB31"),
                         QStringLiteral("TC2"), QStringLiteral("TC21"), QStringLiteral("TD1"), QStringLiteral("TD11"),
                         QStringLiteral("TD3"), QStringLiteral("TD31"), QStringLiteral("TC15")});
    if (choice.zeroStock)
        run.exec(QStringLiteral("update TA4 set F8=0,V3=0,V4=0"));
    if (choice.masterData) {
        run.exec(QStringLiteral("delete from TA1")).ensureDefaultRow(QStringLiteral("TA1"), kDefaultSupplier);
        run.exec(QStringLiteral("delete from TA2")).ensureDefaultRow(QStringLiteral("TA2"), kDefaultReceiver);
        run.exec(QStringLiteral("delete from TA3")).ensureDefaultRow(QStringLiteral("TA3"), kDefaultCategory);
        run.exec(QStringLiteral("delete from TA4"));
    }
    if (choice.newYear) {
        run.exec(QStringLiteral("delete from jxc"));
        // A book without its reginfo row gets one: the year start is never dropped.
        run.upsert(QStringLiteral("update reginfo set F7=?"), QStringLiteral("insert into reginfo (F7) values (?)"),
                   {db::dateText(choice.yearStart)});
    }
    return run.finish();
}

QString clearMasterRecord(Module1 &m, MasterKind kind, const QString &code)
{
    ClearingRun run(m);
    switch (kind) {
    case MasterKind::Supplier:
        run.exec(QStringLiteral("delete from TA1 where F1=?"), {code})
            .ensureDefaultRow(QStringLiteral("TA1"), kDefaultSupplier);
        clearPartyDocuments(run, code, {{"TB1", "TB11"}, {"TB3", "TB31"}});
        break;
    case MasterKind::ReceivingUnit:
        run.exec(QStringLiteral("delete from TA2 where F1=?"), {code})
            .ensureDefaultRow(QStringLiteral("TA2"), kDefaultReceiver);
        clearPartyDocuments(run, code, {{"TD1", "TD11"}, {"TD3", "TD31"}});
        break;
    case MasterKind::Goods:
        run.exec(QStringLiteral("delete from TA4 where F1=?"), {code});
        clearGoodsDocuments(run, code);
        run.exec(QStringLiteral("delete from jxc where Hpbm=?"), {code});
        break;
    case MasterKind::Category:
        break;
    }
    run.exec(QStringLiteral("delete from TC15"));
    return run.finish();
}

QString clearDocumentsBefore(Module1 &m, DocumentKindToClear kind, const QDate &cutoff)
{
    const DocumentTables t = tablesOf(kind);
    const QString header = QString::fromLatin1(t.header);
    const QString lines = QString::fromLatin1(t.lines);
    const QString day = db::dateText(cutoff);
    ClearingRun run(m);
    run.exec(QStringLiteral("delete from %1 where F0 in (select F1 from %2 where datediff('d',?,F2)<0)").arg(lines, header),
             {day});
    run.exec(QStringLiteral("delete from %1 where datediff('d',?,F2)<0").arg(header), {day});
    run.exec(QStringLiteral("delete from TC15"));
    return run.finish();
}

QString clearingFailedText(const QString &error)
{
    return QStringLiteral("数据清除失败，帐本中的数据未作任何改动。系统返回如下信息：\n") + error;
}

} // namespace admin
