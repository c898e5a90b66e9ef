// Benchmarks of the document subsystem on a large book, each beside its floor:
// the same statements run bare through the data layer.
//   documents_bench --book=<path> [Google Benchmark options]
// The book is copied to a temporary folder first (saves and audits write to it).
// Without --book a book of 20,000 goods is built there.
#include "BenchSupport.h"
#include "db/Database.h"
#include "db/DateText.h"
#include "documents/DocumentKind.h"
#include "documents/DocumentService.h"
#include "documents/GoodsSearch.h"
#include "shell/Module1.h"

#include <benchmark/benchmark.h>


#include <vector>

namespace {

constexpr int kLines = 200;
const QString kNote = QStringLiteral("BENCH-0001");

Module1 *gModule = nullptr;
std::vector<QString> gCodes;     // kLines goods codes
std::vector<QString> gPrefixes;  // code prefixes that select at least 500 goods
QString gParty;

QString loadSamples(db::Database &book)
{
    db::Statement st = book.prepare(QStringLiteral("select F1 from TA4 where F1<>'' order by F1"));
    std::vector<QString> all;
    while (st.next())
        all.push_back(st.text(0));
    if (int(all.size()) < kLines)
        return QStringLiteral("the book holds fewer than 200 goods");
    for (int i = 0; i < kLines; ++i)
        gCodes.push_back(all[i * (all.size() / kLines)]);
    for (size_t i = 0; i + 500 < all.size(); i += all.size() / 16) {
        const QString code = all[i];
        if (code.size() > 3)
            gPrefixes.push_back(code.left(code.size() - 3));
    }
    if (gPrefixes.empty())
        gPrefixes.push_back(QString());
    gParty = book.scalar(QStringLiteral("select F1 from TA1 order by F1 limit 1")).toString();
    return {};
}

// ---- goods search ----

void searchModule(benchmark::State &state)
{
    size_t i = 0;
    for (auto _ : state) {
        const auto result = documents::searchGoodsByCodePrefix(gModule->gDb, gPrefixes[i++ % gPrefixes.size()]);
        benchmark::DoNotOptimize(result.rows.size());
    }
}

// The floor: the module's statement with the same bound values (the sample
// prefixes hold no LIKE wildcards), its three texts per row built directly.
void searchFloor(benchmark::State &state)
{
    const QString sql = documents::goodsSearchStatement();
    size_t i = 0;
    for (auto _ : state) {
        const QString &prefix = gPrefixes[i++ % gPrefixes.size()];
        db::Statement st = gModule->gDb.prepare(sql);
        st.bindAll({prefix, prefix + QChar(0xDBFF) + QChar(0xDFFF), prefix + QLatin1Char('%')});
        QVector<QStringList> rows;
        while (st.next())
            rows.append({st.text(0), st.text(1) + QLatin1Char('/') + st.text(2),
                         st.text(3) + QLatin1Char(' ') + st.text(4)});
        benchmark::DoNotOptimize(rows.size());
    }
}

// ---- save of a 200-line note (an edit: delete and insert again) ----

documents::SaveRequest saveRequest()
{
    documents::SaveRequest r;
    r.edit = true;
    r.number = r.reservedNo = r.oldNumber = kNote;
    r.date = QStringLiteral("2025-06-01");
    r.party = gParty;
    r.enteredBy = QStringLiteral("bench");
    r.total = QStringLiteral("1000");
    for (int i = 0; i < kLines; ++i)
        r.lines.append({gCodes[i], QStringLiteral("3"), QStringLiteral("2.5"), QString()});
    return r;
}

void saveModule(benchmark::State &state)
{
    const documents::SaveRequest request = saveRequest();
    for (auto _ : state) {
        const auto out = documents::saveDocument(*gModule, documents::stockInNoteKind(), request);
        if (!out.done) {
            state.SkipWithError(qPrintable(out.message));
            break;
        }
    }
}

void saveFloor(benchmark::State &state)
{
    db::Database &book = gModule->gDb;
    for (auto _ : state) {
        db::Transaction t(book);
        book.exec(QStringLiteral("delete from TB11 where F0=?"), {kNote});
        book.exec(QStringLiteral("delete from TB1 where F1=?"), {kNote});
        book.exec(QStringLiteral("insert into TB1 (H8,F1,F2,F3,F5,F9,F10) VALUES (?,?,?,?,?,?,?)"),
                  {QStringLiteral("2025-06-01 10:00:00"), kNote, QStringLiteral("2025-06-01"), gParty,
                   QStringLiteral("bench"), 1000.0, QString()});
        db::Statement line = book.prepare(QStringLiteral("insert into TB11 (F0,F1,F6,F7,F8) VALUES (?,?,?,?,?)"));
        for (int i = 0; i < kLines; ++i) {
            line.reset();
            line.bindAll({kNote, gCodes[i], 3.0, 2.5, QString()});
            line.run();
        }
        t.commit();
    }
}

// ---- audit and cancel of the 200-line note ----

// The note as the document window shows it; the audit compares it with the
// stored note before it posts.
documents::ShownNote shownNote()
{
    const documents::SaveRequest request = saveRequest();
    documents::ShownNote shown{request.date, request.party, {}};
    for (const documents::SaveLine &line : request.lines)
        shown.lines.append({line.code, line.quantity.toDouble(), line.price.toDouble()});
    return shown;
}

void auditModule(benchmark::State &state)
{
    const auto &kind = documents::stockInNoteKind();
    const documents::ShownNote shown = shownNote();
    for (auto _ : state) {
        if (!documents::auditDocument(*gModule, kind, kNote, &shown).done
            || !documents::cancelAudit(*gModule, kind, kNote).done) {
            state.SkipWithError("audit refused");
            break;
        }
    }
}

void postFloor(db::Database &book, int sign, const QString &stamp, const QString &auditor)
{
    db::Transaction t(book);
    book.exec(QStringLiteral("update TB1 set F6=?,H8=? where F1=?"), {auditor, stamp, kNote});
    db::Statement read = book.prepare(QStringLiteral("select F8,F7,F71 from TA4 where F1=?"));
    db::Statement goods = book.prepare(QStringLiteral("update TA4 set F8=?,F7=? where F1=?"));
    db::Statement lineStamp = book.prepare(QStringLiteral("update TB11 set H6=?,H7=?,H8=? where F0=? and F1=?"));
    db::Statement lines = book.prepare(QStringLiteral("select F1,F6,F7 from TB11 where F0=? order by F1"));
    lines.bindAll({kNote});
    while (lines.next()) {
        const QString code = lines.text(0);
        read.reset();
        read.bindAll({code});
        read.next();
        const double q = read.number(0) + sign * lines.number(1);
        const double c = q != 0 ? (read.number(1) * read.number(0) + sign * lines.number(1) * lines.number(2)) / q
                                : read.number(1);
        goods.reset();
        goods.bindAll({q, c, code});
        goods.run();
        lineStamp.reset();
        lineStamp.bindAll({q, c, stamp, kNote, code});
        lineStamp.run();
    }
    t.commit();
}

void auditFloor(benchmark::State &state)
{
    for (auto _ : state) {
        postFloor(gModule->gDb, +1, QStringLiteral("2025-06-01 10:00:00"), QStringLiteral("bench"));
        postFloor(gModule->gDb, -1, QStringLiteral("00-00-00"), QString());
    }
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Core);
    const QString path =
        program.book(bench::BookUse::Copy, QStringLiteral("documents.vzk"), {.goods = 20000, .docsPerKind = 2500});
    if (path.isEmpty())
        return 1;
    Module1 module;
    Module1::setInstance(&module);
    gModule = &module;
    if (!module.gDb.open(path))
        return bench::fail(module.gDb.lastError());
    module.gUserName = QStringLiteral("bench");
    if (const QString error = loadSamples(module.gDb); !error.isEmpty())
        return bench::fail(error);
    // The note that the save and audit benchmarks rewrite.
    documents::SaveRequest first = saveRequest();
    first.edit = false;
    if (const auto out = documents::saveDocument(module, documents::stockInNoteKind(), first); !out.done)
        return bench::fail(out.message);

    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("BM_GoodsSearch/module", searchModule)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_GoodsSearch/floor", searchFloor)->Unit(kMicrosecond);
    benchmark::RegisterBenchmark("BM_Save200/module", saveModule)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("BM_Save200/floor", saveFloor)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("BM_AuditAndCancel200/module", auditModule)->Unit(kMillisecond);
    benchmark::RegisterBenchmark("BM_AuditAndCancel200/floor", auditFloor)->Unit(kMillisecond);
    return program.run();
}
