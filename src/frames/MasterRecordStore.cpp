#include "MasterRecordStore.h"

#include "db/Database.h"

namespace frames {

MasterRecordStore::MasterRecordStore(db::Database &db, QString table, QList<CodeReference> references,
                                     bool keepOne)
    : db_(db), table_(std::move(table)), references_(std::move(references)), keepOne_(keepOne)
{
}

MasterRecordStore::Result MasterRecordStore::failed() const
{
    Result r;
    r.outcome = Outcome::Failed;
    r.error = db_.lastError();
    return r;
}

std::optional<QString> MasterRecordStore::holderOf(const QString &code)
{
    db::Statement st = db_.prepare(QStringLiteral("select F2 from ") + table_ + QStringLiteral(" where F1=?"));
    st.bind(1, code.trimmed());
    if (!st.next())
        return std::nullopt;
    return st.text(0);
}

bool MasterRecordStore::isCodeInUse(const QString &code)
{
    const QString c = code.trimmed();
    for (const CodeReference &ref : references_) {
        bool ok = false;
        const QString condition = ref.condition.isEmpty() ? QString() : QStringLiteral(" and ") + ref.condition;
        const QVariant v = db_.scalar(QStringLiteral("select ") + ref.field + QStringLiteral(" from ") + ref.table +
                                          QStringLiteral(" where ") + ref.field + QStringLiteral("=?") + condition +
                                          QStringLiteral(" limit 1"),
                                      {c}, &ok);
        if (!ok || !v.isNull())
            return true;
    }
    return false;
}

int MasterRecordStore::recordCount()
{
    return db_.scalar(QStringLiteral("select count(*) from ") + table_).toInt();
}

bool MasterRecordStore::hasOtherRecord(const QString &code, bool &ok)
{
    const QVariant v = db_.scalar(QStringLiteral("select F1 from ") + table_ +
                                      QStringLiteral(" where F1<>? and F1 is not null and F1<>'' limit 1"),
                                  {code.trimmed()}, &ok);
    return !v.isNull();
}

MasterRecordStore::Result MasterRecordStore::save(const QStringList &values, const std::optional<QString> &oldCode)
{
    QStringList fields, marks;
    QVariantList params;
    for (int i = 0; i < values.size(); ++i) {
        fields.append(QStringLiteral("F") + QString::number(i + 1));
        marks.append(QStringLiteral("?"));
        params.append(values[i]);
    }
    const QString sql = QStringLiteral("insert into ") + table_ + QStringLiteral(" (") + fields.join(QLatin1Char(',')) +
                        QStringLiteral(") values (") + marks.join(QLatin1Char(',')) + QStringLiteral(")");
    return store(values.value(0), oldCode, {}, [&] { return db_.exec(sql, params); });
}

MasterRecordStore::Result MasterRecordStore::store(const QString &code, const std::optional<QString> &oldCode,
                                                   const std::function<bool()> &readOld,
                                                   const std::function<bool()> &insert)
{
    db::Transaction tx(db_);
    if (!tx.isActive())
        return failed();
    const bool sameCode = oldCode && oldCode->trimmed().compare(code.trimmed(), Qt::CaseInsensitive) == 0;
    // A code another table refers to stays: the window locks it, and this
    // catches a reference written meanwhile on another computer.
    if (oldCode && !sameCode && isCodeInUse(*oldCode)) {
        Result r;
        r.outcome = Outcome::InUse;
        return r;
    }
    if (const auto holder = holderOf(code)) {
        if (!sameCode) {
            Result r;
            r.outcome = Outcome::Duplicate;
            r.holder = *holder;
            return r;
        }
    }
    if (oldCode) {
        if (readOld && !readOld())
            return failed();
        if (!db_.exec(QStringLiteral("delete from ") + table_ + QStringLiteral(" where F1=?"), {oldCode->trimmed()}))
            return failed();
    }
    if (!insert() || !tx.commit())
        return failed();
    return {};
}

MasterRecordStore::Result MasterRecordStore::checkDelete(const QString &code)
{
    Result r;
    if (isCodeInUse(code)) {
        r.outcome = Outcome::InUse;
        return r;
    }
    if (keepOne_) {
        bool ok = false;
        const bool other = hasOtherRecord(code, ok);
        if (!ok)
            return failed();
        if (!other)
            r.outcome = Outcome::LastRecord;
    }
    return r;
}

MasterRecordStore::Result MasterRecordStore::remove(const QString &code)
{
    db::Transaction tx(db_);
    if (!tx.isActive())
        return failed();
    const Result check = checkDelete(code);
    if (!check.ok())
        return check;
    if (!db_.exec(QStringLiteral("delete from ") + table_ + QStringLiteral(" where F1=?"), {code.trimmed()}) ||
        !tx.commit())
        return failed();
    return {};
}

} // namespace frames
