// Printing a long list: staging its rows in PrTA1, filling and laying out the
// report, and showing the first page of the preview in the print host; beside
// its floor, the bare staging inserts and the read of the staged rows, in one
// transaction through the sqlite3 API. Exporting the filled list to an Excel
// workbook, with the peak memory of the export as a counter; beside its
// floor, the same texts written bare into a workbook by the writer library.
//   print_bench [--rows=N] [Google Benchmark options]
// The list (N goods rows, 100,000 by default) is printed on a new book in a
// temporary folder with the goods list template that lies beside the program.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/BookFile.h"
#include "db/Database.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"
#include "shell/Prnt.h"
#include "platform/report/ReportWorkbook.h"

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <malloc.h>
#include <functional>
#include <vector>

namespace {

QString gBook;
QString gWorkbook;
int gRows = 100000;

const QStringList kColumns = {"F1", "F2", "F3", "F4", "F5", "F6", "F7"};

// The goods list as the goods window stages it: code, name, category, unit,
// model, price, remark.
QVector<QVariantList> goodsRows()
{
    QVector<QVariantList> rows;
    rows.reserve(gRows);
    for (int i = 0; i < gRows; ++i) {
        rows.append({QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')),
                     QStringLiteral("货品名称%1").arg(i), QStringLiteral("类别%1").arg(i % 100),
                     QStringLiteral("个"), QStringLiteral("规格%1").arg(i % 37),
                     QString::number(10 + i % 90) + QStringLiteral(".50"),
                     i % 5 == 0 ? QStringLiteral("备注") : QString()});
    }
    return rows;
}

// The goods list as the goods window prints it.
PrintRequest goodsListRequest()
{
    PrintRequest request;
    request.testedFile = QStringLiteral("prnTa4.rpt");
    request.reportFile = QStringLiteral("PrnTa4.rpt");
    request.stagingTable = QStringLiteral("PrTA1");
    request.stagingColumns = kColumns;
    request.stagingRows = goodsRows();
    request.formulas = {FormulaText(QStringLiteral("Cpt"), QStringLiteral("货品编码资料"))};
    return request;
}

// A figure of this process's memory from /proc/self/status ("VmRSS", "VmHWM"), in MB.
double memoryMegabytes(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Gives the memory freed so far back to the system and sets the process's
// peak memory back to what it then holds, so the peak read after a piece of
// work is that work's own.
void resetPeakMemory()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Runs export on the filled goods list; the peak memory while it ran and what
// it added to the memory held before, as counters.
void measureExport(benchmark::State &state, const std::function<bool(const report::FilledReport &)> &exportList)
{
    Module1 module;
    if (!bench::openForPrinting(state, module, gBook))
        return;
    if (!RunPrintRequest(goodsListRequest()) || !Prnt::loaded()->Cry->filledReport()) {
        state.SkipWithError("the report did not show");
        return;
    }
    const report::FilledReport &filled = *Prnt::loaded()->Cry->filledReport();
    resetPeakMemory();
    const double before = memoryMegabytes("VmRSS");
    for (auto _ : state) {
        if (!exportList(filled)) {
            state.SkipWithError("the workbook was not written");
            break;
        }
    }
    const double peak = memoryMegabytes("VmHWM");
    delete Prnt::loaded();
    Module1::setInstance(nullptr);
    state.counters["rows"] = gRows;
    state.counters["peak_MB"] = peak;
    state.counters["added_MB"] = peak - before;
}

void exportWorkbook(benchmark::State &state)
{
    measureExport(state, [](const report::FilledReport &filled) {
        QString error;
        return report::writeWorkbook(filled, gWorkbook, &error);
    });
}

// The floor: every text of the report's pages written as a string cell, row
// after row, by the writer library in its constant-memory mode, no formats.
void exportBare(benchmark::State &state)
{
    measureExport(state, [](const report::FilledReport &filled) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *book = workbook_new_opt(QFile::encodeName(gWorkbook).constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
        lxw_row_t row = 0;
        for (const report::ReportPage &page : filled.pages) {
            for (const report::ReportLine &line : page.body) {
                for (int c = 0; c < line.cells.size(); ++c)
                    if (!line.cells[c].isEmpty())
                        worksheet_write_string(sheet, row, lxw_col_t(c), line.cells[c].toUtf8().constData(), nullptr);
                ++row;
            }
        }
        return workbook_close(book) == LXW_NO_ERROR;
    });
}

// Stage + fill + lay out + the host shown with its first page drawn.
void printList(benchmark::State &state)
{
    Module1 module;
    if (!bench::openForPrinting(state, module, gBook))
        return;

    const PrintRequest request = goodsListRequest();
    int pages = 0;
    for (auto _ : state) {
        if (!RunPrintRequest(request) || !Prnt::loaded()->Cry->filledReport()) {
            state.SkipWithError("the report did not show");
            break;
        }
        // Draw what the operator sees: the host with the preview's first page.
        Prnt *host = Prnt::loaded();
        QImage shown(host->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&shown);
        host->render(&painter);
        painter.end();
        benchmark::DoNotOptimize(shown.constBits());
        pages = host->Cry->filledReport()->pageCount();
    }
    delete Prnt::loaded();
    Module1::setInstance(nullptr);
    state.counters["rows"] = gRows;
    state.counters["pages"] = pages;
}

// The floor: staging the same rows and reading them back, bare.
void stageBare(benchmark::State &state)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook);
    if (!handle)
        return;
    bench::TextRows rows;
    rows.reserve(gRows);
    for (const QVariantList &row : goodsRows()) {
        std::vector<QByteArray> texts;
        for (const QVariant &v : row)
            texts.push_back(v.toString().toUtf8());
        rows.push_back(std::move(texts));
    }
    bench::bareStaging(state, handle, "PrTA1", rows);
    sqlite3_close(handle);
    state.counters["rows"] = gRows;
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Widgets);
    if (const auto rows = program.take("--rows="))
        gRows = std::atoi(rows->toLocal8Bit().constData());
    if (gRows < 0)
        return bench::fail(QStringLiteral("--rows must be 0 or more"));

    gBook = program.filePath(QStringLiteral("print.vzk"));
    gWorkbook = program.filePath(QStringLiteral("list.xlsx"));
    if (const QString error = db::createBook(gBook); !error.isEmpty())
        return bench::fail(error);
    benchmark::AddCustomContext("rows", std::to_string(gRows));
    benchmark::RegisterBenchmark("BM_ListPrintFirstPage/print_host", printList)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ListPrintFirstPage/bare_staging", stageBare)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ListExportXlsx/export", exportWorkbook)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ListExportXlsx/bare_writer", exportBare)->Unit(benchmark::kMillisecond);
    return program.run();
}
