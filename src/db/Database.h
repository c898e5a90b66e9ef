#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// The password every account book is keyed with.
inline constexpr const char *kBookPassword = "QTR5816";

class Database;

// What the engine found a statement to do when it prepared it.
struct StatementKind {
    bool writes = false;         // changes the book's content or tables (a BEGIN does not)
    bool changesSchema = false;  // makes, drops or alters a table, index, view or trigger
    bool commits = false;        // COMMIT (END)
};

// A prepared statement with bound values and a forward row cursor.
// Values are bound positionally ('?') in the order given.
class Statement {
public:
    Statement() = default;
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement();

    bool isValid() const { return stmt_ != nullptr; }
    bool bind(int index, const QVariant &value);  // 1-based
    bool bindAll(const QVariantList &values);
    // Binds a text given as UTF-8 without copying it: the bytes must stay as
    // they are until the statement has run or is reset.
    bool bindUtf8(int index, QByteArrayView utf8);
    // Binds a real number directly, for loops that bind many of them.
    bool bindNumber(int index, double value);

    // Advances to the next row; false at the end or on error (see hasError()).
    bool next();
    bool hasError() const { return !error_.isEmpty(); }
    // As Database::lastError().
    QString error() const { return error_; }
    int errorCode() const { return errorCode_; }

    int columnCount() const;
    QString columnName(int column) const;
    // The storage class of a column's value in the current row.
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type(int column) const;
    QVariant value(int column) const;   // null QVariant for SQL NULL
    QString text(int column) const;     // "" for NULL
    // The text's UTF-8 bytes without a copy, valid until the next step; empty for NULL.
    QByteArrayView utf8(int column) const;
    double number(int column) const;    // 0 for NULL
    bool isNull(int column) const;

    // One value of the current row, taken from the engine in one call: its
    // type, text and number are then read without going through the
    // connection's lock again, which counts when a long list is read cell by
    // cell. Valid until the next step; read on the connection's own thread.
    class Field {
    public:
        Type type() const;
        // Read its type first: reading a number's text turns it into text.
        QByteArrayView utf8() const;  // empty for NULL
        double number() const;        // 0 for NULL
        qint64 integer() const;       // 0 for NULL
    private:
        friend class Statement;
        explicit Field(void *value) : value_(value) {}
        void *value_;  // the engine's sqlite3_value, whose name differs between its headers
    };
    Field field(int column) const;

    // Runs a statement that returns no rows; true on success.
    bool run();
    void reset();

private:
    friend class Database;
    Statement(Database *book, sqlite3 *db, sqlite3_stmt *stmt, StatementKind kind)
        : book_(book), db_(db), stmt_(stmt), kind_(kind)
    {
    }
    // One step; an execution's first step goes through the book's check of
    // its writes. On failure the error is set.
    int step();
    void setError();
    void setError(const QString &message, int code)
    {
        error_ = message;
        errorCode_ = code;
    }

    Database *book_ = nullptr;
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *stmt_ = nullptr;
    StatementKind kind_;
    QString error_;
    int errorCode_ = 0;
};

// One keyed connection to an account book (SQLCipher).
//
// A connection opened for writing remembers the book's restore mark when it
// opens the book and writes only while the mark is unchanged: a restore
// (written into the book's own file, possibly by another computer) changes
// it, and every later write of a connection opened before is refused with
// the "replaced" reason (Failure::Replaced), so no window opened on the old
// book writes into the restored one. The mark is the engine's schema cookie:
// the engine's copy of a whole book into this one moves it on in the same
// commit as the copy, and the program never changes a book's tables once the
// book is made (a connection's own changes of them move its mark along).
// The mark is read once per write transaction, under the transaction's lock:
// at the start of a Transaction, else before the first write in a
// transaction, and around a write statement outside one, which runs in a
// write transaction of its own. A book renamed over (a damaged book
// replaced by a copy) is told the same way by the engine at the write.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens (read-write, shared) and keys the file, then proves the key with
    // one read; a file that is no book or has another key is refused here.
    // An absent file is refused unless create is true. vfs names the file
    // system layer (nullptr: the default one).
    bool open(const QString &path, const QString &key = QString::fromLatin1(kBookPassword),
              bool create = false, const char *vfs = nullptr);
    // Opens and keys the file for reading only, through the named file system
    // layer (nullptr: the default one); refused like open() when no book.
    bool openReadOnly(const QString &path, const char *vfs = nullptr);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    QString path() const { return path_; }
    // The last failure as the clerk reads it: for the engine's failures the
    // Chinese reason with the engine's text as detail (EngineFailure.h).
    QString lastError() const { return lastError_; }
    // The engine's extended result code of the last failure (0 when the
    // failure was the program's own, e.g. a missing file).
    int lastErrorCode() const { return lastErrorCode_; }
    // Whether the open book can only be read (the engine opened a file it
    // may not write, or the folder of its journal cannot be written).
    bool isReadOnly() const;

    Statement prepare(const QString &sql);
    // Runs one statement with bound values.
    bool exec(const QString &sql, const QVariantList &params = {});
    // Runs several ';'-separated statements without parameters.
    bool execScript(const QString &sql);
    // First column of the first row; null QVariant when no row. ok reports errors.
    QVariant scalar(const QString &sql, const QVariantList &params = {}, bool *ok = nullptr);
    // Rows changed by the last insert/update/delete.
    int changes() const;
    bool inTransaction() const;

    sqlite3 *handle() const { return db_; }

    // How long a statement waits for another computer's lock before it fails
    // (10 s); for connections opened afterwards. Tests shorten it.
    static void setBusyTimeout(int milliseconds);

    // The book's restore mark as the file holds it now; false when it
    // cannot be read (the error is set).
    bool readMark(quint32 *mark);
    // Writes on under mark: after this connection wrote a restore into the
    // book itself, the mark that restore left.
    void writeUnder(quint32 mark) { mark_ = mark; }

private:
    friend class Statement;
    friend class Transaction;
    // Prepares the first statement of sql (tail, when given, receives where
    // the next begins); nullopt on failure. A Statement that is not valid
    // when sql holds no statement.
    std::optional<Statement> prepareUtf8(const char *sql, int size, const char **tail);
    // The first step of statement's execution, writes checked (see above).
    int step(Statement &statement);
    // A write outside a transaction: in a write transaction of its own, checked.
    int stepAlone(Statement &statement);
    // Whether the mark is unchanged in this transaction; when it changed (or
    // cannot be read) statement, when given, and the connection get the reason.
    bool markUnchanged(Statement *statement = nullptr);
    // The engine's authorizer, called while a statement is prepared: notes what it does.
    static int noteKind(void *self, int action, const char *first, const char *, const char *, const char *);
    void setError(const QString &message, int code = 0)
    {
        lastError_ = message;
        lastErrorCode_ = code;
    }
    void setEngineError(sqlite3 *handle);
    bool openWith(const QString &path, const QString &key, int flags, const char *vfs);

    sqlite3 *db_ = nullptr;
    QString path_;
    QString lastError_;
    int lastErrorCode_ = 0;

    bool checksWrites_ = false;    // opened for writing
    quint32 mark_ = 0;             // the restore mark this connection writes under
    sqlite3_stmt *markQuery_ = nullptr;
    bool checked_ = false;         // this transaction found the mark unchanged
    bool schemaChanged_ = false;   // this transaction changed the book's tables
    // What noteKind found the statement being prepared to do.
    struct Noted {
        bool begins = false, commits = false, pragma = false, changesSchema = false;
    } noted_;
};

// BEGIN IMMEDIATE on construction; rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return active_; }
    bool commit();
    void rollback();

private:
    Database &db_;
    bool active_ = false;
};

} // namespace db
