#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "Database.h"

#include "EngineFailure.h"
#include "SqlFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace db {

namespace {
int gBusyTimeoutMs = 10000;
}

// ---- Statement ------------------------------------------------------------

Statement::Statement(Statement &&other) noexcept
    : book_(other.book_), db_(other.db_), stmt_(other.stmt_), kind_(other.kind_), error_(std::move(other.error_)),
      errorCode_(other.errorCode_)
{
    other.stmt_ = nullptr;
    other.db_ = nullptr;
    other.book_ = nullptr;
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        if (stmt_)
            sqlite3_finalize(stmt_);
        book_ = other.book_;
        db_ = other.db_;
        stmt_ = other.stmt_;
        kind_ = other.kind_;
        error_ = std::move(other.error_);
        errorCode_ = other.errorCode_;
        other.stmt_ = nullptr;
        other.db_ = nullptr;
        other.book_ = nullptr;
    }
    return *this;
}

Statement::~Statement()
{
    if (stmt_)
        sqlite3_finalize(stmt_);
}

void Statement::setError()
{
    if (!db_) {
        error_ = QStringLiteral("no statement");
        return;
    }
    errorCode_ = sqlite3_extended_errcode(db_);
    error_ = describeEngineFailure(errorCode_, QString::fromUtf8(sqlite3_errmsg(db_)));
}

bool Statement::bind(int index, const QVariant &value)
{
    if (!stmt_)
        return false;
    int rc;
    if (value.isNull() || !value.isValid()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) {
        setError();
        return false;
    }
    return true;
}

bool Statement::bindUtf8(int index, QByteArrayView utf8)
{
    if (!stmt_)
        return false;
    // A null pointer would bind NULL; an empty text stays an empty text.
    const char *chars = utf8.data() ? utf8.data() : "";
    if (sqlite3_bind_text(stmt_, index, chars, int(utf8.size()), SQLITE_STATIC) != SQLITE_OK) {
        setError();
        return false;
    }
    return true;
}

bool Statement::bindNumber(int index, double value)
{
    if (!stmt_)
        return false;
    if (sqlite3_bind_double(stmt_, index, value) != SQLITE_OK) {
        setError();
        return false;
    }
    return true;
}

bool Statement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        if (!bind(i + 1, values[i]))
            return false;
    return true;
}

int Statement::step()
{
    if (book_ && !sqlite3_stmt_busy(stmt_))
        return book_->step(*this);
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        setError();
    return rc;
}

bool Statement::next()
{
    return stmt_ && step() == SQLITE_ROW;
}

bool Statement::run()
{
    if (!stmt_)
        return false;
    const int rc = step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

void Statement::reset()
{
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    error_.clear();
    errorCode_ = 0;
}

int Statement::columnCount() const
{
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString Statement::columnName(int column) const
{
    return stmt_ ? QString::fromUtf8(sqlite3_column_name(stmt_, column)) : QString();
}

bool Statement::isNull(int column) const
{
    return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

namespace {

Statement::Type typeOf(int storageClass)
{
    switch (storageClass) {
    case SQLITE_INTEGER:
        return Statement::Type::Integer;
    case SQLITE_FLOAT:
        return Statement::Type::Real;
    case SQLITE_TEXT:
        return Statement::Type::Text;
    case SQLITE_BLOB:
        return Statement::Type::Blob;
    default:
        return Statement::Type::Null;
    }
}

} // namespace

Statement::Type Statement::type(int column) const
{
    return typeOf(stmt_ ? sqlite3_column_type(stmt_, column) : SQLITE_NULL);
}

Statement::Field Statement::field(int column) const
{
    return Field(stmt_ ? sqlite3_column_value(stmt_, column) : nullptr);
}

Statement::Type Statement::Field::type() const
{
    return typeOf(value_ ? sqlite3_value_type(static_cast<sqlite3_value *>(value_)) : SQLITE_NULL);
}

QByteArrayView Statement::Field::utf8() const
{
    if (!value_)
        return {};
    auto *value = static_cast<sqlite3_value *>(value_);
    const auto *chars = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return chars ? QByteArrayView(chars, sqlite3_value_bytes(value)) : QByteArrayView();
}

double Statement::Field::number() const
{
    return value_ ? sqlite3_value_double(static_cast<sqlite3_value *>(value_)) : 0.0;
}

qint64 Statement::Field::integer() const
{
    return value_ ? sqlite3_value_int64(static_cast<sqlite3_value *>(value_)) : 0;
}

QVariant Statement::value(int column) const
{
    if (!stmt_)
        return {};
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_TEXT:
        return QVariant(text(column));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt_, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt_, column)));
    }
    default:
        return {};
    }
}

QString Statement::text(int column) const
{
    if (!stmt_)
        return {};
    const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    if (!chars)
        return {};
    return QString::fromUtf8(chars, sqlite3_column_bytes(stmt_, column));
}

QByteArrayView Statement::utf8(int column) const
{
    return field(column).utf8();
}

double Statement::number(int column) const
{
    return stmt_ ? sqlite3_column_double(stmt_, column) : 0.0;
}

// ---- Database -------------------------------------------------------------

Database::~Database()
{
    close();
}

bool Database::open(const QString &path, const QString &key, bool create, const char *vfs)
{
    close();
    if (!create && !QFileInfo(path).isFile()) {
        setError(QStringLiteral("找不到文件 %1").arg(path));
        return false;
    }
    // CREATE also lets ATTACH make new files (compacted copies); a missing book was refused above.
    return openWith(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, vfs);
}

bool Database::openReadOnly(const QString &path, const char *vfs)
{
    close();
    if (!QFileInfo(path).isFile()) {
        setError(QStringLiteral("找不到文件 %1").arg(path));
        return false;
    }
    return openWith(path, QString::fromLatin1(kBookPassword), SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, vfs);
}

bool Database::openWith(const QString &path, const QString &key, int flags, const char *vfs)
{
    setError({});
    sqlite3 *handle = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, vfs);
    if (rc != SQLITE_OK) {
        if (handle)
            setEngineError(handle);
        else
            setError(describeEngineFailure(SQLITE_NOMEM, QStringLiteral("out of memory")), SQLITE_NOMEM);
        sqlite3_close(handle);
        return false;
    }
    // Set before the first read: a book another computer is writing is waited for at open too.
    sqlite3_busy_timeout(handle, gBusyTimeoutMs);
    const QByteArray keyBytes = key.toUtf8();
    rc = sqlite3_key(handle, keyBytes.constData(), int(keyBytes.size()));
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        setEngineError(handle);
        sqlite3_close(handle);
        return false;
    }
    sqlite3_exec(handle, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    // Every page read from the file is decrypted; reports that look up goods
    // and parties for many lines reread the same pages, so the connection
    // keeps up to 64 MB of decrypted pages (the default 2 MB thrashes).
    sqlite3_exec(handle, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    // The program's SQL functions, on every connection it opens.
    registerSqlFunctions(handle);
    db_ = handle;
    path_ = path;
    checksWrites_ = (flags & SQLITE_OPEN_READONLY) == 0;
    if (checksWrites_) {
        sqlite3_set_authorizer(handle, noteKind, this);
        if (!readMark(&mark_)) {
            const QString error = lastError_;
            const int code = lastErrorCode_;
            close();
            setError(error, code);
            return false;
        }
    }
    return true;
}

bool Database::readMark(quint32 *mark)
{
    if (!db_) {
        setError(QStringLiteral("没有打开的帐本"));
        return false;
    }
    if (!markQuery_ && sqlite3_prepare_v2(db_, "PRAGMA schema_version", -1, &markQuery_, nullptr) != SQLITE_OK) {
        setEngineError(db_);
        sqlite3_finalize(markQuery_);
        markQuery_ = nullptr;
        return false;
    }
    const int rc = sqlite3_step(markQuery_);
    if (rc == SQLITE_ROW)
        *mark = quint32(sqlite3_column_int(markQuery_, 0));
    else
        setEngineError(db_);
    sqlite3_reset(markQuery_);
    return rc == SQLITE_ROW;
}

bool Database::markUnchanged(Statement *statement)
{
    quint32 mark = 0;
    const bool read = readMark(&mark);
    if (read && mark == mark_) {
        checked_ = true;
        return true;
    }
    if (read)
        setError(withDetail(failureReason(Failure::Replaced),
                            QStringLiteral("schema version %1, %2 when the book was opened").arg(mark).arg(mark_)),
                 SQLITE_READONLY_DBMOVED);
    if (statement)
        statement->setError(lastError_, lastErrorCode_);
    return false;
}

namespace {
// Whether the statement only explains another (its plan, or its program):
// it writes nothing, though the engine calls it no read-only statement when
// what it explains would write.
bool explains(sqlite3_stmt *stmt)
{
    const char *sql = sqlite3_sql(stmt);
    while (sql && (*sql == ' ' || *sql == '\t' || *sql == '\n' || *sql == '\r'))
        ++sql;
    return sql && qstrnicmp(sql, "EXPLAIN", 7) == 0;
}
} // namespace

int Database::noteKind(void *self, int action, const char *first, const char *, const char *, const char *)
{
    Noted &noted = static_cast<Database *>(self)->noted_;
    switch (action) {
    case SQLITE_TRANSACTION:
        noted.begins = noted.begins || qstrcmp(first, "BEGIN") == 0;
        noted.commits = noted.commits || qstrcmp(first, "COMMIT") == 0;
        break;
    case SQLITE_PRAGMA:
        noted.pragma = true;
        break;
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_ALTER_TABLE:
        noted.changesSchema = true;
        break;
    default:
        break;
    }
    return SQLITE_OK;
}

int Database::step(Statement &statement)
{
    const auto plainStep = [&statement] {
        const int rc = sqlite3_step(statement.stmt_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            statement.setError();
        return rc;
    };
    const bool alone = sqlite3_get_autocommit(db_) != 0;
    if (alone) {  // between transactions: the next one is checked anew
        checked_ = false;
        schemaChanged_ = false;
    }
    const StatementKind kind = statement.kind_;
    if (kind.writes) {
        if (alone)
            return stepAlone(statement);
        // Under the transaction's lock from this read on: no restore comes between it and the write.
        if (!checked_ && !markUnchanged(&statement))
            return statement.errorCode_;
        schemaChanged_ = schemaChanged_ || kind.changesSchema;
        return plainStep();
    }
    if (!kind.commits || !schemaChanged_ || alone)
        return plainStep();
    // The transaction changed the book's tables, which moved the mark on:
    // read under its lock, taken once the commit is done.
    quint32 mark = 0;
    if (!readMark(&mark)) {
        statement.setError(lastError_, lastErrorCode_);
        return lastErrorCode_;
    }
    const int rc = plainStep();
    if (rc == SQLITE_DONE && sqlite3_get_autocommit(db_))
        mark_ = mark;
    return rc;
}

int Database::stepAlone(Statement &statement)
{
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        statement.setError();
        return statement.errorCode_;
    }
    quint32 mark = mark_;
    int rc = statement.errorCode_;
    if (markUnchanged(&statement)) {
        rc = sqlite3_step(statement.stmt_);
        // The engine's writes return no rows; any would only be skipped to reach the commit.
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(statement.stmt_);
        if (rc != SQLITE_DONE) {
            statement.setError();
        } else if (statement.kind_.changesSchema && !readMark(&mark)) {
            statement.setError(lastError_, lastErrorCode_);
            rc = lastErrorCode_;
        } else if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            statement.setError();
            rc = statement.errorCode_;
        } else {
            mark_ = mark;
            return SQLITE_DONE;
        }
    }
    if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

void Database::setBusyTimeout(int milliseconds)
{
    gBusyTimeoutMs = milliseconds;
}

void Database::setEngineError(sqlite3 *handle)
{
    const int code = sqlite3_extended_errcode(handle);
    setError(describeEngineFailure(code, QString::fromUtf8(sqlite3_errmsg(handle))), code);
}

bool Database::isReadOnly() const
{
    if (!db_)
        return false;
    if (sqlite3_db_readonly(db_, "main") == 1)
        return true;
    // A write makes its rollback journal beside the book.
    const QString folder = QFileInfo(path_).absolutePath();
    return ::access(QFile::encodeName(folder).constData(), W_OK) != 0;
}

void Database::close()
{
    if (db_) {
        sqlite3_finalize(markQuery_);
        markQuery_ = nullptr;
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    path_.clear();
    checksWrites_ = false;
    checked_ = false;
    schemaChanged_ = false;
    mark_ = 0;
}

std::optional<Statement> Database::prepareUtf8(const char *sql, int size, const char **tail)
{
    sqlite3_stmt *stmt = nullptr;
    noted_ = {};
    if (sqlite3_prepare_v2(db_, sql, size, &stmt, tail) != SQLITE_OK) {
        setEngineError(db_);
        sqlite3_finalize(stmt);
        return std::nullopt;
    }
    StatementKind kind;
    kind.writes = stmt && !sqlite3_stmt_readonly(stmt) && !noted_.begins && !noted_.pragma && !explains(stmt);
    kind.changesSchema = noted_.changesSchema;
    kind.commits = noted_.commits;
    return Statement(checksWrites_ ? this : nullptr, db_, stmt, kind);
}

Statement Database::prepare(const QString &sql)
{
    if (!db_) {
        setError(QStringLiteral("没有打开的帐本"));
        return {};
    }
    const QByteArray utf8 = sql.toUtf8();
    std::optional<Statement> statement = prepareUtf8(utf8.constData(), int(utf8.size()), nullptr);
    return statement ? std::move(*statement) : Statement();
}

bool Database::exec(const QString &sql, const QVariantList &params)
{
    Statement st = prepare(sql);
    if (!st.isValid())
        return false;
    if (!st.bindAll(params) || !st.run()) {
        setError(st.error(), st.errorCode());
        return false;
    }
    return true;
}

bool Database::execScript(const QString &sql)
{
    if (!db_) {
        setError(QStringLiteral("没有打开的帐本"));
        return false;
    }
    // One statement after another, each run to its end, as the engine's own
    // script runner does, but through the check of the book's writes.
    const QByteArray utf8 = sql.toUtf8();
    const char *next = utf8.constData();
    const char *const end = next + utf8.size();
    while (next < end) {
        const char *tail = nullptr;
        std::optional<Statement> statement = prepareUtf8(next, int(end - next), &tail);
        if (!statement)
            return false;
        while (statement->next()) {
        }
        if (statement->hasError()) {
            setError(statement->error(), statement->errorCode());
            return false;
        }
        if (!tail || tail <= next)
            break;
        next = tail;
    }
    return true;
}

QVariant Database::scalar(const QString &sql, const QVariantList &params, bool *ok)
{
    Statement st = prepare(sql);
    bool good = st.isValid() && st.bindAll(params);
    QVariant result;
    if (good) {
        if (st.next())
            result = st.value(0);
        else if (st.hasError())
            good = false;
    }
    if (!good && st.hasError())
        setError(st.error(), st.errorCode());
    if (ok)
        *ok = good;
    return result;
}

int Database::changes() const
{
    return db_ ? sqlite3_changes(db_) : 0;
}

bool Database::inTransaction() const
{
    return db_ && !sqlite3_get_autocommit(db_);
}

// ---- Transaction ----------------------------------------------------------

Transaction::Transaction(Database &db) : db_(db)
{
    active_ = db_.execScript(QStringLiteral("BEGIN IMMEDIATE"));
    // The lock is held: a book restored since the connection opened it is
    // refused before anything is read for the write.
    if (active_ && db_.checksWrites_ && !db_.markUnchanged())
        rollback();
}

Transaction::~Transaction()
{
    rollback();
}

bool Transaction::commit()
{
    if (!active_)
        return false;
    if (!db_.execScript(QStringLiteral("COMMIT")))
        return false;  // still active: the destructor rolls back
    active_ = false;
    return true;
}

void Transaction::rollback()
{
    if (active_) {
        const QString keep = db_.lastError();
        const int keepCode = db_.lastErrorCode();
        db_.execScript(QStringLiteral("ROLLBACK"));
        db_.setError(keep, keepCode);  // the caller wants the error that caused the rollback
        active_ = false;
    }
}

} // namespace db
