#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "DataClearing.h"

#include "db/DateText.h"
#include "shell/Module1.h"

#include <QElapsedTimer>
#include <QStringList>

#include <functional>
#include <vector>

namespace admin {

namespace {

const QString kDefaultSupplier = QStringLiteral("默认货品来源");
const QString kDefaultReceiver = QStringLiteral("默认货品去向");
const QString kDefaultCategory = QStringLiteral("所有货品");

// While a long statement runs (emptying a million document lines takes
// seconds), tells the progress again now and then, so the window repaints.
class EngineTicks {
public:
    EngineTicks(db::Database &book, const ClearingProgress &progress, const qint64 &done, qint64 total)
        : handle_(book.handle()), progress_(progress), done_(done), total_(total)
    {
        if (progress_) {
            sinceTick_.start();
            sqlite3_progress_handler(handle_, kEngineSteps, tick, this);
        }
    }
    ~EngineTicks()
    {
        if (progress_)
            sqlite3_progress_handler(handle_, 0, nullptr, nullptr);
    }
    EngineTicks(const EngineTicks &) = delete;
    EngineTicks &operator=(const EngineTicks &) = delete;

private:
    static constexpr int kEngineSteps = 20000;  // engine instructions between two looks at the clock
    static constexpr qint64 kTickMs = 50;

    static int tick(void *self)
    {
        auto *ticks = static_cast<EngineTicks *>(self);
        if (ticks->sinceTick_.elapsed() >= kTickMs) {
            ticks->progress_(ticks->done_, ticks->total_);
            ticks->sinceTick_.restart();
        }
        return 0;  // never interrupts the statement
    }

    sqlite3 *handle_;
    const ClearingProgress &progress_;
    const qint64 &done_;
    const qint64 total_;
    QElapsedTimer sinceTick_;
};

// Collects the steps of one clearing, then runs them in one transaction: the
// first failing step rolls all back.
class ClearingRun {
public:
    explicit ClearingRun(Module1 &m) : m_(m) {}

    ClearingRun &exec(const QString &sql, const QVariantList &params = {})
    {
        return step([this, sql, params] { return m_.gDb.exec(sql, params); });
    }

    // Updates the rows; inserts one when the update changed none.
    ClearingRun &upsert(const QString &update, const QString &insert, const QVariantList &params)
    {
        return step([this, update, insert, params] {
            return m_.gDb.exec(update, params) && (m_.gDb.changes() > 0 || m_.gDb.exec(insert, params));
        });
    }

    ClearingRun &emptyTables(const QStringList &tables)
    {
        for (const QString &table : tables)
            exec(QStringLiteral("delete from ") + table);
        return *this;
    }

    ClearingRun &ensureDefaultRow(const QString &table, const QString &name)
    {
        return step([this, table, name] { return m_.EnsureDefaultRow(table, name); });
    }

    // Runs the steps, telling progress the steps done of all of them; "" on
    // success, else the reason (and nothing changed).
    QString run(const ClearingProgress &progress)
    {
        db::Transaction tx(m_.gDb);
        if (!tx.isActive())
            return failure();
        const qint64 total = steps_.size();
        qint64 done = 0;
        const EngineTicks ticks(m_.gDb, progress, done, total);
        for (const auto &step : steps_) {
            if (progress)
                progress(done, total);
            if (!step())
                return failure();
            ++done;
        }
        if (!tx.commit())
            return failure();
        if (progress)
            progress(total, total);
        return QString();
    }

private:
    ClearingRun &step(std::function<bool()> step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }

    QString failure() const
    {
        const QString error = m_.gDb.lastError();
        return error.isEmpty() ? QStringLiteral("数据库操作失败") : error;
    }

    Module1 &m_;
    std::vector<std::function<bool()>> steps_;
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

QString initialiseBook(Module1 &m, const InitialiseChoice &choice, const ClearingProgress &progress)
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
    return run.run(progress);
}

QString clearMasterRecord(Module1 &m, MasterKind kind, const QString &code, const ClearingProgress &progress)
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
    return run.run(progress);
}

QString clearDocumentsBefore(Module1 &m, DocumentKindToClear kind, const QDate &cutoff,
                             const ClearingProgress &progress)
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
    return run.run(progress);
}

QString clearingFailedText(const QString &error)
{
    return QStringLiteral("数据清除失败，帐本中的数据未作任何改动。系统返回如下信息：\n") + error;
}

} // namespace admin
