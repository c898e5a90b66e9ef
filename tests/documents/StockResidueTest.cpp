// Stock that decimal postings bring back to zero is stored as exactly zero on
// every posting path, so the goods leave the stock list and its alarm view.
#include "DocumentFixture.h"

#include "documents/OutboundKinds.h"
#include "documents/StocktakingKind.h"
#include "stock/StockList.h"
#include "support/WindowDriver.h"

using namespace documents;

namespace {

// One step of a goods' history: a note of kind with one line of quantity q
// audited, or (cancelOf > 0) the cancel of the cancelOf-th note of the case.
// A stocktaking step counts q against a book quantity of book.
struct Step {
    const DocumentKind *kind = nullptr;
    double q = 0;
    int cancelOf = 0;
    double book = 0;
};

class StockResidueTest : public DocumentBook {
protected:
    const DocumentKind &D1 = stockOutNoteKind();
    const DocumentKind &D3 = returnInNoteKind();
    const DocumentKind &C2 = stocktakingNoteKind();

    Step in(const DocumentKind &kind, double q) { return Step{&kind, q}; }
    Step count(double book, double counted) { return Step{&C2, counted, 0, book}; }
    Step cancel(int note) { return Step{nullptr, 0, note}; }

    // Runs the steps on goods code; the numbers of the notes in step order.
    QStringList run(const QString &code, const QList<Step> &steps)
    {
        QStringList numbers;
        for (const Step &s : steps) {
            if (s.cancelOf > 0) {
                const QString no = numbers.value(s.cancelOf - 1);
                const DocumentKind &kind = *steps[s.cancelOf - 1].kind;
                EXPECT_TRUE(cancelAudit(m(), kind, no).done) << no.toStdString();
                numbers << no;
                continue;
            }
            const QString no = code + s.kind->prefix + QString::number(numbers.size() + 1);
            if (s.kind == &C2) {
                book.exec("insert into TC2 (F1,F2,F3,F5,F9,F10) values (?,'2026-12-09','张三','录入',0,'')", {no});
                book.exec("insert into TC21 (F0,F1,F5,F6,F7,F8) values (?,?,?,?,1,'')", {no, code, s.book, s.q});
            } else {
                addNote(*s.kind, no, QStringLiteral("2026-12-09"), {{code, s.q, 1}});
            }
            EXPECT_TRUE(auditDocument(m(), *s.kind, no).done) << no.toStdString();
            numbers << no;
        }
        return numbers;
    }
};

} // namespace

TEST_F(StockResidueTest, StockBackToZeroIsExactlyZeroOnEveryPostingPath)
{
    struct Case {
        const char *name;
        QList<Step> steps;
    };
    const Case cases[] = {
        {"in 0.1 and 0.2, out 0.3", {in(B1, 0.1), in(B1, 0.2), in(D1, 0.3)}},
        {"in 0.1 and 0.2, counted 0 against 0.3", {in(B1, 0.1), in(B1, 0.2), count(0.3, 0)}},
        {"in 0.3, out 0.1 and 0.2", {in(B1, 0.3), in(D1, 0.1), in(D1, 0.2)}},
        {"in 0.3, back to the supplier 0.1, out 0.2", {in(B1, 0.3), in(B3, 0.1), in(D1, 0.2)}},
        {"returned in 0.1 and 0.2, back to the supplier 0.3", {in(D3, 0.1), in(D3, 0.2), in(B3, 0.3)}},
        {"in 0.1, returned in 0.2, both cancelled", {in(B1, 0.1), in(D3, 0.2), cancel(2), cancel(1)}},
        {"returned in 0.1, in 0.2, both cancelled", {in(D3, 0.1), in(B1, 0.2), cancel(2), cancel(1)}},
        {"out 0.1 and 0.2, both cancelled", {in(D1, 0.1), in(D1, 0.2), cancel(1), cancel(2)}},
        {"back to the supplier 0.1 and 0.2, both cancelled", {in(B3, 0.1), in(B3, 0.2), cancel(2), cancel(1)}},
    };
    int n = 0;
    QStringList codes;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString code = QStringLiteral("Z%1").arg(++n);
        codes << code;
        addGoods(code, 0, 5, 6);
        const QStringList notes = run(code, c.steps);
        EXPECT_EQ(book.value("select typeof(F8)||':'||(F8=0) from TA4 where F1=?", {code}), "real:1");
        // The last posting's line stamp holds the same zero (stocktaking lines carry none).
        const Step &lastStep = c.steps.last();
        const DocumentKind &last = *c.steps[lastStep.cancelOf > 0 ? lastStep.cancelOf - 1 : c.steps.size() - 1].kind;
        if (&last != &C2) {
            EXPECT_EQ(book.value(QStringLiteral("select H6=0 from %1 where F0=?").arg(last.lineTable), {notes.last()}),
                      "1");
        }
    }

    // Neither the stock list's default view (goods in stock) nor the
    // low-stock alarm (below a safety stock of 0) lists any of them.
    addGoods(QStringLiteral("KEEP"), 0.1, 1);
    C1 w;
    WindowDriver<C1> d{w};
    EXPECT_EQ(d.column(0).first(), "KEEP");
    EXPECT_EQ(w.recordCount(), 1);
    d.menu("Menu_Bellow");
    EXPECT_EQ(w.recordCount(), 0);
}
