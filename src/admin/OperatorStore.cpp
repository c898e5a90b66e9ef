#include "OperatorStore.h"

#include "db/Database.h"

namespace operators {

namespace {

Result failed(db::Database &db, const QString &error = {})
{
    Result r;
    r.outcome = Outcome::Failed;
    r.error = error.isEmpty() ? db.lastError() : error;
    return r;
}

// The name of the operator holding code; nullopt for a free code. ok is
// false when the lookup fails.
std::optional<QString> holderOf(db::Database &db, const QString &code, bool &ok)
{
    ok = true;
    db::Statement st = db.prepare(QStringLiteral("select F2 from TE1 where F1=?"));
    if (!st.isValid() || !st.bindAll({code})) {
        ok = false;
        return std::nullopt;
    }
    if (!st.next()) {
        ok = !st.hasError();
        return std::nullopt;
    }
    return st.text(0);
}

QVariantList rightValues(const Rights &rights)
{
    QVariantList values;
    for (int r : rights)
        values.append(r ? 1 : 0);
    return values;
}

bool isAdministrator(const QString &code)
{
    return code.trimmed() == kAdministrator;
}

} // namespace

std::optional<Rights> readRights(db::Database &db, const QString &code)
{
    db::Statement st = db.prepare(QStringLiteral("select F61,F62,F63,F64,F65,F66 from TE1 where F1=?"));
    if (!st.isValid() || !st.bindAll({code.trimmed()}) || !st.next())
        return std::nullopt;
    Rights rights{};
    for (int i = 0; i < 6; ++i)
        rights[i] = st.number(i) != 0 ? 1 : 0;
    return rights;
}

void coupleRights(Rights &rights, int changed)
{
    if (changed == 1 && rights[1])
        rights[4] = 1;
    else if (changed == 4 && !rights[4])
        rights[1] = 0;
}

Result addOperator(db::Database &db, const Operator &op)
{
    const QString code = op.code.trimmed();
    db::Transaction tx(db);
    if (!tx.isActive())
        return failed(db);
    bool ok = false;
    if (const auto holder = holderOf(db, code, ok)) {
        Result r;
        r.outcome = Outcome::Duplicate;
        r.holder = *holder;
        return r;
    }
    if (!ok)
        return failed(db);
    QVariantList values{code, op.name.trimmed()};
    values += rightValues(op.rights);
    if (!db.exec(QStringLiteral("insert into TE1 (F1,F2,F61,F62,F63,F64,F65,F66) values (?,?,?,?,?,?,?,?)"), values))
        return failed(db);
    if (!tx.commit())
        return failed(db);
    return {};
}

Result updateOperator(db::Database &db, const QString &oldCode, const Operator &op)
{
    const QString from = oldCode.trimmed();
    const QString code = op.code.trimmed();
    if (isAdministrator(from) && !isAdministrator(code))
        return Result{Outcome::Protected, {}, {}};
    db::Transaction tx(db);
    if (!tx.isActive())
        return failed(db);
    if (code.compare(from, Qt::CaseInsensitive) != 0) {
        bool ok = false;
        if (const auto holder = holderOf(db, code, ok)) {
            Result r;
            r.outcome = Outcome::Duplicate;
            r.holder = *holder;
            return r;
        }
        if (!ok)
            return failed(db);
    }
    QVariantList values{code, op.name.trimmed()};
    values += rightValues(op.rights);
    values.append(from);
    if (!db.exec(QStringLiteral("update TE1 set F1=?,F2=?,F61=?,F62=?,F63=?,F64=?,F65=?,F66=? where F1=?"), values))
        return failed(db);
    if (db.changes() == 0)
        return Result{Outcome::Missing, {}, {}};
    if (!tx.commit())
        return failed(db);
    return {};
}

Result deleteOperator(db::Database &db, const QString &code)
{
    if (isAdministrator(code))
        return Result{Outcome::Protected, {}, {}};
    if (!db.exec(QStringLiteral("delete from TE1 where F1=?"), {code.trimmed()}))
        return failed(db);
    return {};
}

} // namespace operators
