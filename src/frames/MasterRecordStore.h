#pragma once

#include "frames/MasterDataKind.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace db {
class Database;
}

namespace frames {

// Reads and writes the records of one master table: code in F1, name in F2.
// Every write runs in one transaction and re-checks, inside it, what the
// window checked before asking the operator.
class MasterRecordStore {
public:
    MasterRecordStore(db::Database &db, QString table, QList<CodeReference> references, bool keepOne);

    enum class Outcome { Done, Duplicate, InUse, LastRecord, Failed };
    struct Result {
        Outcome outcome = Outcome::Done;
        QString holder;  // Duplicate: the name of the record holding the code
        QString error;   // Failed: the database's text
        bool ok() const { return outcome == Outcome::Done; }
    };

    // Name of the record that holds code ("" for a record without a name);
    // nullopt when no record holds it.
    std::optional<QString> holderOf(const QString &code);
    // True while a referring table names the code (or the lookup fails, so
    // that a reference is never orphaned by an unreadable table).
    bool isCodeInUse(const QString &code);

    // Stores the field values F1..Fn as a new record (oldCode empty) or in
    // place of the record oldCode.
    Result save(const QStringList &values, const std::optional<QString> &oldCode);

    // The general save: (editing under a new code) the old code must not be
    // in use; the duplicate test on code; then (editing) readOld while
    // the old row still exists, the delete of oldCode, and insert; all or
    // nothing. The callbacks return false on a database error.
    Result store(const QString &code, const std::optional<QString> &oldCode,
                 const std::function<bool()> &readOld, const std::function<bool()> &insert);

    // How many records the table holds (0 when it cannot be read).
    int recordCount();

    // Whether code may be deleted: in use, or the table's last record.
    Result checkDelete(const QString &code);
    // Deletes code after checking again inside the transaction.
    Result remove(const QString &code);

    db::Database &database() { return db_; }
    const QString &table() const { return table_; }

private:
    Result failed() const;
    bool hasOtherRecord(const QString &code, bool &ok);

    db::Database &db_;
    QString table_;
    QList<CodeReference> references_;
    bool keepOne_;
};

} // namespace frames
