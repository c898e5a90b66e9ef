// Benchmarks on an account book, each beside its floor: the same work done
// bare through the sqlite3 API on the same book. The book is only read: the
// restore writes it into a copy of itself.
//   book_bench --book=<path> [Google Benchmark options]
// Without --book a book of 20,000 goods is built in a temporary folder.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "admin/BookBackup.h"
#include "db/BookFile.h"
#include "db/Database.h"
#include "db/MappedReadVfs.h"
#include "shell/Module1.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char *const kLookupSql = "select F2 from TA4 where F1=?";

QString gBook;
QString gRestored;               // a copy of the book that the restore overwrites
std::vector<QString> gCodes;     // goods codes in random order

std::vector<QByteArray> utf8(const std::vector<QString> &texts)
{
    std::vector<QByteArray> result;
    for (const QString &text : texts)
        result.push_back(text.toUtf8());
    return result;
}

// ---- opening a book: the key derivation dominates ----

void openModule(benchmark::State &state)
{
    for (auto _ : state) {
        db::Database book;
        if (!book.open(gBook)) {
            state.SkipWithError(qPrintable(book.lastError()));
            break;
        }
    }
}

void openBare(benchmark::State &state, int)
{
    for (auto _ : state) {
        sqlite3 *handle = bench::keyedConnection(state, gBook, true);
        if (!handle)
            break;
        sqlite3_close(handle);
    }
}

// ---- one goods name by code ----

void lookupModule(benchmark::State &state)
{
    Module1 module;
    if (!bench::openOrSkip(state, module.gDb, gBook))
        return;
    const QString sql = QString::fromLatin1(kLookupSql);
    size_t i = 0;
    for (auto _ : state) {
        const QString name = module.GetSingleValue(sql, {gCodes[i++ % gCodes.size()]});
        if (name.isEmpty() || name == Module1::NoFound) {
            state.SkipWithError("goods not found");
            break;
        }
        benchmark::DoNotOptimize(name.constData());
    }
}

void lookupBare(benchmark::State &state, bool prepareOnce)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook, true);
    if (!handle)
        return;
    const std::vector<QByteArray> codes = utf8(gCodes);
    sqlite3_stmt *kept = nullptr;
    if (prepareOnce)
        sqlite3_prepare_v2(handle, kLookupSql, -1, &kept, nullptr);
    size_t i = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = kept;
        if (!prepareOnce)
            sqlite3_prepare_v2(handle, kLookupSql, -1, &stmt, nullptr);
        const QByteArray &code = codes[i++ % codes.size()];
        sqlite3_bind_text(stmt, 1, code.constData(), int(code.size()), SQLITE_STATIC);
        if (sqlite3_step(stmt) != SQLITE_ROW) {
            state.SkipWithError("goods not found");
            break;
        }
        benchmark::DoNotOptimize(sqlite3_column_text(stmt, 0));
        if (prepareOnce)
            sqlite3_reset(stmt);
        else
            sqlite3_finalize(stmt);
    }
    sqlite3_finalize(kept);
    sqlite3_close(handle);
}

// Goods codes in a fixed random order.
QString loadSamples()
{
    db::Database book;
    if (!book.open(gBook))
        return book.lastError();
    db::Statement st = book.prepare(QStringLiteral("select F1 from TA4 where F1 is not null and F1<>''"));
    while (st.next())
        gCodes.push_back(st.text(0));
    if (gCodes.empty())
        return QStringLiteral("the book holds no goods");
    std::shuffle(gCodes.begin(), gCodes.end(), std::mt19937(7));
    if (gCodes.size() > 4096)
        gCodes.resize(4096);
    return {};
}

// ---- the next stock-in number, in the month of the book's newest note ----

const char *const kLastNumberSql = "select F1 from TB1 where F1 like ? order by F1 desc limit 1";

// The month (as a date in it) of the newest stock-in number, e.g. RK2512... gives 2025-12-1.
QDate newestNumberMonth(db::Database &book)
{
    const QString last = book.scalar(QStringLiteral("select max(F1) from TB1")).toString();
    return last.size() >= 6 ? QDate(2000 + last.mid(2, 2).toInt(), last.mid(4, 2).toInt(), 28) : QDate();
}

void nextDocNoModule(benchmark::State &state)
{
    Module1 module;
    if (!bench::openOrSkip(state, module.gDb, gBook))
        return;
    const QDate month = newestNumberMonth(module.gDb);
    if (!month.isValid()) {
        state.SkipWithError("the book holds no stock-in notes");
        return;
    }
    module.setClock([month] { return QDateTime(month, QTime(12, 0)); });
    for (auto _ : state) {
        const QString number = module.NextDocNo(QStringLiteral("RK"), QStringLiteral("TB1"));
        benchmark::DoNotOptimize(number.constData());
    }
}

// The floor: the same three statements, each prepared as the module does: the
// month's newest number, the check that its next serial is unused in the
// month, and the check that no other computer holds the new number.
void nextDocNoBare(benchmark::State &state, int)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook, true);
    if (!handle)
        return;
    db::Database book;
    book.open(gBook);
    const QDate month = newestNumberMonth(book);
    const QByteArray base = (QStringLiteral("RK") + month.toString(QStringLiteral("yyMM"))).toUtf8();
    const QByteArray pattern = base + "______";
    const QByteArray day = month.toString(QStringLiteral("dd")).toUtf8();
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(handle, kLastNumberSql, -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, pattern.constData(), int(pattern.size()), SQLITE_STATIC);
        int serial = 1;
        if (sqlite3_step(stmt) == SQLITE_ROW)
            serial = std::atoi(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)) + 8) + 1;
        sqlite3_finalize(stmt);
        const QByteArray digits = QByteArray::number(serial).rightJustified(4, '0');
        const QByteArray used = base + "__" + digits;
        sqlite3_prepare_v2(handle, "select F1 from TB1 where F1 like ? limit 1", -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, used.constData(), int(used.size()), SQLITE_STATIC);
        benchmark::DoNotOptimize(sqlite3_step(stmt));
        sqlite3_finalize(stmt);
        const QByteArray candidate = base + day + digits;
        sqlite3_prepare_v2(handle, "select DanF1 from DanNo where DanF1=?", -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, candidate.constData(), int(candidate.size()), SQLITE_STATIC);
        benchmark::DoNotOptimize(sqlite3_step(stmt));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(handle);
}

// ---- the backup's checked page copy beside a plain file copy ----

void backupModule(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("backup.vzk"));
    for (auto _ : state) {
        if (const QString error = db::copyBook(gBook, target); !error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        QFile::remove(target);
    }
}

void backupFileCopy(benchmark::State &state, int)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("copy.vzk"));
    for (auto _ : state) {
        if (!QFile::copy(gBook, target)) {
            state.SkipWithError("file copy failed");
            break;
        }
        QFile::remove(target);
    }
}

// ---- the restore: the book written as a backup into a copy of itself ----

// The copy of the book that a restore overwrites, made afresh; false, with
// the benchmark skipped, when it cannot be made.
bool freshCopyToRestore(benchmark::State &state)
{
    QFile::remove(gRestored);
    if (QFile::copy(gBook, gRestored))
        return true;
    state.SkipWithError("the copy of the book to restore into cannot be made");
    return false;
}

void restoreModule(benchmark::State &state)
{
    db::Database open;
    if (!freshCopyToRestore(state) || !bench::openOrSkip(state, open, gRestored))
        return;
    for (auto _ : state) {
        if (const QString error = backup::restoreBook(open, gRestored, gBook); !error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}

// The backup opened as the restore reads it: read-only and keyed, through
// the program's own file layer, which reads it from a memory mapping. Null,
// with the benchmark skipped on the error, when it does not open.
sqlite3 *openBackupMapped(benchmark::State &state)
{
    sqlite3 *handle = nullptr;
    int rc = sqlite3_open_v2(gBook.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, db::mappedReadVfs());
    if (rc == SQLITE_OK)
        rc = sqlite3_key(handle, db::kBookPassword, int(std::strlen(db::kBookPassword)));
    if (rc != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return nullptr;
    }
    return handle;
}

// The floor: the backup's check (every page read by the structure check, its
// version row read) on a connection of its own that reads the file as the
// restore does, then the engine's online copy of it in one step into the
// open copy of the book.
void restoreBare(benchmark::State &state, int)
{
    if (!freshCopyToRestore(state))
        return;
    sqlite3 *into = bench::keyedConnection(state, gRestored, true);
    if (!into)
        return;
    for (auto _ : state) {
        sqlite3 *backup = openBackupMapped(state);
        if (!backup)
            break;
        const int checked =
            sqlite3_exec(backup, "PRAGMA cache_size=2000; PRAGMA quick_check; SELECT Versn FROM theVer", nullptr,
                         nullptr, nullptr);
        sqlite3_backup *copy = sqlite3_backup_init(into, "main", backup, "main");
        const int copied = copy ? sqlite3_backup_step(copy, -1) : SQLITE_ERROR;
        sqlite3_backup_finish(copy);
        sqlite3_close(backup);
        if (checked != SQLITE_OK || copied != SQLITE_DONE) {
            state.SkipWithError(sqlite3_errmsg(into));
            break;
        }
    }
    sqlite3_close(into);
}

void registerBenchmarks()
{
    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("BM_OpenBook/module", openModule)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("BM_OpenBook/bare_sqlite", openBare, 0)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("BM_LookupByCode/module", lookupModule)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_LookupByCode/bare_sqlite", lookupBare, false)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_LookupByCode/bare_sqlite_prepared_once", lookupBare, true)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_NextDocNo/module", nextDocNoModule)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_NextDocNo/bare_sqlite", nextDocNoBare, 0)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_Backup/module", backupModule)->Unit(kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("BM_Backup/file_copy", backupFileCopy, 0)->Unit(kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("BM_Restore/module", restoreModule)->Unit(kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("BM_Restore/bare_sqlite", restoreBare, 0)->Unit(kMillisecond)->Iterations(1);
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Core);
    gBook = program.book(bench::BookUse::InPlace, QStringLiteral("bench.vzk"), {.goods = 20000, .docsPerKind = 2500});
    if (gBook.isEmpty())
        return 1;
    gRestored = program.filePath(QStringLiteral("restored.vzk"));
    if (const QString error = loadSamples(); !error.isEmpty())
        return bench::fail(gBook + QStringLiteral(": ") + error);

    registerBenchmarks();
    return program.run();
}
