#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace db {
class Database;
}

// The goods in/out journal: every line of the trade documents dated within a
// period, written into the work table TC15 (stock-in and returns-in as goods
// in, returns to supplier and stock-out as goods out, each with the balance
// its audit stamped on it), and the filter of the last completed run in c15set.
namespace journal {

// The filter of one run, as the operator chose it.
struct JournalFilter {
    QDate start;
    QDate end;
    QString categoryCode;  // exact TA4.F3; empty = every category
    QString goodsPattern;  // goods code, * and ? as wildcards; empty = every goods
    QString partyPattern;  // party code, * and ? as wildcards; empty = every party
    QString goodsBoxText;  // the goods box as typed (trimmed), remembered as is
};

// The remembered filter of the last completed run.
struct SavedFilter {
    QDate start;  // invalid when the stored text is no date
    QDate end;
    QString categoryCode;
    QString goodsBoxText;
};

enum class RunOutcome { Done, Cancelled, Failed };

struct RunResult {
    RunOutcome outcome = RunOutcome::Failed;
    QString error;  // the database's reason when Failed
};

// Asked now and then while the run works; true stops it.
using CancelCheck = std::function<bool()>;

// Rewrites TC15 with the journal of filter and c15set with the filter, in one
// transaction of set-based statements (one insert-select per document kind).
// Prices and amounts are stored rounded to moneyDecimals, quantities to five
// decimals. A cancel or a failure rolls everything back: TC15 and c15set keep
// the previous run.
RunResult GenerateJournal(db::Database &db, const JournalFilter &filter, int moneyDecimals,
                          const CancelCheck &cancelled = {});

// The insert-selects of a run of filter, one per document kind, as the run
// prepares them (to show how the engine finds their rows).
QStringList JournalStatements(const JournalFilter &filter);

// The row of c15set; nullopt when it holds none or cannot be read.
std::optional<SavedFilter> ReadSavedFilter(db::Database &db);

// The party code of the party combo's text: "所有单位" and "" give "";
// "001.名称" gives "001"; a text without "." or starting with "." is taken whole.
QString PartyCode(const QString &comboText);
// The goods pattern of the goods box: "" for an empty box or "所有货品".
QString GoodsPattern(const QString &boxText);
// The operator's pattern (* any text, ? one character) as a LIKE pattern with
// ESCAPE '\': the operator's own %, _ and \ are taken literally.
QString LikePattern(const QString &pattern);

// value rounded to decimals places, half away from zero on its decimal value
// (the program's rounding rule), fast for the values that need no tie-break.
double RoundStored(double value, int decimals);

} // namespace journal
