#pragma once

#include "db/Database.h"

#include <QString>

// The operator's rights as they gate the main menus (TE1.F61..F66; 0 or Null denies).
struct OperatorRights {
    bool masterData = true;   // F61
    bool inbound = true;      // F62
    bool stock = true;        // F63
    bool outbound = true;     // F64
    bool mayViewCost = true;  // F65: reports and cost prices
    bool admin = true;        // F66
};

namespace login {

enum class Outcome { Ok, EmptyCode, UnknownCode, WrongPassword, LookupFailed };

struct Check {
    Outcome outcome;
    QString code;   // the trimmed code
    QString name;   // the operator's name, read with the password checked
    QString error;  // the database's error text for LookupFailed
};

// Checks an operator code and password against TE1. A failing lookup never
// counts as "no password": it refuses with the error. A password an older
// book keeps in plain text is stored hashed once it matched.
Check CheckPassword(db::Database &db, const QString &code, const QString &typed);
// Stores the plain password of operator code as a hash.
void HashPlainPassword(db::Database &db, const QString &code, const QString &plain);

// The rights of operator code: "001" holds every right; a row without rights
// denies them. When there is no row for code, or the rights cannot be read,
// every gated right is denied.
OperatorRights ReadOperatorRights(db::Database &db, const QString &code);

inline const QString kAdministrator = QStringLiteral("001");

} // namespace login
