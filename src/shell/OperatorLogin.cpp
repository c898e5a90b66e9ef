#include "OperatorLogin.h"

#include "Passwords.h"

namespace login {

Check CheckPassword(db::Database &db, const QString &code, const QString &typed)
{
    Check result{Outcome::Ok, code.trimmed(), {}, {}};
    if (result.code.isEmpty()) {
        result.outcome = Outcome::EmptyCode;
        return result;
    }
    db::Statement st = db.prepare(QStringLiteral("select F3, F2 from TE1 where F1=?"));
    if (!st.isValid() || !st.bindAll({result.code})) {
        result.outcome = Outcome::LookupFailed;
        result.error = db.lastError();
        return result;
    }
    if (!st.next()) {
        result.outcome = st.hasError() ? Outcome::LookupFailed : Outcome::UnknownCode;
        result.error = st.error();
        return result;
    }
    const QString stored = st.text(0);
    result.name = st.text(1);
    st = db::Statement();  // the row is read: the book is free for the upgrade below
    if (!passwords::matches(stored, typed))
        result.outcome = Outcome::WrongPassword;
    else if (!stored.isEmpty() && !passwords::isHashed(stored))
        HashPlainPassword(db, result.code, stored);
    return result;
}

void HashPlainPassword(db::Database &db, const QString &code, const QString &plain)
{
    // Only while the row still holds that plain text; a book that cannot be
    // written keeps it, and the login goes on.
    db.exec(QStringLiteral("update TE1 set F3=? where F1=? and F3=?"), {passwords::storedForm(plain), code, plain});
}

OperatorRights ReadOperatorRights(db::Database &db, const QString &code)
{
    OperatorRights rights;
    if (code == kAdministrator)
        return rights;
    // A failing read, or a row deleted meanwhile on another computer, grants nothing.
    db::Statement st = db.prepare(QStringLiteral("select F61,F62,F63,F64,F65,F66 from TE1 where F1=?"));
    if (!st.isValid() || !st.bindAll({code}) || !st.next())
        return {false, false, false, false, false, false};
    const auto granted = [&st](int column) { return !st.isNull(column) && st.number(column) != 0; };
    rights.masterData = granted(0);
    rights.inbound = granted(1);
    rights.stock = granted(2);
    rights.outbound = granted(3);
    rights.mayViewCost = granted(4);
    rights.admin = granted(5);
    return rights;
}

} // namespace login
