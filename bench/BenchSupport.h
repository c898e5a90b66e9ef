#pragma once

// What every benchmark program shares: its command line and temporary folder,
// the book it runs on, the bare sqlite3 connection its floors use, and the run.

#include "BigBook.h"
#include "frames/ListColumns.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class Module1;
class ScriptedDialogRunner;
class QCoreApplication;
class QWidget;
namespace benchmark {
class State;
}
namespace db {
class Database;
}

namespace bench {

// What the benchmarks do with a given book.
enum class BookUse {
    InPlace,  // read it where it lies
    Copy,     // write to a copy of it in the temporary folder
};

// The application object a benchmark program needs.
enum class App {
    Core,     // no windows
    Widgets,  // windows, on the offscreen platform unless QT_QPA_PLATFORM says otherwise
};

// A benchmark program: its application object; its own options are taken from
// the command line, the rest goes to Google Benchmark; books it builds or
// copies lie in a temporary folder that lives as long as it does.
class Program {
public:
    Program(int &argc, char **argv, App app);
    ~Program();

    // The value of "<prefix>value" (e.g. "--rows="), the last one given, with
    // every such argument taken out of the command line; none when absent.
    std::optional<QString> take(const char *prefix);

    // A path in the temporary folder.
    QString filePath(const QString &name) const;

    // The book the benchmarks run on, from --book=<path>: that book (in place or
    // copied into the temporary folder as fileName), or without --book a book of
    // size generated there. Names the given or generated book in the context
    // "book". Prints the fault and returns an empty text when there is no book.
    QString book(BookUse use, const QString &fileName, const BigBookSize &size);

    // Runs the benchmarks the rest of the command line selects; the exit code.
    int run();

private:
    std::unique_ptr<QCoreApplication> m_app;
    std::vector<char *> m_args;
    QTemporaryDir m_folder;
};

// Prints "<program>: message" on the error output; returns the exit code 1.
int fail(const QString &message);

// Opens path in book; false, with the benchmark skipped on the error, when it does not.
bool openOrSkip(benchmark::State &state, db::Database &book, const QString &path);

// Opens path in module, made the running one with its runtime files beside the
// program, ready to print; false, skipped on the error, when the book does not open.
bool openForPrinting(benchmark::State &state, Module1 &module, const QString &path);

// The query dialog, whenever a window opens it, searches at once with the
// conditions it holds (none, as first shown) while dialogs lives.
void searchAtOnce(ScriptedDialogRunner &dialogs);

// A keyed connection of our own, as any program on the sqlite3 API would open it,
// with the program's page cache; with readSchema the key is proved by reading
// the schema. Null, with the
// benchmark skipped on the error, when it does not open.
sqlite3 *keyedConnection(benchmark::State &state, const QString &path, bool readSchema = false);

// The statement sql prepared on handle; null, with the benchmark skipped on the
// error, when it does not prepare.
sqlite3_stmt *prepareOrSkip(benchmark::State &state, sqlite3 *handle, const QByteArray &sql);

// What becomes of the rows of a floor's last list statement.
enum class ListEnd {
    Read,   // every row's texts read (readTextRows)
    Shown,  // kept and shown in a painted table (showTextRows)
};

// The floor of a window's list of columns: the bare statements run in turn on
// a keyed connection to path (a window that fills its grid again runs each
// fill's statement), every row read as readListRows reads it, the last
// statement's rows as end says (shown: every column's text as the engine makes
// it); the rows of the last in the counter "rows".
void bareListQuery(benchmark::State &state, const QString &path, const std::vector<QByteArray> &statements,
                   const frames::ListColumns &columns, ListEnd end = ListEnd::Read);

// Steps stmt, which selects selectList(columns), through all its rows as the
// window fills its grid: each text column's text read, each figure read as a
// number and its text written as the window shows it, by the standard
// library's to_chars (money rounded to moneyDecimals places); the number of rows.
int readListRows(sqlite3_stmt *stmt, const frames::ListColumns &columns, int moneyDecimals = 2);

// Steps stmt through all its rows reading the texts of the first columns, as a
// grid is filled; the number of rows.
int readTextRows(sqlite3_stmt *stmt, int columns);

// Shows widget at the size the window benchmarks use and paints it whole,
// as a window opened on the screen is painted.
void showAndPaint(QWidget &widget);

// The floor of a shown list: stmt's rows (the texts of the first columns, each
// row kept in one string) in a bare table model, shown in a QTableView by
// showAndPaint; the number of rows.
int showTextRows(sqlite3_stmt *stmt, int columns);

// Rows of texts, as a floor binds them.
using TextRows = std::vector<std::vector<QByteArray>>;

// The floor of a list print on handle: in one transaction, the staging table
// emptied, one bound insert of each row's texts into its columns F1.., and the
// staged rows read back in their order, as the report reads them.
void bareStaging(benchmark::State &state, sqlite3 *handle, const QByteArray &table, const TextRows &rows);

} // namespace bench
