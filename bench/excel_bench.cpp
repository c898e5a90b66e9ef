// Reading a worksheet of a generated Excel 97-2003 workbook into the import
// window's table, with the peak memory of the process while each benchmark
// runs, beside its floor: the workbook stream read from the compound file
// alone. A second workbook holds
// two cells at the far corners of its sheet and a DIMENSIONS record of the
// whole sheet, a third one cell in the last column of each of its N rows:
// their tables stay as small as their cells. A fourth holds in column A of
// its N rows one shared text of 32,767 characters, kept once. The sparse and
// the shared-text sheets are also read into the import window's grid
// (import_window).
//   excel_bench [--rows=N] [Google Benchmark options]
// The workbook (N goods rows of twelve columns, 65,000 by default) is written
// in a temporary folder.
#include "BenchSupport.h"
#include "support/BiffWriter.h"
#include "admin/ExcelSheet.h"
#include "admin/SheetGrid.h"
#include "admin/WorkbookFile.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <sys/resource.h>

#include <cstdlib>

namespace {

int gRows = 65000;
QString gGoodsBook;
QString gCornersBook;
QString gSparseBook;
QString gSharedBook;
const QString kSheet = QStringLiteral("货品");

// The peak of the resident memory since the last resetPeak(), in megabytes:
// Linux's high-water mark, which a write of "5" to clear_refs starts afresh,
// so that each benchmark shows its own peak and not an earlier one's.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// A header row and gRows goods rows: code, name, category and unit as shared
// strings, model and remark as labels, cost as NUMBER, sale price, quantity,
// lowest and highest stock as MULRK, a date as NUMBER with a date format.
QByteArray goodsWorkbook()
{
    QStringList strings{QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("类别"), QStringLiteral("单位")};
    for (int i = 0; i < gRows; ++i)
        strings << QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')) << QStringLiteral("货品名称%1").arg(i);
    strings << QStringLiteral("五金") << QStringLiteral("个");
    const quint32 category = quint32(strings.size() - 2);
    biffwrite::Workbook book;
    book.sharedStrings(strings).dateFormat(164, QStringLiteral("yyyy-mm-dd"));
    const quint16 dateXf = quint16(book.xfCount() - 1);
    book.sheet(kSheet).dimensions(quint32(gRows + 1), 12);
    for (int c = 0; c < 4; ++c)
        book.labelSst(0, c, quint32(c));
    for (int i = 0; i < gRows; ++i) {
        const int row = i + 1;
        book.labelSst(row, 0, quint32(4 + 2 * i))
            .labelSst(row, 1, quint32(5 + 2 * i))
            .labelSst(row, 2, category)
            .labelSst(row, 3, category + 1)
            .label(row, 4, QStringLiteral("M%1").arg(i % 37))
            .label(row, 5, i % 5 == 0 ? QStringLiteral("备注") : QString())
            .number(row, 6, 10.5 + i % 90)
            .mulRk(row, 7, {biffwrite::rkInteger(12 + i % 90), biffwrite::rkInteger(i % 500), biffwrite::rkInteger(5),
                            biffwrite::rkInteger(900)})
            .number(row, 11, 46000 + i % 365, dateXf);
    }
    return book.stream();
}

QByteArray cornersWorkbook()
{
    return biffwrite::Workbook()
        .sheet(kSheet)
        .dimensions(65536, 256)
        .label(0, 0, QStringLiteral("编码"))
        .number(65535, 255, 1)
        .stream();
}

// Reads the sheet at path into table as the import does; false (the
// benchmark told why) when it cannot.
bool readTable(benchmark::State &state, const QString &path, admin::ExcelTable &table)
{
    QString error;
    if (admin::readExcelSheet(path, kSheet, table, error))
        return true;
    state.SkipWithError(qPrintable(error));
    return false;
}

void readSheet(benchmark::State &state, const QString &path)
{
    int records = 0;
    resetPeak();
    for (auto _ : state) {
        admin::ExcelTable table;
        if (!readTable(state, path, table))
            break;
        records = int(table.records.size());
    }
    state.counters["records"] = records;
    state.counters["peak_MB"] = peakMegabytes();
}

// Read into the import window's grid as the window does, one spare column more.
void readIntoGrid(benchmark::State &state, const QString &path)
{
    int rows = 0;
    resetPeak();
    for (auto _ : state) {
        admin::ExcelTable table;
        if (!readTable(state, path, table))
            break;
        admin::SheetGrid grid;
        grid.setRecords(std::move(table.records), int(table.fieldNames.size()) + 1);
        rows = grid.rows() - 1;
    }
    state.counters["records"] = rows;
    state.counters["peak_MB"] = peakMegabytes();
}

void readStream(benchmark::State &state, const QString &path)
{
    resetPeak();
    for (auto _ : state) {
        QByteArray stream;
        if (admin::readWorkbookStream(path, stream) != admin::WorkbookFile::Opened) {
            state.SkipWithError("the workbook stream is not read");
            break;
        }
        benchmark::DoNotOptimize(stream.constData());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Core);
    if (const auto rows = program.take("--rows="))
        gRows = std::atoi(rows->toLocal8Bit().constData());
    if (gRows < 1 || gRows > 65535)
        return bench::fail(QStringLiteral("--rows must be 1 to 65535"));
    gGoodsBook = program.filePath(QStringLiteral("goods.xls"));
    gCornersBook = program.filePath(QStringLiteral("corners.xls"));
    gSparseBook = program.filePath(QStringLiteral("sparse.xls"));
    gSharedBook = program.filePath(QStringLiteral("shared.xls"));
    if (!biffwrite::writeCompoundFile(gCornersBook, cornersWorkbook())
        || !biffwrite::writeCompoundFile(gSparseBook, biffwrite::lastColumnWorkbook(kSheet, gRows))
        || !biffwrite::writeCompoundFile(gSharedBook,
                                         biffwrite::sharedTextWorkbook(kSheet, gRows, QString(32767, QLatin1Char('x'))))
        || !biffwrite::writeCompoundFile(gGoodsBook, goodsWorkbook()))
        return bench::fail(QStringLiteral("cannot write the workbooks"));
    benchmark::AddCustomContext("rows", std::to_string(gRows));
    resetPeak();
    benchmark::AddCustomContext("peak_MB_before", std::to_string(peakMegabytes()));
    benchmark::RegisterBenchmark("BM_ExcelSheetCorners/read_sheet", readSheet, gCornersBook)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ExcelSheetSparse/read_sheet", readSheet, gSparseBook)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ExcelSheetSparse/import_window", readIntoGrid, gSparseBook)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ExcelSheetShared/read_sheet", readSheet, gSharedBook)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ExcelSheetShared/import_window", readIntoGrid, gSharedBook)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ExcelSheet/read_sheet", readSheet, gGoodsBook)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ExcelSheet/bare_stream", readStream, gGoodsBook)->Unit(benchmark::kMillisecond);
    return program.run();
}
