#include "BookFile.h"
#include "BookLock.h"
#include "DamagedStart.h"
#include "Database.h"
#include "EngineFailure.h"
#include "FileReplace.h"
#include "HeldFileVfs.h"
#include "MappedReadVfs.h"

#include <QFile>
#include <QFileInfo>

static void initDbResources()
{
    Q_INIT_RESOURCE(db);
}

namespace db {

namespace {
// The engine writes a staged book with its journal in memory: a journal file
// would lie beside the stage under a name of its own, reached by that name,
// and a stage cut off is thrown away whole anyway.
constexpr char kStagedJournal[] = "PRAGMA journal_mode=MEMORY";

// Puts the new book file staged at target, only while target is free: a name
// taken meanwhile (another computer's new book) is refused with
// nameTakenReason() and its file left as it is. The book gets the mode of a
// new file, closed as closedAs (the book it is a copy of) when given. Empty
// on success, else the reason.
QString publishBook(StagedFile &staged, const QString &target, const QString &closedAs = {})
{
    staged.giveNewFileMode(closedAs);
    if (const QString error = staged.sync(); !error.isEmpty())
        return error;
    if (const QString error = staged.putAtFreeName(target); !error.isEmpty())
        return error;
    // Best effort: the new book is in place, and some network file systems
    // refuse to sync a folder.
    syncFolder(QFileInfo(target).absolutePath());
    return {};
}

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
    StagedFile staged(path);
    if (!staged.error().isEmpty())
        return staged.error();
    {
        Database book;
        if (!book.open(staged.enginePath(), QString::fromLatin1(kBookPassword), true, keepingHeldPaths())
            || !book.execScript(QLatin1String(kStagedJournal)))
            return book.lastError();
        Transaction transaction(book);
        if (!book.execScript(resourceText(QStringLiteral(":/db/schema.sql")))
            || !book.execScript(resourceText(QStringLiteral(":/db/default_rows.sql")))
            || !transaction.commit())
            return book.lastError();
    }
    return publishBook(staged, path);
}

QString accountBookError(Database &book)
{
    Statement found = book.prepare(QStringLiteral("select count(type='table' and name in ('TE1','TA4') or null), "
                                                  "count(type in ('trigger','view') or null) from sqlite_master"));
    if (!found.next())
        return found.hasError() ? found.error() : book.lastError();
    if (found.number(0) != 2)
        return QStringLiteral("文件中没有帐本的数据表（TE1、TA4），不是帐本文件。");
    // A trigger runs inside the program's own writes (and a view's query
    // wherever it is read): the program makes neither, so one found was put
    // there by someone else.
    if (found.number(1) != 0)
        return QStringLiteral("文件中有本程序从不建立的触发器或视图（可能被别的程序改动过），不能作为帐本使用。");
    return {};
}

} // namespace db

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QDir>
#include <cerrno>
#include <cstdio>
#include <future>
#include <optional>
#include <unistd.h>

namespace db {

namespace {
// The last failure of book; kind, when given, receives its kind.
QString lastFailure(const Database &book, Failure *kind)
{
    if (kind)
        *kind = failureOf(book.lastErrorCode(), splitDetails(book.lastError()).details);
    return book.lastError();
}

// A book damaged at its start reads as an empty database (a file too short
// for its first page) or as no book (its first page alone damaged): the
// failure of the book at path told as the damage it is.
QString toldAsDamagedWhereItIs(const QString &path, const QString &error, Failure *kind)
{
    if (!kind || (*kind != Failure::NotABook && *kind != Failure::MissingTables))
        return error;
    if (isTooShortForABook(path) || (*kind == Failure::NotABook && secondPageReadsWithBookKey(path)))
        *kind = Failure::Damaged;
    return error;
}

// The structure check of the open book; kind receives the failure's kind.
QString checkOpened(Database &copy, Failure *kind)
{
    bool ok = false;
    // quick_check reads every page and checks the B-tree structure; unlike
    // integrity_check it does not compare each index with its table (the
    // copy's indexes are the book's own, or rebuilt from the rows by an
    // export), and it costs a seventh as much.
    // Each page is read once: a small page cache spares allocating the
    // connection's large one page by page.
    copy.exec(QStringLiteral("PRAGMA cache_size=2000"));
    const QString integrity = copy.scalar(QStringLiteral("PRAGMA quick_check"), {}, &ok).toString();
    // The check lists every damaged page: detail for the clerk's details section.
    if (ok && integrity != QLatin1String("ok")) {
        if (kind)
            *kind = Failure::Damaged;
        return withDetail(failureReason(Failure::Damaged), integrity);
    }
    if (ok)
        copy.scalar(QStringLiteral("select Versn from theVer"), {}, &ok);
    return ok ? QString() : lastFailure(copy, kind);
}

// The structure check of the book at path, read through the file system
// layer vfs (nullptr: the default one); kind receives the failure's kind.
QString checkBookThrough(const QString &path, const char *vfs, Failure *kind)
{
    Database copy;
    const QString error = copy.openReadOnly(path, vfs) ? checkOpened(copy, kind) : lastFailure(copy, kind);
    return toldAsDamagedWhereItIs(path, error, kind);
}

// A new copy is checked once, read whole: a block of pages per system call
// rather than one call per page, opened through the staging file's handle.
QString checkCopy(const StagedFile &staged)
{
    return checkBookThrough(staged.enginePath(), keepingHeldPaths(blockReadVfs()), nullptr);
}

QString engineError(sqlite3 *handle)
{
    return describeEngineFailure(sqlite3_extended_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle)));
}

bool isBusyError(int code)
{
    return failureOf(code) == Failure::Busy;
}

// The reason a write to the file at path failed, taken from the system's
// error number.
QString writeError(const QString &path)
{
    return describeFileFailure(errno, path);
}

// The book's file as it lies, written to out in pieces of a megabyte, read
// through the connection's own file handle (below the encryption: the bytes
// are the encrypted pages). Another handle of this process on the book file
// would, when closed, drop the locks the connections hold on it.
QString copyFile(sqlite3 *source, QFile &out, const QString &outPath, const CopyProgress &progress)
{
    sqlite3_file *file = nullptr;
    sqlite3_int64 size = 0;
    if (sqlite3_file_control(source, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods || file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return engineError(source);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (sqlite3_int64 done = 0; done < size;) {
        const int length = int(qMin<sqlite3_int64>(piece.size(), size - done));
        const int rc = file->pMethods->xRead(file, piece.data(), length, done);
        if (rc != SQLITE_OK)
            return describeEngineFailure(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        if (out.write(piece.constData(), length) != length)
            return writeError(outPath);
        done += length;
        if (progress)
            progress(done, size);
    }
    if (!out.flush())
        return writeError(outPath);
    return {};
}

// Copies book under a read transaction: its shared lock keeps every writer
// from changing the file until the copy is done (a rollback journal left by a
// writer that was cut off is played back first, as for any read).
QString copyUnderReadLock(Database &book, QFile &out, const QString &outPath, const CopyProgress &progress,
                          bool *busy)
{
    sqlite3 *source = book.handle();
    // A deferred transaction takes its shared lock at the first read, which
    // waits for a writer of another connection like any statement.
    QString error;
    if (sqlite3_exec(source, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        *busy = isBusyError(sqlite3_extended_errcode(source));
        error = engineError(source);
    } else {
        error = copyFile(source, out, outPath, progress);
    }
    sqlite3_exec(source, "ROLLBACK", nullptr, nullptr, nullptr);
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

// Checks the staged copy and puts it into place by publish (a backup's file
// over the earlier one, a new book only at a free name); on any error the
// target is left as it was and the staged file goes with its object. The
// staged file is forced onto the disk while the check runs, since the check
// is work for the processor and the sync for the disk; both are done before
// it is put in place.
QString publishCheckedCopy(StagedFile &staged, const QString &target, const PublishCopy &publish)
{
    // the system's error number of the sync, 0 when done
    std::future<int> synced =
        std::async(std::launch::async, [fd = staged.handle()] { return ::fsync(fd) == 0 ? 0 : errno; });
    QString error = checkCopy(staged);
    const int syncError = synced.get();
    if (syncError != 0 && error.isEmpty())
        error = describeFileFailure(syncError, staged.path());
    if (error.isEmpty())
        error = publish(staged, target);
    return error;
}

// Writes book's rows, compacted, into the empty file at path; empty when
// done, else the reason.
QString exportCompacted(Database &book, const QString &path)
{
    if (!book.exec(QStringLiteral("ATTACH DATABASE ? AS compacted KEY ?"), {path, QString::fromLatin1(kBookPassword)}))
        return book.lastError();
    // Its journal in memory, as for a staged book made new.
    if (!book.execScript(QStringLiteral("PRAGMA compacted.journal_mode=MEMORY"))) {
        const QString error = book.lastError();
        book.execScript(QStringLiteral("DETACH DATABASE compacted"));
        return error;
    }
    bool ok = false;
    book.scalar(QStringLiteral("SELECT sqlcipher_export('compacted')"), {}, &ok);
    const QString error = ok ? QString() : book.lastError();
    book.execScript(QStringLiteral("DETACH DATABASE compacted"));
    return error;
}

} // namespace

QString checkBook(const QString &path, Failure *kind)
{
    return checkBookThrough(path, nullptr, kind);
}

QString openCheckedBook(Database &book, const QString &path, Failure *kind)
{
    if (kind)
        *kind = Failure::Other;
    // The read transaction keeps the file as it was checked until the
    // connection is closed: a writer elsewhere waits meanwhile.
    QString error;
    if (!book.openReadOnly(path, mappedReadVfs())
        || !book.execScript(QStringLiteral("BEGIN; SELECT count(*) FROM sqlite_master")))
        error = lastFailure(book, kind);
    else
        error = checkOpened(book, kind);
    if (!error.isEmpty())
        book.close();
    return toldAsDamagedWhereItIs(path, error, kind);
}

QString copyBook(const QString &source, const QString &target, const CopyProgress &progress, bool *busy,
                 const PublishCopy &publish)
{
    bool locked = false;
    std::optional<StagedFile> staged;
    QString error = folderProblem(target);
    if (error.isEmpty()) {
        Database book;
        if (!book.open(source)) {
            error = book.lastError();
            locked = isBusyError(book.lastErrorCode());
        } else if (error = staged.emplace(target).error(); error.isEmpty()) {
            // Written through the staging file's own handle, never reopened by its name.
            QFile out;
            if (!out.open(staged->handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
                error = writeError(staged->path());
            else
                error = copyUnderReadLock(book, out, staged->path(), progress, &locked);
        }
    }
    if (busy)
        *busy = locked;
    if (!error.isEmpty())
        return error;
    const PublishCopy closedAsSource = [&source](StagedFile &copy, const QString &into) {
        return replaceFile(copy, into, source);
    };
    return publishCheckedCopy(*staged, target, publish ? publish : closedAsSource);
}

QString compactCopy(const QString &source, const QString &target)
{
    std::optional<StagedFile> staged;
    {
        // The staging file is attached by the path of its handle, which the
        // source's connection keeps through its file system layer.
        Database book;
        if (!book.open(source, QString::fromLatin1(kBookPassword), false, keepingHeldPaths()))
            return book.lastError();
        if (const QString error = staged.emplace(target).error(); !error.isEmpty())
            return error;
        if (const QString error = exportCompacted(book, staged->enginePath()); !error.isEmpty())
            return error;
    }
    return publishCheckedCopy(*staged, target, [&source](StagedFile &copy, const QString &into) {
        return publishBook(copy, into, source);
    });
}

} // namespace db
