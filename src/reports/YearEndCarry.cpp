#include "YearEndCarry.h"

#include "db/Database.h"
#include "db/DateText.h"
#include "reports/PeriodReport.h"

namespace reports {

CarryForwardResult CarryForward(db::Database &db, const QDate &newStart, const QDate &today, bool clearReports,
                                bool clearDocuments)
{
    CarryForwardResult result;
    db::Transaction tx(db);
    if (!tx.isActive()) {
        result.error = db.lastError();
        return result;
    }
    // The state as it stands now, not as the window saw it.
    if (PeriodStartOf(db) < today) {
        result.status = CarryForwardResult::PeriodOpen;
        return result;
    }
    bool ok = false;
    const QString oldStart = db.scalar(QStringLiteral("select F7 from reginfo"), {}, &ok).toString();
    const QDate old = db::parseDate(oldStart);
    if (ok && old.isValid() && old >= newStart) {
        result.status = CarryForwardResult::AlreadyDone;
        return result;
    }

    QStringList steps = {QStringLiteral("update TA4 set V3=F8,V4=F7")};
    if (clearDocuments)
        for (const char *table : {"TB11", "TB1", "TB31", "TB3", "TC21", "TC2", "TD11", "TD1", "TD31", "TD3"})
            steps.append(QStringLiteral("delete from ") + QLatin1String(table));
    steps.append(clearReports ? QStringLiteral("delete from jxc")
                              : QStringLiteral("update jxc set SortNo=-SortNo where SortNo>0"));
    bool done = ok;
    for (const QString &sql : steps)
        done = done && db.exec(sql);
    done = done && db.exec(QStringLiteral("update pathtxm set F5=?"), {oldStart});
    if (done && db.changes() == 0)
        done = db.exec(QStringLiteral("insert into pathtxm (F5) values (?)"), {oldStart});
    done = done && db.exec(QStringLiteral("update reginfo set F7=?"), {db::dateText(newStart)});
    if (done && db.changes() == 0)
        done = db.exec(QStringLiteral("insert into reginfo (F7) values (?)"), {db::dateText(newStart)});
    if (!done || !tx.commit()) {
        result.error = db.lastError();
        return result;
    }
    result.status = CarryForwardResult::Done;
    return result;
}

} // namespace reports
