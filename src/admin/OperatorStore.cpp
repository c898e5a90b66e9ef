#include "OperatorStore.h"

#include "db/Database.h"
#include "shell/Pictures.h"

namespace operators {

namespace {

Result failed(db::Database &db, const QString &error = {})
{
    Result r;
    r.outcome = Outcome::Failed;
    r.error = error.isEmpty() ? db.lastError() : error;
    return r;
}

// The refusal of a code another operator holds (Duplicate, with the
// holder's name) or that cannot be looked up (Failed); nullopt for a free code.
std::optional<Result> refusalOfTakenCode(db::Database &db, const QString &code)
{
    db::Statement st = db.prepare(QStringLiteral("select F2 from TE1 where F1=?"));
    if (!st.isValid() || !st.bindAll({code}))
        return failed(db);
    if (!st.next()) {
        if (st.hasError())
            return failed(db);
        return std::nullopt;
    }
    Result r;
    r.outcome = Outcome::Duplicate;
    r.holder = st.text(0);
    return r;
}

// The stored fields F1, F2, F61..F66 of an operator: code and name trimmed, rights as 0/1.
QVariantList operatorValues(const Operator &op)
{
    QVariantList values{op.code.trimmed(), op.name.trimmed()};
    for (int r : op.rights)
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
    if (!isPlainFileName(code))
        return Result{Outcome::NotAName, {}, {}};
    db::Transaction tx(db);
    if (!tx.isActive())
        return failed(db);
    if (auto refusal = refusalOfTakenCode(db, code))
        return *refusal;
    if (!db.exec(QStringLiteral("insert into TE1 (F1,F2,F61,F62,F63,F64,F65,F66) values (?,?,?,?,?,?,?,?)"),
                 operatorValues(op)))
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
    if (!isPlainFileName(code))
        return Result{Outcome::NotAName, {}, {}};
    db::Transaction tx(db);
    if (!tx.isActive())
        return failed(db);
    if (code.compare(from, Qt::CaseInsensitive) != 0) {
        if (auto refusal = refusalOfTakenCode(db, code))
            return *refusal;
    }
    QVariantList values = operatorValues(op);
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
