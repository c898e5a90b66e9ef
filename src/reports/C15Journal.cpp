#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "C15Journal.h"

#include "db/Database.h"
#include "db/DateText.h"
#include "platform/NumberText.h"

#include <QVariantList>
#include <cmath>

namespace journal {

namespace {

// One document kind: header, lines, party table, and whether its lines are goods in.
struct JournalPass {
    const char *header;
    const char *lines;
    const char *party;
    bool inbound;
};

constexpr JournalPass kPasses[] = {
    {"TB1", "TB11", "TA1", true},
    {"TB3", "TB31", "TA1", false},
    {"TD1", "TD11", "TA2", false},
    {"TD3", "TD31", "TA2", true},
};

// round_stored(x, n): RoundStored on a number; Null reads as 0.
void roundStoredFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const double value = sqlite3_value_type(argv[0]) == SQLITE_NULL ? 0.0 : sqlite3_value_double(argv[0]);
    sqlite3_result_double(context, RoundStored(value, sqlite3_value_int(argv[1])));
}

// Polled by SQLite every so many steps of a running statement.
int progressHandler(void *check)
{
    return (*static_cast<const CancelCheck *>(check))() ? 1 : 0;
}

// Installs the cancel check on the connection for one run.
class ProgressHook {
public:
    ProgressHook(sqlite3 *handle, const CancelCheck *check) : handle_(handle)
    {
        if (check && *check)
            sqlite3_progress_handler(handle_, 20000, progressHandler, const_cast<CancelCheck *>(check));
    }
    ~ProgressHook() { sqlite3_progress_handler(handle_, 0, nullptr, nullptr); }

private:
    sqlite3 *handle_;
};

// How a pass finds the lines of the goods pattern. A pattern that starts
// with its code's first characters finds its lines through the line table's
// goods-code index, its cost growing with those lines; one that starts with a
// wildcard reads every line of the period's headers. The code columns compare
// without regard to ASCII case, as LIKE does, so an index range of the
// pattern's leading characters holds every line the pattern matches; the
// pattern itself still decides.
struct GoodsLookup {
    enum class Route { EveryLine, ExactCode, CodePrefix } route = Route::EveryLine;
    QString from;  // the exact code, or the least code of the prefix's range
    QString below; // the first code past the prefix's range; empty: none
};

// The characters of the goods pattern before its first wildcard.
QString leadingCode(const QString &pattern)
{
    qsizetype end = 0;
    while (end < pattern.size() && pattern[end] != QLatin1Char('*') && pattern[end] != QLatin1Char('?'))
        ++end;
    return pattern.left(end);
}

// The least text that follows every text starting with prefix, in the code
// columns' case-blind order: the prefix in lower case with its last
// character's successor (a character without one is dropped first); empty
// when there is none.
QString caseBlindSuccessor(const QString &prefix)
{
    QList<uint> points = prefix.toUcs4();
    for (uint &c : points)
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
    while (!points.isEmpty() && points.last() >= 0x10FFFF)
        points.removeLast();
    if (points.isEmpty())
        return {};
    uint &last = points.last();
    last = last == 0xD7FF ? 0xE000 : last + 1;  // past the surrogates, which are no characters
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), points.size());
}

GoodsLookup goodsLookup(const QString &pattern)
{
    GoodsLookup lookup;
    const QString code = leadingCode(pattern);
    if (code.isEmpty())
        return lookup;
    lookup.from = code;
    if (code.size() == pattern.size()) {
        lookup.route = GoodsLookup::Route::ExactCode;
    } else {
        lookup.route = GoodsLookup::Route::CodePrefix;
        lookup.below = caseBlindSuccessor(code);
    }
    return lookup;
}

// The insert-select of one pass; ?1 money decimals, ?2 ?3 the period, then
// the filters in the order category, goods (the index bounds, then the
// pattern), party.
//
// A goods found by its index drives the pass from its lines to their headers
// (the cross join keeps the lines outside); the rows are then put in the order
// the period's headers give them, as in the pass over every line: by the
// headers' date index, each header's lines by goods code.
QString passStatement(const JournalPass &pass, const JournalFilter &filter)
{
    const QString moved = QStringLiteral("round_stored(L.F6,5),round_stored(L.F6*L.F7,?1)");
    const QString none = QStringLiteral("0,0");
    const GoodsLookup lookup = goodsLookup(filter.goodsPattern);
    const bool byIndex = lookup.route != GoodsLookup::Route::EveryLine;
    const QString joins = byIndex ? QStringLiteral("from %5 L cross join %3 H on H.F1=L.F0 left join %4 P on H.F3=P.F1 ")
                                  : QStringLiteral("from %3 H left join %4 P on H.F3=P.F1 left join %5 L on L.F0=H.F1 ");

    QString sql = (QStringLiteral(
        "insert into TC15 (F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14,F15,F16,F17,F18) "
        "select coalesce(H.F1,''),coalesce(H.F2,''),coalesce(P.F2,''),coalesce(H.F10,''),coalesce(TA3.F2,''),"
        "coalesce(L.F1,''),coalesce(TA4.F2,''),coalesce(TA4.F5,''),coalesce(TA4.F4,''),"
        "round_stored(L.F7,?1),%1,%2,round_stored(L.H6,5),round_stored(L.H6*L.H7,?1),"
        "coalesce(L.F8,''),coalesce(H.H8,'00-01-01') ")
                   + joins
                   + QStringLiteral("left join TA4 on L.F1=TA4.F1 left join TA3 on TA4.F3=TA3.F1 "
                                    "where H.F2>=?2 and H.F2<=?3"))
                      .arg(pass.inbound ? moved : none, pass.inbound ? none : moved,
                           QString::fromLatin1(pass.header), QString::fromLatin1(pass.party),
                           QString::fromLatin1(pass.lines));
    int next = 4;
    if (!filter.categoryCode.isEmpty())
        sql += QStringLiteral(" and TA4.F3=?%1").arg(next++);
    if (lookup.route == GoodsLookup::Route::ExactCode)
        sql += QStringLiteral(" and L.F1=?%1").arg(next++);
    if (lookup.route == GoodsLookup::Route::CodePrefix) {
        sql += QStringLiteral(" and L.F1>=?%1").arg(next++);
        if (!lookup.below.isEmpty())
            sql += QStringLiteral(" and L.F1<?%1").arg(next++);
    }
    if (!filter.goodsPattern.isEmpty())
        sql += QStringLiteral(" and L.F1 like ?%1 escape '\\'").arg(next++);
    if (!filter.partyPattern.isEmpty())
        sql += QStringLiteral(" and H.F3 like ?%1 escape '\\'").arg(next++);
    if (byIndex)
        sql += QStringLiteral(" order by H.F2,H.rowid,P.rowid,L.F1,L.rowid,TA4.rowid,TA3.rowid");
    return sql;
}

QVariantList passValues(const JournalFilter &filter, int moneyDecimals)
{
    QVariantList values{moneyDecimals, db::dateText(filter.start), db::dateText(filter.end)};
    if (!filter.categoryCode.isEmpty())
        values.append(filter.categoryCode);
    const GoodsLookup lookup = goodsLookup(filter.goodsPattern);
    if (lookup.route != GoodsLookup::Route::EveryLine)
        values.append(lookup.from);
    if (!lookup.below.isEmpty())
        values.append(lookup.below);
    if (!filter.goodsPattern.isEmpty())
        values.append(LikePattern(filter.goodsPattern));
    if (!filter.partyPattern.isEmpty())
        values.append(LikePattern(filter.partyPattern));
    return values;
}

// A larger page cache for the run: the lines, goods and the new journal
// stay in memory instead of being decrypted again and spilled part-way.
// The connection's own size comes back afterwards.
class RunCache {
public:
    explicit RunCache(db::Database &db) : db_(db)
    {
        bool ok = false;
        const QVariant size = db_.scalar(QStringLiteral("PRAGMA cache_size"), {}, &ok);
        if (ok && !size.isNull()) {
            previous_ = size.toLongLong();
            db_.exec(QStringLiteral("PRAGMA cache_size=%1").arg(kRunCacheKiB));
        }
    }
    ~RunCache()
    {
        if (previous_)
            db_.exec(QStringLiteral("PRAGMA cache_size=%1").arg(*previous_));
    }

private:
    static constexpr int kRunCacheKiB = -131072;  // 128 MiB
    db::Database &db_;
    std::optional<qint64> previous_;
};

} // namespace

double RoundStored(double value, int decimals)
{
    static constexpr double kScales[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (!std::isfinite(value))
        return value;
    decimals = qBound(0, decimals, 15);
    const double scale = kScales[decimals];
    const double scaled = value * scale;
    const double magnitude = std::fabs(scaled);
    // The decimal value (15 significant digits) differs from the binary one
    // by less than 6e-15 of its magnitude. Where the rounding digit lies
    // within those digits and the fraction is clear of a half by more than
    // that, both round alike and the binary value is rounded directly; a
    // near-tie, or a digit beyond the fifteenth, is settled on the decimal text.
    if (magnitude < 1e14) {
        const double fraction = magnitude - std::trunc(magnitude);
        if (std::fabs(fraction - 0.5) > magnitude * 1e-14)
            return std::round(scaled) / scale + 0.0;  // + 0.0: no negative zero
    }
    return numtext::roundDecimal(value, decimals);
}

QString LikePattern(const QString &pattern)
{
    QString like;
    like.reserve(pattern.size() + 4);
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            like += QLatin1Char('%');
        else if (c == QLatin1Char('?'))
            like += QLatin1Char('_');
        else {
            if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
                like += QLatin1Char('\\');
            like += c;
        }
    }
    return like;
}

QString PartyCode(const QString &comboText)
{
    const QString text = comboText.trimmed();
    if (text == QStringLiteral("所有单位"))
        return {};
    const int point = text.indexOf(QLatin1Char('.'));
    return point >= 1 ? text.left(point) : text;
}

QString GoodsPattern(const QString &boxText)
{
    const QString text = boxText.trimmed();
    return text == QStringLiteral("所有货品") ? QString() : text;
}

QStringList JournalStatements(const JournalFilter &filter)
{
    QStringList statements;
    for (const JournalPass &pass : kPasses)
        statements.append(passStatement(pass, filter));
    return statements;
}

RunResult GenerateJournal(db::Database &db, const JournalFilter &filter, int moneyDecimals,
                          const CancelCheck &cancelled)
{
    RunResult result;
    sqlite3 *handle = db.handle();
    if (!handle) {
        result.error = QStringLiteral("帐本没有打开");
        return result;
    }
    sqlite3_create_function_v2(handle, "round_stored", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               roundStoredFunction, nullptr, nullptr, nullptr);

    const auto isCancelled = [&] { return cancelled && cancelled(); };
    const auto fail = [&](RunResult &r) {
        r.outcome = isCancelled() ? RunOutcome::Cancelled : RunOutcome::Failed;
        r.error = r.outcome == RunOutcome::Failed ? db.lastError() : QString();
        return r;
    };

    RunCache cache(db);
    db::Transaction transaction(db);
    if (!transaction.isActive()) {
        result.error = db.lastError();
        return result;
    }
    ProgressHook hook(handle, &cancelled);
    if (!db.exec(QStringLiteral("delete from TC15")))
        return fail(result);
    const QVariantList values = passValues(filter, moneyDecimals);
    for (const QString &statement : JournalStatements(filter)) {
        if (isCancelled() || !db.exec(statement, values))
            return fail(result);
    }
    if (isCancelled())
        return fail(result);
    if (!db.exec(QStringLiteral("delete from c15set"))
        || !db.exec(QStringLiteral("insert into c15set (D1,D2,A3,A4) values (?,?,?,?)"),
                    {db::dateText(filter.start), db::dateText(filter.end), filter.categoryCode,
                     filter.goodsBoxText.trimmed()}))
        return fail(result);
    if (!transaction.commit()) {
        result.error = db.lastError();
        return result;
    }
    result.outcome = RunOutcome::Done;
    return result;
}

std::optional<SavedFilter> ReadSavedFilter(db::Database &db)
{
    db::Statement st = db.prepare(QStringLiteral("select D1,D2,A3,A4 from c15set limit 1"));
    if (!st.isValid() || !st.next())
        return std::nullopt;
    SavedFilter saved;
    saved.start = db::parseDate(st.text(0));
    saved.end = db::parseDate(st.text(1));
    saved.categoryCode = st.text(2);
    saved.goodsBoxText = st.text(3);
    return saved;
}

} // namespace journal
