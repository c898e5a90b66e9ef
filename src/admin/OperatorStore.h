#pragma once

#include <QString>
#include <array>
#include <optional>

namespace db {
class Database;
}

// The operators of an account book (TE1): code, name and six rights. The
// password, the background caption and the personal note belong to the
// operator's own settings and are never touched here.
namespace operators {

// F61..F66 in this order: master data, inbound, stock, outbound, cost prices
// and reports, administration. 1 allows, 0 denies.
using Rights = std::array<int, 6>;

struct Operator {
    QString code;
    QString name;
    Rights rights{};
};

// The highest administrator: cannot be deleted and keeps its code.
inline const QString kAdministrator = QStringLiteral("001");

// NotAName: the code cannot serve as a file name (it names the operator's
// picture "image/<code>.jpg"): it holds a path separator or begins with ".".
enum class Outcome { Done, Duplicate, Protected, Missing, NotAName, Failed };

struct Result {
    Outcome outcome = Outcome::Done;
    QString holder;  // Duplicate: the stored name of the operator holding the code
    QString error;   // Failed: the database's text
    bool ok() const { return outcome == Outcome::Done; }
};

// The stored rights of code (Null reads as 0); nullopt when no row holds it
// or the row cannot be read.
std::optional<Rights> readRights(db::Database &db, const QString &code);

// The coupling of the rights: granting inbound grants cost prices; taking
// cost prices away takes inbound away. changed is the index just set.
void coupleRights(Rights &rights, int changed);

// Adds a new operator without a password. Refused when the code is taken or
// is no plain name.
Result addOperator(db::Database &db, const Operator &op);

// Stores op in place of the operator oldCode; every field the window does not
// show (password, caption, note) stays with the row, also under a new code.
// Refused when the new code is held by another operator or is no plain name
// (also a stored one kept), when "001" would lose its code, or when oldCode
// no longer exists.
Result updateOperator(db::Database &db, const QString &oldCode, const Operator &op);

// Deletes the operator code; "001" is refused.
Result deleteOperator(db::Database &db, const QString &code);

} // namespace operators
