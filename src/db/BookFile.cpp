#include "BookFile.h"
#include "Database.h"

#include <QFile>
#include <QFileInfo>

static void initDbResources()
{
    Q_INIT_RESOURCE(db);
}

namespace db {

namespace {
QString resourceText(const QString &name)
{
    initDbResources();
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

QString createBook(const QString &path)
{
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    {
        Database book;
        if (!book.open(temporary, QString::fromLatin1(kBookPassword), true))
            return book.lastError();
        Transaction transaction(book);
        if (!book.execScript(resourceText(QStringLiteral(":/db/schema.sql")))
            || !book.execScript(resourceText(QStringLiteral(":/db/default_rows.sql")))
            || !transaction.commit()) {
            const QString error = book.lastError();
            book.close();
            QFile::remove(temporary);
            return error;
        }
    }
    QFile::remove(path);
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        return QStringLiteral("无法写入文件 %1").arg(path);
    }
    return {};
}

} // namespace db

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QDir>
#include <cstdio>

namespace db {

namespace {
QString checkBook(const QString &path)
{
    Database copy;
    if (!copy.open(path))
        return copy.lastError();
    bool ok = false;
    // quick_check reads every page and checks the B-tree structure; unlike
    // integrity_check it does not compare each index with its table (the
    // copy's indexes are the book's own, or rebuilt from the rows by an
    // export), and it costs a seventh as much.
    const QString integrity = copy.scalar(QStringLiteral("PRAGMA quick_check"), {}, &ok).toString();
    if (!ok || integrity != QLatin1String("ok"))
        return ok ? integrity : copy.lastError();
    copy.scalar(QStringLiteral("select Versn from theVer"), {}, &ok);
    return ok ? QString() : copy.lastError();
}
QString engineError(sqlite3 *handle)
{
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

bool isBusyError(const QString &error)
{
    return error == QString::fromUtf8(sqlite3_errstr(SQLITE_BUSY));
}

// Copies the pages of book into a new keyed file at target, a few thousand
// pages per step so that progress can be shown; the read transaction held
// around the steps keeps every step on the same state of the book.
QString copyPages(Database &book, const QString &target, const CopyProgress &progress, bool *busy)
{
    constexpr int kPagesPerStep = 4096;
    sqlite3 *source = book.handle();
    // A deferred transaction takes its shared lock at the first read, which
    // waits for a writer of another connection like any statement.
    if (sqlite3_exec(source, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        *busy = sqlite3_errcode(source) == SQLITE_BUSY;
        const QString error = engineError(source);
        sqlite3_exec(source, "ROLLBACK", nullptr, nullptr, nullptr);
        return error;
    }
    sqlite3 *copy = nullptr;
    QString error;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_key(copy, kBookPassword, int(qstrlen(kBookPassword)));
    // The temporary file is renamed into place only after its check, so it
    // needs no rollback journal of its own.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(copy, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        error = copy ? engineError(copy) : QStringLiteral("out of memory");
    } else if (sqlite3_backup *pages = sqlite3_backup_init(copy, "main", source, "main")) {
        do {
            rc = sqlite3_backup_step(pages, kPagesPerStep);
            if (progress)
                progress(sqlite3_backup_pagecount(pages) - sqlite3_backup_remaining(pages),
                         sqlite3_backup_pagecount(pages));
        } while (rc == SQLITE_OK);
        sqlite3_backup_finish(pages);
        if (rc != SQLITE_DONE) {
            *busy = rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
            error = engineError(copy);
        }
    } else {
        error = engineError(copy);
    }
    sqlite3_close(copy);
    sqlite3_exec(source, "COMMIT", nullptr, nullptr, nullptr);
    return error;
}

// The target folder's problem, if it has one that stops every write there.
QString folderProblem(const QString &target)
{
    const QFileInfo folder(QFileInfo(target).absolutePath());
    if (!folder.isDir())
        return QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isWritable())
        return QStringLiteral("文件夹 %1 不能写入").arg(QDir::toNativeSeparators(folder.filePath()));
    return {};
}

} // namespace

QString copyBook(const QString &source, const QString &target, const CopyProgress &progress, bool *busy)
{
    bool locked = false;
    const QString temporary = target + QStringLiteral(".tmp");
    QString error = folderProblem(target);
    if (error.isEmpty()) {
        QFile::remove(temporary);
        Database book;
        if (!book.open(source)) {
            error = book.lastError();
            locked = isBusyError(error);
        } else {
            error = copyPages(book, temporary, progress, &locked);
        }
    }
    if (error.isEmpty())
        error = checkBook(temporary);
    if (error.isEmpty()
        && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        error = QStringLiteral("无法写入文件 %1").arg(target);
    if (!error.isEmpty())
        QFile::remove(temporary);
    if (busy)
        *busy = locked;
    return error;
}

QString compactCopy(const QString &source, const QString &target)
{
    const QString temporary = target + QStringLiteral(".tmp");
    QFile::remove(temporary);
    QString error;
    {
        Database book;
        if (!book.open(source))
            return book.lastError();
        if (!book.exec(QStringLiteral("ATTACH DATABASE ? AS compacted KEY ?"),
                       {temporary, QString::fromLatin1(kBookPassword)})) {
            error = book.lastError();
        } else {
            bool ok = false;
            book.scalar(QStringLiteral("SELECT sqlcipher_export('compacted')"), {}, &ok);
            if (!ok)
                error = book.lastError();
            book.execScript(QStringLiteral("DETACH DATABASE compacted"));
        }
    }
    if (error.isEmpty())
        error = checkBook(temporary);
    if (error.isEmpty()
        && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        error = QStringLiteral("无法写入文件 %1").arg(target);
    if (!error.isEmpty())
        QFile::remove(temporary);
    return error;
}

} // namespace db
