#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"

#include "db/BookFile.h"
#include "db/Database.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "shell/Query.h"

#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QTableView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace bench {

namespace {

std::unique_ptr<QCoreApplication> makeApp(int &argc, char **argv, App app)
{
    if (app == App::Core)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace

// The application takes its own options out of argv first.
Program::Program(int &argc, char **argv, App app)
    : m_app(makeApp(argc, argv, app)),
      m_args(argv, argv + argc)
{
}

Program::~Program() = default;

std::optional<QString> Program::take(const char *prefix)
{
    const size_t length = std::strlen(prefix);
    std::optional<QString> value;
    for (auto it = m_args.begin() + (m_args.empty() ? 0 : 1); it != m_args.end();) {
        if (std::strncmp(*it, prefix, length) == 0) {
            value = QString::fromLocal8Bit(*it + length);
            it = m_args.erase(it);
        } else {
            ++it;
        }
    }
    return value;
}

QString Program::filePath(const QString &name) const
{
    return m_folder.filePath(name);
}

QString Program::book(BookUse use, const QString &fileName, const BigBookSize &size)
{
    const QString given = take("--book=").value_or(QString());
    if (!given.isEmpty() && use == BookUse::InPlace) {
        benchmark::AddCustomContext("book", given.toStdString());
        return given;
    }
    if (!m_folder.isValid()) {
        fail(QStringLiteral("no temporary folder"));
        return {};
    }
    const QString path = m_folder.filePath(fileName);
    if (!given.isEmpty()) {
        if (!QFile::copy(given, path)) {
            fail(QStringLiteral("cannot copy ") + given);
            return {};
        }
    } else {
        QElapsedTimer timer;
        timer.start();
        if (const QString error = makeBigBook(path, size); !error.isEmpty()) {
            fail(error);
            return {};
        }
        std::fprintf(stderr, "%s: no --book given; built %d goods and %d notes per kind in %.1f s\n",
                     qPrintable(QCoreApplication::applicationName()), size.goods, size.docsPerKind,
                     timer.elapsed() / 1000.0);
    }
    benchmark::AddCustomContext("book", (given.isEmpty() ? path : given).toStdString());
    return path;
}

int Program::run()
{
    int count = int(m_args.size());
    m_args.push_back(nullptr);
    benchmark::Initialize(&count, m_args.data());
    if (benchmark::ReportUnrecognizedArguments(count, m_args.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    return 1;
}

bool openOrSkip(benchmark::State &state, db::Database &book, const QString &path)
{
    if (book.open(path))
        return true;
    state.SkipWithError(qPrintable(book.lastError()));
    return false;
}

bool openForPrinting(benchmark::State &state, Module1 &module, const QString &path)
{
    if (!openOrSkip(state, module.gDb, path))
        return false;
    module.gAppPath = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/");
    module.gProgramPath = module.gAppPath;
    module.gBookFile = path;
    Module1::setInstance(&module);
    return true;
}

void searchAtOnce(ScriptedDialogRunner &dialogs)
{
    dialogs.handle(QStringLiteral("Query"), [](QDialog &d) {
        static_cast<Query &>(d).finishQuery();
        return int(QDialog::Accepted);
    });
}

sqlite3 *keyedConnection(benchmark::State &state, const QString &path, bool readSchema)
{
    sqlite3 *handle = nullptr;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_key(handle, db::kBookPassword, int(std::strlen(db::kBookPassword)));
    if (rc == SQLITE_OK && readSchema)
        rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    // The page cache the program's connection keeps, so a floor reads the
    // pages as often as the program does.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return nullptr;
    }
    return handle;
}

sqlite3_stmt *prepareOrSkip(benchmark::State &state, sqlite3 *handle, const QByteArray &sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK)
        return stmt;
    state.SkipWithError(sqlite3_errmsg(handle));
    return nullptr;
}

void bareListQuery(benchmark::State &state, const QString &path, const std::vector<QByteArray> &statements,
                   const frames::ListColumns &columns, ListEnd end)
{
    sqlite3 *handle = keyedConnection(state, path);
    if (!handle)
        return;
    int rows = 0;
    for (auto _ : state) {
        for (const QByteArray &sql : statements) {
            sqlite3_stmt *stmt = prepareOrSkip(state, handle, sql);
            if (!stmt)
                break;
            const bool shown = end == ListEnd::Shown && &sql == &statements.back();
            rows = shown ? showTextRows(stmt, int(columns.size())) : readListRows(stmt, columns);
            sqlite3_finalize(stmt);
        }
    }
    sqlite3_close(handle);
    state.counters["rows"] = rows;
}

int readTextRows(sqlite3_stmt *stmt, int columns)
{
    int rows = 0;
    size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
            bytes += size_t(sqlite3_column_bytes(stmt, c));
        }
        ++rows;
    }
    benchmark::DoNotOptimize(bytes);
    return rows;
}

namespace {

// Room for any figure's text the floors write (a fixed-point text is
// written only below 1E+40).
constexpr int kFigureRoom = 64;

// A figure as lists show it: whole numbers below 1E+15 as their integer
// digits, others to 15 significant digits without trailing zeros (printf's
// "%.15G"), never "-0"; a non-finite value as 0.
char *writePlainFigure(char *out, double value)
{
    if (value == 0.0 || !std::isfinite(value)) {
        *out = '0';
        return out + 1;
    }
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return std::to_chars(out, out + kFigureRoom, static_cast<long long>(value)).ptr;
    char *end = std::to_chars(out, out + kFigureRoom, value, std::chars_format::general, 15).ptr;
    std::replace(out, end, 'e', 'E');
    return end;
}

// A figure of magnitude below 1E+40 to decimals places, rounded half away
// from zero on its 15 significant digits (the decimal it stands for: 2.675
// gives 2.68), never "-0.00".
char *writeFixed(char *out, double value, int decimals)
{
    // "-d.dddddddddddddde-dd": the 15 digits and the power of ten of the first.
    char text[32];
    const char *textEnd = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 14).ptr;
    const bool negative = text[0] == '-';
    const char *mantissa = text + (negative ? 1 : 0);
    char digits[15];
    digits[0] = mantissa[0];
    std::copy(mantissa + 2, mantissa + 16, digits + 1);
    int exponent = 0;
    std::from_chars(mantissa + (mantissa[17] == '+' ? 18 : 17), textEnd, exponent);
    // The digits of the figure in units of its last decimal place, with room
    // ahead for a carry and the zeros before a point.
    char units[96];
    char *first = units + 32;
    const int keep = exponent + 1 + decimals;
    int length = 0;
    if (keep <= 0) {
        first[length++] = keep == 0 && digits[0] >= '5' ? '1' : '0';
    } else if (keep >= 15) {
        length = int(std::copy(digits, digits + 15, first) - first);
        for (; length < keep; ++length)
            first[length] = '0';
    } else {
        length = int(std::copy(digits, digits + keep, first) - first);
        if (digits[keep] >= '5') {
            int i = length - 1;
            for (; i >= 0 && first[i] == '9'; --i)
                first[i] = '0';
            if (i >= 0) {
                ++first[i];
            } else {
                *--first = '1';
                ++length;
            }
        }
    }
    char *end = out;
    if (negative && std::any_of(first, first + length, [](char c) { return c != '0'; }))
        *end++ = '-';
    for (; length <= decimals; ++length)
        *--first = '0';
    end = std::copy(first, first + length - decimals, end);
    if (decimals > 0) {
        *end++ = '.';
        end = std::copy(first + length - decimals, first + length, end);
    }
    return end;
}

// A quantity: its plain text, or three decimals where that has an exponent
// or more than five decimals.
char *writeQuantity(char *out, double value)
{
    char *end = writePlainFigure(out, value);
    const char *point = std::find(out, end, '.');
    if ((std::find(out, end, 'E') == end && end - point <= 6) || !(std::fabs(value) < 1e40))
        return end;
    return writeFixed(out, value, 3);
}

// Money: rounded to decimals places as writeFixed rounds it, shown without
// trailing zeros; 1E+15 and up in its plain text.
char *writeMoney(char *out, double value, int decimals)
{
    if (!(std::fabs(value) < 1e15))
        return writePlainFigure(out, value);
    char *end = writeFixed(out, value, decimals);
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
    }
    return end;
}

} // namespace

int readListRows(sqlite3_stmt *stmt, const frames::ListColumns &columns, int moneyDecimals)
{
    using frames::CellKind;
    int rows = 0;
    size_t bytes = 0;
    char figure[kFigureRoom];
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < int(columns.size()); ++c) {
            const CellKind kind = columns[c].kind;
            if (kind == CellKind::Text) {
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                bytes += size_t(sqlite3_column_bytes(stmt, c));
                continue;
            }
            sqlite3_value *cell = sqlite3_column_value(stmt, c);
            if (kind != CellKind::Money && sqlite3_value_type(cell) == SQLITE_NULL)
                continue;
            const double value = sqlite3_value_double(cell);
            const char *end = kind == CellKind::Money      ? writeMoney(figure, value, moneyDecimals)
                              : kind == CellKind::Quantity ? writeQuantity(figure, value)
                                                           : writePlainFigure(figure, value);
            benchmark::DoNotOptimize(figure);
            bytes += size_t(end - figure);
        }
        ++rows;
    }
    benchmark::DoNotOptimize(bytes);
    return rows;
}

namespace {

// The rows of a statement as UTF-8 texts, each row in one string with its
// cells' ends beside it, shown as they are.
class BareRowsModel : public QAbstractTableModel {
public:
    BareRowsModel(sqlite3_stmt *stmt, int columns) : columns_(columns)
    {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QByteArray row;
            for (int c = 0; c < columns; ++c) {
                row.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                           sqlite3_column_bytes(stmt, c));
                ends_.push_back(int(row.size()));
            }
            rows_.push_back(std::move(row));
        }
    }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : columns_; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        const size_t first = size_t(index.row()) * size_t(columns_);
        const int start = index.column() == 0 ? 0 : ends_[first + size_t(index.column()) - 1];
        const int end = ends_[first + size_t(index.column())];
        return QString::fromUtf8(rows_[size_t(index.row())].constData() + start, end - start);
    }

private:
    int columns_;
    std::vector<QByteArray> rows_;
    std::vector<int> ends_;
};

} // namespace

void showAndPaint(QWidget &widget)
{
    widget.resize(1024, 700);
    widget.show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(widget.grab());
}

int showTextRows(sqlite3_stmt *stmt, int columns)
{
    BareRowsModel model(stmt, columns);
    QTableView view;
    view.setModel(&model);
    showAndPaint(view);
    return model.rowCount();
}

void bareStaging(benchmark::State &state, sqlite3 *handle, const QByteArray &table, const TextRows &rows)
{
    const int columns = rows.empty() ? 1 : int(rows.front().size());
    QByteArray names, marks;
    for (int c = 1; c <= columns; ++c) {
        names += (c > 1 ? ",F" : "F") + QByteArray::number(c);
        marks += c > 1 ? ",?" : "?";
    }
    const QByteArray insertSql = "insert into " + table + " (" + names + ") values (" + marks + ")";
    const QByteArray readSql = "select " + names + " from " + table + " order by " + table + ".rowid";
    const QByteArray emptySql = "delete from " + table;
    for (auto _ : state) {
        sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_exec(handle, emptySql.constData(), nullptr, nullptr, nullptr);
        sqlite3_stmt *insert = prepareOrSkip(state, handle, insertSql);
        if (!insert)
            break;
        for (const auto &row : rows) {
            for (int c = 0; c < columns; ++c)
                sqlite3_bind_text(insert, c + 1, row[c].constData(), int(row[c].size()), SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                state.SkipWithError(sqlite3_errmsg(handle));
                break;
            }
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        if (sqlite3_stmt *read = prepareOrSkip(state, handle, readSql)) {
            readTextRows(read, columns);
            sqlite3_finalize(read);
        }
        sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
    }
}

} // namespace bench
